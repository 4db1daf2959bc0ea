// Cut, Copy and Paste of the current layer through the system clipboard: within a model,
// between two models opened one after the other, and pictures from other programs.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRadioButton>
#include <QPushButton>
#include <QToolButton>

#include "SliceTestSupport.h"
#include "editor/LayerClipboard.h"

using namespace kobaltine_test;
using namespace slice_test;

namespace {

QClipboard* Clipboard() {
  return QGuiApplication::clipboard();
}

bool PasteEnabled() {
  return MainWindow->Paste1->isEnabled() && MainWindow->PasteButton->isEnabled();
}

// Layer z of model holds a pattern of its own: colour and normal differ from cell to cell.
void Pattern(TVoxelModel& m, int z) {
  for (int y = 0; y < m.SizeY; ++y)
    for (int x = 0; x < m.SizeX; ++x)
      if ((x + y) % 3 != 0) {
        m.Colours.at(x, y, z) = std::uint8_t(1 + (x * 7 + y) % 15);
        m.Normals.at(x, y, z) = std::uint8_t(10 + x + y);
      }
}

void ShowLayer(int layer) {
  MainWindow->View.CurrentLayer = layer;
  MainWindow->SetLayerRange();
  MainWindow->Refresh1Click();
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
    QVERIFY(!MainWindow->Cu1->isEnabled() && !MainWindow->CopyButton->isEnabled());
    OpenModel(dir_, 9, 7, 4, [](TVoxelModel& m) { Pattern(m, 3); });
    const TVoxelModel& m = MainWindow->Model;
    QVERIFY(MainWindow->Cu1->isEnabled() && MainWindow->Copy1->isEnabled());
    QVERIFY(MainWindow->CutButton->isEnabled() && MainWindow->CopyButton->isEnabled());
    QVERIFY(!PasteEnabled());

    // Ctrl+C copies the top layer: both flavours, the picture with empty cells clear.
    MainWindow->activateWindow();
    QTest::keyClick(MainWindow, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(PasteEnabled());
    const QMimeData* data = Clipboard()->mimeData();
    QVERIFY(data->hasFormat(LayerClipMimeType));
    const QImage image = qvariant_cast<QImage>(data->imageData());
    QCOMPARE(image.size(), QSize(9, 7));
    QCOMPARE(image.pixel(0, 0), 0u);  // (0 + 0) % 3 == 0: empty
    QCOMPARE(QColor(image.pixel(1, 0)), ModelColour(m.Palette[m.Colours.at(1, 0, 3)]));
    QCOMPARE(qAlpha(image.pixel(1, 0)), 255);
    QCOMPARE(MainWindow->History.Count(), std::size_t(0));  // a copy is no edit

    // Pasted on layer 1 with its button: every colour and normal exactly, one step.
    ShowLayer(1);
    MainWindow->PasteButton->click();
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x) {
        QCOMPARE(m.Colours.at(x, y, 1), m.Colours.at(x, y, 3));
        QCOMPARE(m.Normals.at(x, y, 1), m.Normals.at(x, y, 3));
      }
    QCOMPARE(BitmapCell(1, 0), PaletteCell(m.Colours.at(1, 0, 3)));
    QCOMPARE(MainWindow->UndoButton->toolTip(), QString("Undo Paste"));

    // Cut empties the layer in one step and leaves it on the clipboard.
    ShowLayer(3);
    MainWindow->Cu1->trigger();
    QCOMPARE(CountSet(m.Colours, 3) + CountSet(m.Normals, 3), 0);
    QCOMPARE(MainWindow->UndoButton->toolTip(), QString("Undo Cut"));
    ShowLayer(2);
    QTest::keyClick(MainWindow, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m.Colours.at(2, 0, 2), m.Colours.at(2, 0, 1));
    MainWindow->Undo1->trigger();
    QCOMPARE(CountSet(m.Colours, 2), 0);
    MainWindow->Undo1->trigger();  // the cut: the layer comes back, and into view
    QCOMPARE(CountSet(m.Colours, 3), CountSet(m.Colours, 1));
    QCOMPARE(MainWindow->View.CurrentLayer, 3);

    // Another program takes the clipboard: Paste follows.
    Clipboard()->setText("some text");
    QVERIFY(!PasteEnabled());
    MainWindow->Paste1->trigger();  // disabled: nothing happens
    QCOMPARE(MainWindow->History.Count(), std::size_t(3));  // paste, cut, paste: no new step
  }

  void pasteIntoAnotherModelInTheFrontOrientation() {
    OpenModel(dir_, 10, 6, 8, [](TVoxelModel& m) {
      for (int z = 0; z < 8; ++z)
        for (int x = 0; x < 10; ++x) {
          m.Colours.at(x, 2, z) = std::uint8_t(1 + (x + z) % 15);
          m.Normals.at(x, 2, z) = std::uint8_t(x * 10 + z);
        }
    });
    WhenModal([](QWidget* d) {
      d->findChild<QRadioButton*>("FrontSelect")->click();
      d->findChild<QPushButton*>("OKButton")->click();
    });
    MainWindow->Orientation1->trigger();
    ShowLayer(2);
    MainWindow->CopyButton->click();
    // Seen from the front the picture has the highest z on top.
    const QImage image = qvariant_cast<QImage>(Clipboard()->mimeData()->imageData());
    QCOMPARE(image.size(), QSize(10, 8));
    QCOMPARE(QColor(image.pixel(0, 0)), ModelColour(MainWindow->Model.Palette[1 + 7]));

    // A smaller model, opened next: the clip's low corner (x 0, z 0) lands on the plane's
    // low corner, what lies beyond its extent is dropped.
    OpenModel(dir_, 4, 5, 3);
    ShowLayer(1);
    MainWindow->Paste1->trigger();
    for (int z = 0; z < 3; ++z)
      for (int x = 0; x < 4; ++x) {
        QCOMPARE(ColourAt(x, 1, z), std::uint8_t(1 + (x + z) % 15));
        QCOMPARE(NormalAt(x, 1, z), std::uint8_t(x * 10 + z));
      }
    QCOMPARE(CountSet(MainWindow->Model.Colours, 0), 4);  // only layer y = 1 was written
  }

  void aPictureFromAnotherProgramTakesTheNearestColours() {
    OpenModel(dir_, 5, 5, 2, [](TVoxelModel& m) {
      m.Colours.at(0, 0, 1) = 3;
      m.Normals.at(0, 0, 1) = 44;
      m.Colours.at(1, 0, 1) = 3;
      m.Normals.at(1, 0, 1) = 45;
    });
    // Premultiplied, as some programs offer it: half-transparent white must stay white.
    QImage picture(3, 2, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    picture.setPixelColor(0, 0, QColor(250, 80, 90));          // nearest: 6 (255, 85, 85)
    picture.setPixelColor(2, 0, QColor(255, 255, 255, 128));  // 15, not the grey of 14
    picture.setPixelColor(0, 1, QColor(0, 0, 0));             // black: the lowest of its kind
    auto* data = new QMimeData();
    data->setImageData(picture);
    Clipboard()->setMimeData(data);
    QVERIFY(PasteEnabled());

    MainWindow->Paste1->trigger();
    QCOMPARE(ColourAt(0, 0, 1), std::uint8_t(6));
    QCOMPARE(NormalAt(0, 0, 1), std::uint8_t(44));  // a pasted voxel keeps its normal
    QCOMPARE(ColourAt(1, 0, 1), std::uint8_t(0));   // transparent: emptied
    QCOMPARE(NormalAt(1, 0, 1), std::uint8_t(0));
    QCOMPARE(ColourAt(2, 0, 1), std::uint8_t(15));
    QCOMPARE(ColourAt(0, 1, 1), std::uint8_t(12));  // entry 12 is black too, 0 is no colour
    QCOMPARE(ColourAt(3, 0, 1), std::uint8_t(0));   // beyond the picture: untouched
    QCOMPARE(MainWindow->History.Count(), std::size_t(1));

    // Data of the private kind that is not a layer: the picture beside it is taken.
    auto* broken = new QMimeData();
    broken->setData(LayerClipMimeType, QByteArray("KOBLAYER", 8));
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(QColor(0, 170, 0));
    broken->setImageData(one);
    Clipboard()->setMimeData(broken);
    MainWindow->Paste1->trigger();
    QCOMPARE(ColourAt(0, 0, 1), std::uint8_t(3));
  }
};

KOBALTINE_TEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
