#include "editor/TSliceView.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "document/Document.h"
#include "editor/TImageBox.h"
#include "editor/tools/ToolTable.h"
#include "resources/Artwork.h"

TSliceView::TSliceView(Document& document, QWidget* parent) : QScrollArea(parent), doc_(document) {
  setObjectName("MainView");
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundRole(QPalette::Dark);  // the application workspace colour
  setFrameShape(QFrame::NoFrame);
  imageBox_ = new TImageBox(nullptr, &screenImage_);
  imageBox_->setObjectName("ImageBox");
  connect(imageBox_, &TImageBox::mousePressed, this, &TSliceView::ImageBoxMouseDown);
  connect(imageBox_, &TImageBox::mouseMoved, this, &TSliceView::ImageBoxMouseMove);
  connect(imageBox_, &TImageBox::mouseReleased, this, &TSliceView::ImageBoxMouseUp);
  setWidget(imageBox_);
  imageBox_->hide();
  imageBox_->setCursor(ArtCursor(ToolInfoOf(DrawTool::Freehand).Cursor));  // "Pen"
  sliceBitmap_.Resize(0, 0);

  connect(&doc_, &Document::replaced, this, [this] {
    imageBox_->show();
    Resized();
    Render(true);
  });
  connect(&doc_, &Document::editedSectionChanged, this, [this] {
    Resized();
    Render(true);
  });
  connect(&doc_, &Document::orientationChanged, this, [this] {
    Resized();
    Render(true);
  });
  connect(&doc_, &Document::currentLayerChanged, this, [this] { Render(true); });
  connect(&doc_, &Document::normalsModeChanged, this, [this] { Render(true); });
  connect(&doc_, &Document::changed, this, &TSliceView::Changed);
  connect(&doc_, &Document::finishDragRequested, this, &TSliceView::FinishDrag);
  connect(&doc_, &Document::abandonDragRequested, this, &TSliceView::AbandonDrag);
  WatchClipboard();
}

TSliceView::~TSliceView() = default;

const SliceViewState& TSliceView::ViewState() const {
  view_.CurrentLayer = doc_.CurrentLayer();
  view_.Zoom = zoom_;
  view_.NormalsMode = doc_.NormalsMode();
  view_.UnderlayHidden = underlayHidden_;
  view_.LeftColor = doc_.LeftColor();
  view_.RightColor = doc_.RightColor();
  view_.Orientation = doc_.Orientation();
  view_.DirectionColours = directionColours_;
  return view_;
}

QSize TSliceView::SliceSize() const {
  const PlaneMap plane = doc_.Plane();
  return {plane.Width() * zoom_, plane.Height() * zoom_};
}

std::int32_t TSliceView::DrawingValueColour(std::uint8_t value) const {
  return doc_.NormalsMode() ? NormalIndexColour(doc_.Model(), ViewState(), value)
                            : doc_.Model().Palette[value];
}

void TSliceView::Changed(const ChangeSet& changes) {
  if (changes.Has(ChangedSections)) Resized();
  if (changes.Has(ChangedCells) || changes.Has(ChangedPalette) ||
      changes.Has(ChangedNormalType) || changes.Has(ChangedSections))
    Render(true);
}

void TSliceView::Resized() {
  const QSize size = SliceSize();
  sliceBitmap_.Resize(size.width(), size.height());
  imageBox_->resize(size);
}

void TSliceView::Refresh() {
  Render(true);
}

void TSliceView::Render(bool show) {
  RenderSlice(doc_.Model(), ViewState(), planes_, sliceBitmap_);
  if (show) ImageBoxPaint();
  imageBox_->resize(SliceSize());
  emit rendered();
}

void TSliceView::ImageBoxPaint() {
  const int w = sliceBitmap_.Width();
  const int h = sliceBitmap_.Height();
  if (screenImage_.width() != w || screenImage_.height() != h)
    screenImage_ = QImage(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    std::memcpy(screenImage_.scanLine(y), sliceBitmap_.Row(y), std::size_t(w) * sizeof(Pixel));
  imageBox_->update();
}

void TSliceView::FillCellOnScreen(int u, int v, std::int32_t colour) {
  const int z = zoom_;
  const Pixel p = ToPixel(colour);
  const QRect onScreen = QRect(u * z, v * z, z, z).intersected(screenImage_.rect());
  for (int row = onScreen.top(); row <= onScreen.bottom(); ++row) {
    auto* line = reinterpret_cast<Pixel*>(screenImage_.scanLine(row));
    std::fill(line + onScreen.left(), line + onScreen.right() + 1, p);
  }
  imageBox_->update(onScreen);
}

// ---- Display choices ----

namespace {
// Where the user looks along one axis, in cells: the centre of the part of the picture
// that is visible. A picture smaller than the view is seen whole, so its own centre
// counts, not the view's, which lies off the picture. The pixel at that centre keeps its
// place within its cell.
double SeenCentre(int offset, int seen, int picture, int zoom) {
  const double spot = offset + std::min(seen, picture) / 2 + 0.5;
  return std::clamp(spot, 0.0, double(std::max(picture, 1)) - 0.5) / zoom;
}

// The scroll offset that puts that spot, scaled by the new zoom, back at the centre of
// the visible area; the scroll bar cuts it to its range.
int CentredOffset(double spot, int seen, int zoom) {
  return int(spot * zoom) - seen / 2;
}
}  // namespace

void TSliceView::SetZoom(int zoom) {
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  const QSize oldSeen = viewport()->size();
  const QSize oldPicture = SliceSize();
  const double spotX = SeenCentre(h->value(), oldSeen.width(), oldPicture.width(), zoom_);
  const double spotY = SeenCentre(v->value(), oldSeen.height(), oldPicture.height(), zoom_);
  zoom_ = std::clamp(zoom, 1, 16);
  Resized();
  Render(true);
  // The scroll area shows or hides its bars for the new size in a queued call; let it
  // run now, so that the centre is taken in the visible area the user will see.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  const QSize seen = viewport()->size();
  h->setValue(CentredOffset(spotX, seen.width(), zoom_));
  v->setValue(CentredOffset(spotY, seen.height(), zoom_));
  emit zoomChanged(zoom_);
}

void TSliceView::SetUnderlayHidden(bool hidden) {
  underlayHidden_ = hidden;
  Render(true);
}

void TSliceView::SetDirectionColours(bool on) {
  directionColours_ = on;
  Render(true);
}
