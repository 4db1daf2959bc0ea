#include "resources/Artwork.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtGlobal>

#include <array>

namespace {

struct CursorArt {
  const char* name;
  const char* file;
  int hotX;
  int hotY;
};

// Each drawing's tip or centre sits on its hot spot; change both together.
constexpr std::array<CursorArt, 7> kCursors{{
    {"Pen", "pen", 9, 22},
    {"Dropper", "dropper", 9, 22},
    {"Fill", "fill", 10, 23},
    {"Sphere", "sphere", 10, 14},
    {"Cube", "cube", 10, 14},
    {"Circle", "circle", 10, 14},
    {"Square", "square", 10, 14},
}};

constexpr std::array<const char*, 7> kTools{"freehand", "square", "circle", "paint",
                                            "cube",     "sphere", "fill"};

constexpr std::array<const char*, 18> kIcons{
    "new",     "open",   "save",   "saveas",     "properties",   "undo",
    "redo",    "cut",    "copy",   "paste",      "hideunderlay", "colours",
    "normals", "matrix", "layers", "statistics", "view3d",       "sections"};

const CursorArt* FindCursor(const QString& name) {
  for (const CursorArt& c : kCursors)
    if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0) return &c;
  return nullptr;
}

template <std::size_t N>
bool Listed(const std::array<const char*, N>& names, const QString& name) {
  for (const char* n : names)
    if (name == QLatin1String(n)) return true;
  return false;
}

QImage RenderSvg(const QString& resourcePath, QSize size) {
  QSvgRenderer renderer(resourcePath);
  if (!renderer.isValid() || size.isEmpty()) return {};
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  painter.end();
  return image;
}

// Greyed, lighter and fainter, so a disabled button reads as disabled on any button face.
QPixmap DisabledVariant(const QPixmap& normal) {
  QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      const int grey = 128 + qGray(p) / 2;
      line[x] = qRgba(grey, grey, grey, qAlpha(p) * 11 / 20);
    }
  }
  return QPixmap::fromImage(image);
}

// Cursors must stay two-colour: antialiased edges become either the outline or nothing,
// and every drawn pixel becomes pure black or pure white.
QImage TwoColour(const QImage& rendered) {
  QImage image = rendered.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      if (qAlpha(p) < 128)
        line[x] = qRgba(0, 0, 0, 0);
      else
        line[x] = qGray(p) < 128 ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 255);
    }
  }
  return image;
}

QHash<QString, QPixmap>& Cache() {
  static QHash<QString, QPixmap> cache;
  return cache;
}

QString CacheKey(const QString& kind, const QString& path, QSize size) {
  return QStringLiteral("%1|%2|%3x%4").arg(kind, path).arg(size.width()).arg(size.height());
}

}  // namespace

QPixmap ArtPixmap(const QString& resourcePath, QSize size) {
  const QString key = CacheKey(QStringLiteral("plain"), resourcePath, size);
  auto found = Cache().constFind(key);
  if (found != Cache().constEnd()) return *found;
  const QImage image = RenderSvg(resourcePath, size);
  if (image.isNull()) {
    qWarning("Artwork: cannot render %s", qPrintable(resourcePath));
    return {};
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  Cache().insert(key, pixmap);
  return pixmap;
}

QIcon ArtIcon(const QString& name) {
  if (!Listed(kIcons, name)) {
    qWarning("Artwork: no icon named %s", qPrintable(name));
    return {};
  }
  const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
  QIcon icon;
  // The icons are drawn on a 16-pixel grid; 32 serves screens with a device pixel ratio of 2.
  for (int side : {16, 32}) {
    const QSize size(side, side);
    const QPixmap normal = ArtPixmap(path, size);
    if (normal.isNull()) return {};
    const QString key = CacheKey(QStringLiteral("disabled"), path, size);
    auto found = Cache().constFind(key);
    QPixmap disabled;
    if (found != Cache().constEnd()) {
      disabled = *found;
    } else {
      disabled = DisabledVariant(normal);
      Cache().insert(key, disabled);
    }
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(disabled, QIcon::Disabled);
  }
  return icon;
}

QPoint ArtCursorHotSpot(const QString& name) {
  const CursorArt* art = FindCursor(name);
  return art ? QPoint(art->hotX, art->hotY) : QPoint(-1, -1);
}

QCursor ArtCursor(const QString& name) {
  const CursorArt* art = FindCursor(name);
  if (!art) {
    qWarning("Artwork: no cursor named %s", qPrintable(name));
    return QCursor(Qt::ArrowCursor);
  }
  const QString path = QStringLiteral(":/cursors/%1.svg").arg(QLatin1String(art->file));
  const QSize size(32, 32);
  const QString key = CacheKey(QStringLiteral("cursor"), path, size);
  auto found = Cache().constFind(key);
  QPixmap pixmap;
  if (found != Cache().constEnd()) {
    pixmap = *found;
  } else {
    const QImage image = RenderSvg(path, size);
    if (image.isNull()) {
      qWarning("Artwork: cannot render %s", qPrintable(path));
      return QCursor(Qt::ArrowCursor);
    }
    pixmap = QPixmap::fromImage(TwoColour(image));
    Cache().insert(key, pixmap);
  }
  return QCursor(pixmap, art->hotX, art->hotY);
}

QPixmap ToolImage(const QString& tool, bool active) {
  const QString name = tool.toLower();
  if (!Listed(kTools, name)) {
    qWarning("Artwork: no tool named %s", qPrintable(tool));
    return {};
  }
  const QString path =
      QStringLiteral(":/tools/%1_%2.svg")
          .arg(name, active ? QStringLiteral("active") : QStringLiteral("inactive"));
  return ArtPixmap(path, QSize(64, 48));
}

QIcon ArtAppIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) {
    const QPixmap pixmap = ArtPixmap(QStringLiteral(":/pictures/kobaltine.svg"), QSize(side, side));
    if (pixmap.isNull()) return {};
    icon.addPixmap(pixmap);
  }
  return icon;
}
