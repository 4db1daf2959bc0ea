#include "tools/PngFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cstring>

#include "model/SafeFile.h"

bool WritePngFile(const std::string& path, const PixelBuffer& image, int scale) {
  const int w = image.Width(), h = image.Height();
  if (w <= 0 || h <= 0 || scale < 1) return false;
  QImage picture;
  if (scale == 1) {
    // The pixels are 0xFFRRGGBB already: encode the buffer in place.
    picture = QImage(reinterpret_cast<const uchar*>(image.Data()), w, h,
                     qsizetype(w) * qsizetype(sizeof(Pixel)), QImage::Format_RGB32);
  } else {
    picture = QImage(w * scale, h * scale, QImage::Format_RGB32);
    if (picture.isNull()) return false;
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
  if (!writer.write(picture)) return false;
  buffer.close();
  return WriteWholeFile(path, bytes.constData(), std::size_t(bytes.size())).ok;
}
