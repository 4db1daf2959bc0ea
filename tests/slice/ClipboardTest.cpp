// Cut, Copy and Paste of the current layer through the system clipboard: within a model,
// between two models opened one after the other, and pictures from other programs.

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>

#include "SliceTestSupport.h"
#include "editor/LayerClipboard.h"
#include "editor/TLayerWindow.h"

using namespace kobaltine_test;
using namespace slice_test;

namespace {

QClipboard* Clipboard() {
  return QGuiApplication::clipboard();
}

bool PasteEnabled() {
  return Action("Paste1")->isEnabled() && Button("PasteButton")->isEnabled();
}

void ShowLayer(int layer) {
  Form<TLayerWindow>("LayerWindow")->LayerNum->setText(QString::number(layer));
}

}  // namespace

class ClipboardTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  void init() {
    StartForms();
    Clipboard()->clear();
  }

  void copyCutAndPasteWithinAModel() {
    OpenModel(dir_, 9, 7, 4, [](TVoxelModel& m) {
      for (int y = 0; y < 7; ++y)
        for (int x = 1; x < 9; ++x) {  // column 0 stays empty
          m.Colours.at(x, y, 3) = std::uint8_t(1 + (x * 7 + y) % 15);
          m.Normals.at(x, y, 3) = std::uint8_t(10 + x + y);
        }
    });
    const TVoxelModel& m = Model();
    QVERIFY(Action("Cu1")->isEnabled() && Button("CopyButton")->isEnabled());
    QVERIFY(!PasteEnabled());

    // Ctrl+C: both flavours, the picture at 1x with empty cells clear. A copy is no edit.
    Main()->activateWindow();
    QTest::keyClick(Main(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(PasteEnabled());
    QVERIFY(Clipboard()->mimeData()->hasFormat(LayerClipMimeType));
    const QImage image = Clipboard()->image();
    QCOMPARE(image.size(), QSize(9, 7));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(image.pixel(1, 0), qRgb(170, 0, 0));  // index 7 % 15 + 1 = 8
    QVERIFY(!Doc().CanUndo() && !Doc().CanRedo());

    // Paste with the button: every colour and normal exactly, shown at once.
    ShowLayer(1);
    Button("PasteButton")->click();
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x) {
        QCOMPARE(m.Colours.at(x, y, 1), m.Colours.at(x, y, 3));
        QCOMPARE(m.Normals.at(x, y, 1), m.Normals.at(x, y, 3));
      }
    QCOMPARE(BitmapCell(1, 0), PaletteCell(8));

    // Cut empties the layer in one step; undone, the layer comes back into view.
    ShowLayer(3);
    Trigger("Cu1");
    QCOMPARE(CountSet(m.Colours, 3) + CountSet(m.Normals, 3), 0);
    QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Cut"));
    ShowLayer(0);
    Trigger("Undo1");
    QCOMPARE(CountSet(m.Colours, 3), 7 * 8);
    QCOMPARE(Doc().CurrentLayer(), 3);

    // Text from another program: nothing to paste.
    Clipboard()->setText("some text");
    QVERIFY(!PasteEnabled());
  }

  void pasteIntoAnotherModelInTheFrontOrientation() {
    OpenModel(dir_, 10, 6, 8, [](TVoxelModel& m) {
      for (int z = 0; z < 8; ++z)
        for (int x = 0; x < 10; ++x) {
          m.Colours.at(x, 2, z) = std::uint8_t(1 + (x + z) % 15);
          m.Normals.at(x, 2, z) = std::uint8_t(x * 10 + z);
        }
    });
    Doc().SetOrientation(SliceOrientation::Front);
    ShowLayer(2);
    Button("CopyButton")->click();
    // A smaller model, opened next: the clip's low corner (x 0, z 0) lands on the plane's
    // low corner, what lies beyond its extent is dropped.
    OpenModel(dir_, 4, 5, 3);
    ShowLayer(1);
    Trigger("Paste1");
    for (int z = 0; z < 3; ++z)
      for (int x = 0; x < 4; ++x) {
        QCOMPARE(ColourAt(x, 1, z), std::uint8_t(1 + (x + z) % 15));
        QCOMPARE(NormalAt(x, 1, z), std::uint8_t(x * 10 + z));
      }
    QCOMPARE(CountSet(Model().Colours, 0), 4);  // only the layer y = 1
  }

  void aPictureFromAnotherProgramTakesTheNearestColours() {
    OpenModel(dir_, 5, 5, 2, [](TVoxelModel& m) {
      for (int x = 0; x < 2; ++x) {
        m.Colours.at(x, 0, 1) = 3;
        m.Normals.at(x, 0, 1) = std::uint8_t(44 + x);
      }
    });
    // Premultiplied, as some programs offer it: half-transparent white must stay white.
    QImage picture(3, 2, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    picture.setPixelColor(0, 0, QColor(250, 80, 90));         // nearest: 6 (255, 85, 85)
    picture.setPixelColor(2, 0, QColor(255, 255, 255, 128));  // 15, not the grey of 14
    picture.setPixelColor(0, 1, QColor(0, 0, 0));             // 12: 0 is no colour
    // Offered as an image, and as PNG bytes alone, as many programs put a picture there.
    for (const bool pngOnly : {false, true}) {
      auto* data = new QMimeData();
      if (pngOnly) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        data->setData("image/png", png);
      } else {
        data->setImageData(picture);
      }
      Clipboard()->setMimeData(data);
      QVERIFY2(PasteEnabled(), pngOnly ? "PNG" : "image");

      Trigger("Paste1");
      QCOMPARE(ColourAt(0, 0, 1), std::uint8_t(6));
      QCOMPARE(NormalAt(0, 0, 1), std::uint8_t(44));       // a pasted voxel keeps its normal
      QCOMPARE(ColourAt(1, 0, 1) + NormalAt(1, 0, 1), 0);  // transparent: emptied
      QCOMPARE(ColourAt(2, 0, 1), std::uint8_t(15));
      QCOMPARE(ColourAt(0, 1, 1), std::uint8_t(12));
      QCOMPARE(ColourAt(3, 0, 1), std::uint8_t(0));  // beyond the picture: untouched
      QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Paste"));
      Trigger("Undo1");
      QCOMPARE(ColourAt(1, 0, 1), std::uint8_t(3));
    }
  }
};

KOBALTINE_TEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
