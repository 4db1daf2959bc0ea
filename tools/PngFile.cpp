#include "tools/PngFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/SafeFile.h"

FileResult WritePngFile(const std::string& path, const PixelBuffer& image, int scale,
                        bool withAlpha) {
  const int w = image.Width(), h = image.Height();
  if (w <= 0 || h <= 0 || scale < 1) return {false, EINVAL};
  const QImage::Format format = withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  QImage picture;
  if (scale == 1) {
    // The pixels are 0xAARRGGBB already: encode the buffer in place.
    picture = QImage(reinterpret_cast<const uchar*>(image.Data()), w, h,
                     qsizetype(w) * qsizetype(sizeof(Pixel)), format);
  } else {
    picture = QImage(w * scale, h * scale, format);
    if (picture.isNull()) return {false, EINVAL};
    for (int y = 0; y < h; ++y) {
      auto* first = reinterpret_cast<Pixel*>(picture.scanLine(y * scale));
      const Pixel* src = image.Row(y);
      for (int x = 0; x < w; ++x) std::fill_n(first + x * scale, scale, src[x]);
      for (int r = 1; r < scale; ++r)
        std::memcpy(picture.scanLine(y * scale + r), first, std::size_t(w) * scale * sizeof(Pixel));
    }
  }

  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(picture)) return {false, EINVAL};
  buffer.close();
  return WriteWholeFile(path, bytes.constData(), std::size_t(bytes.size()));
}
