// The artwork compiled into kobaltine_ui: every picture the windows ask for is there and
// draws something at the size it is shown, and the cursors keep their hot spots.

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QtTest>

#include "resources/Artwork.h"

#include <algorithm>

namespace {

const QStringList kIcons = {"new",          "open",    "save",    "saveas", "properties",
                            "undo",         "redo",    "cut",     "copy",   "paste",
                            "hideunderlay", "colours", "normals", "matrix", "layers",
                            "statistics",   "view3d",  "sections"};
const QStringList kTools = {"freehand", "square", "circle", "paint", "cube", "sphere", "fill"};

int Chroma(QRgb p) {
  return std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
}

// Opaque enough to see, and more than one colour: a picture, not a flat or empty square.
void CheckDrawn(const QPixmap& pixmap, QSize size, const QString& what) {
  QVERIFY2(!pixmap.isNull(), qPrintable(what));
  QCOMPARE(pixmap.size(), size);
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  int visible = 0;
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 128) {
        ++visible;
        colours.insert(image.pixel(x, y));
      }
  QVERIFY2(visible * 10 >= size.width() * size.height(), qPrintable(what + " is almost empty"));
  QVERIFY2(colours.size() >= 2, qPrintable(what + " is one flat colour"));
}

}  // namespace

class ArtworkTest : public QObject {
  Q_OBJECT
 private slots:
  void everyResourceRendersAtItsSize() {
    QList<QPair<QString, QSize>> all;
    for (const QString& n : kIcons) all.append({":/icons/" + n + ".svg", QSize(16, 16)});
    for (const QString& t : kTools) {
      all.append({":/tools/" + t + "_active.svg", QSize(64, 48)});
      all.append({":/tools/" + t + "_inactive.svg", QSize(64, 48)});
    }
    for (const char* c : {"pen", "dropper", "fill", "sphere", "cube", "circle", "square"})
      all.append({QString(":/cursors/%1.svg").arg(c), QSize(32, 32)});
    all.append({":/pictures/about.svg", QSize(160, 120)});
    all.append({":/pictures/properties.svg", QSize(32, 32)});
    all.append({":/pictures/change.svg", QSize(16, 15)});
    all.append({":/pictures/kobaltine.svg", QSize(16, 16)});
    all.append({":/pictures/kobaltine.svg", QSize(256, 256)});
    for (const auto& [path, size] : all) {
      QVERIFY2(QFile::exists(path), qPrintable(path + " is not compiled in"));
      QVERIFY2(QSvgRenderer(path).isValid(), qPrintable(path + " is not valid SVG"));
      CheckDrawn(ArtPixmap(path, size), size, path);
    }
    QCOMPARE(ArtPixmap(":/icons/new.svg", {16, 16}).cacheKey(),
             ArtPixmap(":/icons/new.svg", {16, 16}).cacheKey());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open file.*missing"));
    QTest::ignoreMessage(QtWarningMsg, "Artwork: cannot render :/icons/missing.svg");
    QVERIFY(ArtPixmap(":/icons/missing.svg", {16, 16}).isNull());

    // The About picture stands in a bordered panel: it must cover it with no holes.
    const QImage about = ArtPixmap(":/pictures/about.svg", {160, 120}).toImage();
    for (int y = 0; y < about.height(); ++y)
      for (int x = 0; x < about.width(); ++x)
        QVERIFY2(qAlpha(about.pixel(x, y)) == 255, "About picture has a transparent pixel");
    QVERIFY(ArtAppIcon().availableSizes().contains(QSize(256, 256)));
  }

  void disabledIconsLookDisabled() {
    for (const QString& n : kIcons) {
      const QIcon icon = ArtIcon(n);
      QVERIFY2(!icon.isNull(), qPrintable(n));
      const QImage normal = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
      const QImage disabled = icon.pixmap(QSize(16, 16), QIcon::Disabled)
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);
      QCOMPARE(disabled.size(), QSize(16, 16));
      long normalAlpha = 0, disabledAlpha = 0;
      int darkest = 255;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          const QRgb d = disabled.pixel(x, y);
          normalAlpha += qAlpha(normal.pixel(x, y));
          disabledAlpha += qAlpha(d);
          if (qAlpha(d) > 0) {
            QVERIFY2(Chroma(d) <= 2, qPrintable(n + ": disabled icon keeps colour"));
            darkest = std::min(darkest, qGray(d));
          }
        }
      QVERIFY2(disabledAlpha < normalAlpha, qPrintable(n + ": disabled icon is not fainter"));
      QVERIFY2(darkest >= 120, qPrintable(n + ": disabled icon is as dark as the normal one"));
    }
    QTest::ignoreMessage(QtWarningMsg, "Artwork: no icon named nothing");
    QVERIFY(ArtIcon("nothing").isNull());
  }

  void cursorsAreTwoColourWithTheirHotSpots() {
    const QList<QPair<QString, QPoint>> cursors = {
        {"Pen", {9, 22}},   {"Dropper", {9, 22}}, {"Fill", {10, 23}},  {"Sphere", {10, 14}},
        {"Cube", {10, 14}}, {"Circle", {10, 14}}, {"Square", {10, 14}}};
    for (const auto& [name, hot] : cursors) {
      const QCursor cursor = ArtCursor(name);
      QCOMPARE(cursor.shape(), Qt::BitmapCursor);
      QCOMPARE(cursor.hotSpot(), hot);
      QCOMPARE(ArtCursorHotSpot(name), hot);
      const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
      QCOMPARE(image.size(), QSize(32, 32));
      int black = 0, white = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
          const QRgb p = image.pixel(x, y);
          if (qAlpha(p) == 0) continue;
          QVERIFY2(qAlpha(p) == 255, qPrintable(name + ": half-transparent pixel"));
          if (p == qRgb(0, 0, 0))
            ++black;
          else if (p == qRgb(255, 255, 255))
            ++white;
          else
            QFAIL(qPrintable(name + ": a pixel neither black nor white"));
        }
      QVERIFY2(black > 0 && white > 0, qPrintable(name));
      // The tip or centre of the drawing is where the pointer acts.
      QVERIFY2(qAlpha(image.pixel(hot)) == 255, qPrintable(name + ": hot spot off the drawing"));
    }
    QCOMPARE(ArtCursor("pen").hotSpot(), QPoint(9, 22));
    QTest::ignoreMessage(QtWarningMsg, "Artwork: no cursor named Brush");
    QCOMPARE(ArtCursor("Brush").shape(), Qt::ArrowCursor);
    QCOMPARE(ArtCursorHotSpot("Brush"), QPoint(-1, -1));
  }

  void toolImagesAreColouredWhenActiveAndGreyWhenNot() {
    for (const QString& t : kTools) {
      const QImage active = ToolImage(t, true).toImage().convertToFormat(QImage::Format_ARGB32);
      // Premultiplied, so faint edge pixels count for what they add to the picture.
      const QImage inactive =
          ToolImage(t, false).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
      QCOMPARE(active.size(), QSize(64, 48));
      QCOMPARE(inactive.size(), QSize(64, 48));
      int colourful = 0, inactiveChroma = 0;
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
          if (Chroma(active.pixel(x, y)) > 80) ++colourful;
          inactiveChroma = std::max(inactiveChroma, Chroma(inactive.pixel(x, y)));
        }
      QVERIFY2(colourful > 100, qPrintable(t + ": active image is not coloured"));
      QVERIFY2(inactiveChroma <= 24, qPrintable(t + ": inactive image is not grey"));
    }
    QCOMPARE(ToolImage("Freehand", true).cacheKey(), ToolImage("freehand", true).cacheKey());
    QTest::ignoreMessage(QtWarningMsg, "Artwork: no tool named brush");
    QVERIFY(ToolImage("brush", true).isNull());
  }
};

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
