// The seven tools through the mouse in each orientation, with Undo and Redo, and the
// Orientation dialog: what the slice view, the layer window and the readouts show then.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include "SliceTestSupport.h"
#include "editor/TLayerWindow.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"

using namespace kobaltine_test;
using namespace slice_test;

namespace {

void ClickTool(const char* activeImage) {
  QTest::mouseClick(MainWindow->findChild<TToolImage*>(activeImage), Qt::LeftButton);
}

void TypeLayer(int layer) {
  LayerWindow->LayerNum->setText(QString::number(layer));
}

// Picks a choice in the Orientation dialog and closes it with OK or Cancel; reports
// which choice the dialog opened with.
QString ChooseOrientation(const char* choice, bool ok = true) {
  QString openedWith;
  WhenModal([&](QWidget* d) {
    for (auto* b : d->findChildren<QRadioButton*>())
      if (b->isChecked()) openedWith = b->objectName();
    d->findChild<QRadioButton*>(choice)->click();
    d->findChild<QPushButton*>(ok ? "OKButton" : "CancelButton")->click();
  });
  MainWindow->Orientation1->trigger();
  return openedWith;
}

// Plane cell (u, v) of layer l in a 10-cell cube, as the user guide says the axes run.
ModelCell CellOf(SliceOrientation o, int u, int v, int l) {
  switch (o) {
    case SliceOrientation::Front:
      return {u, l, 9 - v};
    case SliceOrientation::Side:
      return {l, u, 9 - v};
    case SliceOrientation::Top:
      break;
  }
  return {u, v, l};
}

int CountColoured() {
  const TVoxelModel& m = MainWindow->Model;
  int n = 0;
  for (int z = 0; z < m.SizeZ; ++z) n += CountSet(m.Colours, z);
  return n;
}

struct PlaneSpot {
  int U, V, DL;  // DL: layers away from the current one
};

}  // namespace

class PlaneToolsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  void init() { StartForms(); }

  void everyToolDrawsInEveryOrientationAndUndoes() {
    struct Case {
      const char* image;
      Qt::MouseButton button;
      std::vector<QPoint> drag;  // plane cells: press, moves, release
      int cells;                 // coloured cells of the model afterwards
      PlaneSpot in, out;         // a cell the tool must write, one it must not
      const char* label;
      int layerAfterUndo;  // undone from layer 9: the changed layers come into view
    };
    const Case cases[] = {
        {"FreehandRAButton", Qt::LeftButton, {{2, 2}, {3, 2}}, 2, {3, 2, 0}, {4, 2, 0},
         "Pen stroke", 3},
        {"SquareRAButton", Qt::LeftButton, {{4, 3}, {2, 2}, {1, 1}}, 12, {4, 3, 0}, {5, 3, 0},
         "Filled rectangle", 3},
        {"CircleRAButton", Qt::LeftButton, {{0, 0}, {4, 4}}, 21, {2, 0, 0}, {0, 0, 0}, "Circle",
         3},
        {"PaintRAButton", Qt::LeftButton, {{5, 5}}, 100, {9, 9, 0}, {9, 9, 1}, "Flood fill", 3},
        {"CubeRAButton", Qt::RightButton, {{1, 1}, {3, 4}}, 36, {1, 1, 2}, {1, 1, 3}, "Cube", 5},
        // 21 + 21 + 21 + 9 + 9 cells on layers L - 2 to L + 2.
        {"SphereRAButton", Qt::RightButton, {{2, 2}, {6, 6}}, 81, {4, 4, -2}, {2, 2, 0},
         "Sphere", 5},
        {"FillRAButton", Qt::LeftButton, {{0, 0}}, 1000, {9, 9, 6}, {0, 0, 0}, "Volume fill", 9},
    };
    OpenModel(dir_, 10, 10, 10);
    MainWindow->View.RightColor = 4;
    const char* choices[] = {"TopSelect", "FrontSelect", "SideSelect"};
    for (int o = 0; o < 3; ++o) {
      ChooseOrientation(choices[o]);
      const SliceOrientation orientation = MainWindow->View.Orientation;
      QCOMPARE(int(orientation), o);
      for (const Case& c : cases) {
        const QByteArray what = QByteArray(choices[o]) + " " + c.image;
        TypeLayer(3);
        ClickTool(c.image);
        Press(c.button, At(c.drag.front().x(), c.drag.front().y()));
        for (std::size_t i = 1; i < c.drag.size(); ++i)
          Move(At(c.drag[i].x(), c.drag[i].y()), c.button);
        Release(c.button, At(c.drag.back().x(), c.drag.back().y()));

        const std::uint8_t value = c.button == Qt::RightButton ? 4 : 15;
        const ModelCell in = CellOf(orientation, c.in.U, c.in.V, 3 + c.in.DL);
        QVERIFY2(CountColoured() == c.cells, what + " " + QByteArray::number(CountColoured()));
        QVERIFY2(ColourAt(in.X, in.Y, in.Z) == value, what);
        if (c.cells < 1000) {
          const ModelCell out = CellOf(orientation, c.out.U, c.out.V, 3 + c.out.DL);
          QVERIFY2(ColourAt(out.X, out.Y, out.Z) == 0, what);
        }
        QVERIFY2(MainWindow->UndoButton->toolTip() == QString("Undo ") + c.label, what);

        TypeLayer(9);
        MainWindow->Undo1->trigger();
        QVERIFY2(CountColoured() == 0, what);
        QVERIFY2(MainWindow->View.CurrentLayer == c.layerAfterUndo, what);
        MainWindow->Redo1->trigger();
        QVERIFY2(CountColoured() == c.cells, what);
        MainWindow->Undo1->trigger();
      }
      // The middle button does nothing with any tool.
      for (const Case& c : cases) {
        ClickTool(c.image);
        Press(Qt::MiddleButton, At(1, 1));
        Move(At(5, 5), Qt::MiddleButton);
        Release(Qt::MiddleButton, At(5, 5));
        QVERIFY2(CountColoured() == 0, c.image);
      }
    }
    QVERIFY(!MainWindow->Save1->isEnabled());  // everything taken back
  }

  void roundPreviewsFollowTheDrag() {
    OpenModel(dir_, 10, 10, 1);
    ClickTool("CircleRAButton");
    Press(Qt::LeftButton, At(0, 0));
    Move(At(4, 4), Qt::LeftButton);
    QCOMPARE(BitmapCell(2, 0), PaletteCell(15));
    QCOMPARE(BitmapCell(0, 0), Background());
    QCOMPARE(ScreenCell(4, 2), PaletteCell(15));
    // Narrower: the old ellipse's right side is wiped, the new one shows.
    Move(At(2, 4), Qt::LeftButton);
    QCOMPARE(BitmapCell(4, 2), Background());
    QCOMPARE(ScreenCell(4, 2), Background());
    QCOMPARE(ScreenCell(1, 0), PaletteCell(15));
    QCOMPARE(CountSet(MainWindow->Model.Colours, 0), 0);  // only a preview so far
    Release(Qt::LeftButton, At(2, 4));
    QCOMPARE(ColourAt(1, 0, 0), std::uint8_t(15));
    QCOMPARE(ColourAt(0, 0, 0), std::uint8_t(0));
  }

  void theOrientationDialogSlicesTheModelFromTheSide() {
    OpenModel(dir_, 12, 10, 6, [](TVoxelModel& m) { m.Colours.at(2, 0, 1) = 7; });
    MainWindow->SelectLayer1->trigger();
    QVERIFY(MainWindow->Orientation1->isEnabled());
    QCOMPARE(MainWindow->View.CurrentLayer, 5);

    // Cancel changes nothing.
    QCOMPARE(ChooseOrientation("FrontSelect", false), QString("TopSelect"));
    QCOMPARE(MainWindow->View.Orientation, SliceOrientation::Top);

    QCOMPARE(ChooseOrientation("FrontSelect"), QString("TopSelect"));
    QCOMPARE(MainWindow->View.Orientation, SliceOrientation::Front);
    QCOMPARE(MainWindow->ImageBox->size(), QSize(12 * 8, 6 * 8));
    QCOMPARE(MainWindow->SliceBitmap.Width(), 12 * 8);
    QCOMPARE(LayerWindow->TrackBar1->maximum(), 9);
    QCOMPARE(MainWindow->View.CurrentLayer, 5);  // in range: kept
    QCOMPARE(LayerWindow->LayerNum->text(), QString("5"));
    // Layer y = 5 is empty; the voxel at y = 0, z = 1 shows through on the second row
    // from the bottom.
    QCOMPARE(BitmapCell(2, 4), PaletteCell(7));
    QCOMPARE(BitmapCell(2, 5), Background());
    // The readouts name the cell's own coordinates: the top row is the highest z.
    Move(At(2, 0));
    QCOMPARE(StatBox->XText->text(), QString("X: 2"));
    QCOMPARE(StatBox->YText->text(), QString("Y: 5"));
    QCOMPARE(StatBox->ZText->text(), QString("Z: 5"));

    QCOMPARE(ChooseOrientation("SideSelect"), QString("FrontSelect"));
    QCOMPARE(MainWindow->ImageBox->size(), QSize(10 * 8, 6 * 8));
    QCOMPARE(LayerWindow->TrackBar1->maximum(), 11);
    TypeLayer(11);
    QCOMPARE(MainWindow->View.CurrentLayer, 11);
    Move(At(3, 5));
    QCOMPARE(StatBox->XText->text() + StatBox->YText->text() + StatBox->ZText->text(),
             QString("X: 11Y: 3Z: 0"));

    // Back on top the layer is cut to the model's height; the view is no edit.
    ChooseOrientation("TopSelect");
    QCOMPARE(MainWindow->View.CurrentLayer, 5);
    QCOMPARE(LayerWindow->TrackBar1->maximum(), 5);
    QCOMPARE(LayerWindow->TrackBar1->value(), 5);
    QCOMPARE(MainWindow->ImageBox->size(), QSize(12 * 8, 10 * 8));
    QCOMPARE(MainWindow->History.Count(), std::size_t(0));
    QVERIFY(!MainWindow->Save1->isEnabled());

    // A model opened in the side orientation shows its last layer along X.
    ChooseOrientation("SideSelect");
    OpenModel(dir_, 7, 4, 3);
    QCOMPARE(MainWindow->View.Orientation, SliceOrientation::Side);
    QCOMPARE(MainWindow->View.CurrentLayer, 6);
    QCOMPARE(LayerWindow->TrackBar1->maximum(), 6);
    QCOMPARE(MainWindow->ImageBox->size(), QSize(4 * 8, 3 * 8));
  }
};

KOBALTINE_TEST_MAIN(PlaneToolsTest)
#include "PlaneToolsTest.moc"
