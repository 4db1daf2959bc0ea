// Cut, Copy and Paste of the current layer through the system clipboard. A copy goes on
// it twice: exactly, in the editor's own format, and as a picture for other programs.

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "document/Document.h"
#include "editor/LayerClipboard.h"
#include "editor/TSliceView.h"
#include "widgets/MessageDialogs.h"

namespace {

// Many programs offer a picture only as PNG bytes, which Qt does not turn into an image
// on every platform: those bytes count as a picture too.
constexpr const char* PngMimeType = "image/png";

bool HoldsLayer(const QMimeData* data) {
  return data != nullptr &&
         (data->hasFormat(LayerClipMimeType) || data->hasImage() || data->hasFormat(PngMimeType));
}

// The clipboard's picture, or a null image when it holds none that can be read.
QImage PictureOf(const QMimeData* data) {
  QImage image;
  if (data->hasImage()) image = qvariant_cast<QImage>(data->imageData());
  if (image.isNull() && data->hasFormat(PngMimeType))
    image = QImage::fromData(data->data(PngMimeType), "PNG");
  return image;
}

void PutOnClipboard(const LayerClip& clip, const PaletteRGB& palette) {
  auto* data = new QMimeData();
  const std::vector<std::uint8_t> bytes = EncodeLayerClip(clip);
  data->setData(LayerClipMimeType,
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  const std::vector<std::uint32_t> pixels = LayerClipImage(clip, palette);
  QImage image(clip.Width, clip.Height, QImage::Format_ARGB32);
  for (int v = 0; v < clip.Height; ++v)
    std::copy_n(pixels.begin() + std::ptrdiff_t(v) * clip.Width, clip.Width,
                reinterpret_cast<std::uint32_t*>(image.scanLine(v)));
  data->setImageData(image);  // offered to other programs as PNG among others
  QGuiApplication::clipboard()->setMimeData(data);
}

// The part of a picture that can land in the plane: its low corner, the top left in Top
// and the bottom left where rows run against Z. Whatever lies beyond is dropped anyway;
// cropping first keeps a huge picture from being converted whole.
QImage PastablePart(const QImage& image, const PlaneMap& plane) {
  const int w = std::min(image.width(), plane.Width());
  const int h = std::min(image.height(), plane.Height());
  const int top = plane.RowsReversed() ? image.height() - h : 0;
  // Other programs may offer premultiplied or indexed pictures; the paste reads plain ARGB.
  return image.copy(0, top, w, h).convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

void TSliceView::WatchClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  // Asking the clipboard may mean asking another program: ask only when it changes.
  clipboardHasLayer_ = HoldsLayer(clipboard->mimeData());
  connect(clipboard, &QClipboard::dataChanged, this, [this] {
    clipboardHasLayer_ = HoldsLayer(QGuiApplication::clipboard()->mimeData());
    emit clipboardChanged();
  });
}

void TSliceView::Copy() {
  if (!doc_.IsOpen()) return;
  const TVoxelModel& model = doc_.Model();
  PutOnClipboard(CopyLayer(model, doc_.Orientation(), doc_.CurrentLayer()), model.Palette);
}

void TSliceView::Cut() {
  // A drag in progress owns the layer until the button is released.
  if (doc_.DragHeld() || !doc_.IsOpen()) return;
  LayerClip clip;
  std::unique_ptr<CellPatch> step =
      CutLayer(doc_.DraftModel(), doc_.Orientation(), doc_.CurrentLayer(), clip);
  PutOnClipboard(clip, doc_.Model().Palette);
  doc_.Record(std::move(step));
}

void TSliceView::Paste() {
  if (doc_.DragHeld() || !doc_.IsOpen()) return;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  std::unique_ptr<CellPatch> step;
  bool pasted = false;
  if (data != nullptr && data->hasFormat(LayerClipMimeType)) {
    const QByteArray bytes = data->data(LayerClipMimeType);
    if (const std::optional<LayerClip> clip = DecodeLayerClip(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))) {
      step = PasteLayerClip(doc_.DraftModel(), doc_.Orientation(), doc_.CurrentLayer(), *clip);
      pasted = true;
    }
  }
  if (!pasted && data != nullptr) {
    const QImage image = PastablePart(PictureOf(data), doc_.Plane());
    if (!image.isNull()) {
      step = PasteImage(doc_.DraftModel(), doc_.Orientation(), doc_.CurrentLayer(),
                        reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                        image.height(), int(image.bytesPerLine() / 4));
      pasted = true;
    }
  }
  if (!pasted) {
    ShowMessageDialog(this, "The clipboard holds no layer or picture to paste!");
    return;
  }
  doc_.Record(std::move(step));
}
