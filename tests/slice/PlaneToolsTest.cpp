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

TLayerWindow* Layers() {
  return Form<TLayerWindow>("LayerWindow");
}

void TypeLayer(int layer) {
  Layers()->LayerNum->setText(QString::number(layer));
}

QString PositionReadout() {
  const TStatBox* s = Form<TStatBox>("StatBox");
  return s->XText->text() + s->YText->text() + s->ZText->text();
}

// Picks a choice in the Orientation dialog and closes it with OK or Cancel; reports the
// choice it opened with, and the words it showed when asked.
QString ChooseOrientation(const char* choice, bool ok = true, QStringList* words = nullptr) {
  QString openedWith;
  WhenModal([&](QWidget* d) {
    if (words != nullptr) {
      *words << d->windowTitle();
      for (const char* n : {"TopSelect", "FrontSelect", "SideSelect"})
        *words << d->findChild<QRadioButton*>(n)->text();
      for (const char* n : {"OKButton", "CancelButton"})
        *words << d->findChild<QPushButton*>(n)->text();
    }
    for (auto* b : d->findChildren<QRadioButton*>())
      if (b->isChecked()) openedWith = b->objectName();
    d->findChild<QRadioButton*>(choice)->click();
    d->findChild<QPushButton*>(ok ? "OKButton" : "CancelButton")->click();
  });
  Trigger("Orientation1");
  return openedWith;
}

int CountColoured() {
  int n = 0;
  for (int z = 0; z < Model().SizeZ; ++z) n += CountSet(Model().Colours, z);
  return n;
}

struct Spot {
  int U, V, DL;  // a plane cell, DL layers away from the current one
};

// The model cell of a spot on layer 3 of a 10-cell cube, as the user guide says the axes run.
std::uint8_t ColourAtSpot(int orientation, Spot s) {
  const int l = 3 + s.DL;
  if (orientation == 1) return ColourAt(s.U, l, 9 - s.V);
  if (orientation == 2) return ColourAt(l, s.U, 9 - s.V);
  return ColourAt(s.U, s.V, l);
}

}  // namespace

class PlaneToolsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  void init() { StartForms(); }

  void everyToolDrawsInEveryOrientationAndUndoes() {
    struct Case {
      DrawTool tool;
      bool right;
      QPoint from, to;  // plane cells of the press and of the move and release
      int cells;        // coloured cells of the model afterwards
      Spot in, out;     // a cell the tool must write, one it must not
      const char* label;
      int layerAfterUndo;  // undone from layer 9: the changed layers come into view
    };
    const Case cases[] = {
        {DrawTool::Freehand, false, {2, 2}, {3, 2}, 2, {3, 2, 0}, {3, 2, 1}, "Pen stroke", 3},
        {DrawTool::Square, false, {4, 3}, {1, 1}, 12, {4, 3, 0}, {5, 3, 0}, "Filled rectangle", 3},
        {DrawTool::Circle, false, {0, 0}, {4, 4}, 21, {2, 0, 0}, {0, 0, 0}, "Circle", 3},
        {DrawTool::Paint, false, {5, 5}, {5, 5}, 100, {9, 9, 0}, {9, 9, 1}, "Flood fill", 3},
        {DrawTool::Cube, true, {1, 1}, {3, 4}, 36, {1, 1, 2}, {1, 1, 3}, "Cube", 5},
        // 21 + 21 + 21 + 9 + 9 cells on layers 1 to 5
        {DrawTool::Sphere, true, {2, 2}, {6, 6}, 81, {4, 4, -2}, {2, 2, 0}, "Sphere", 5},
        {DrawTool::Fill, false, {0, 0}, {0, 0}, 1000, {9, 9, 6}, {0, 0, 9}, "Volume fill", 9},
    };
    OpenModel(dir_, 10, 10, 10);
    Doc().SetDrawingValue(true, 4);
    const char* choices[] = {"TopSelect", "FrontSelect", "SideSelect"};
    for (int o = 0; o < 3; ++o) {
      ChooseOrientation(choices[o]);
      QCOMPARE(int(Doc().Orientation()), o);
      for (const Case& c : cases) {
        const QByteArray what = QByteArray(choices[o]) + " " + c.label;
        const Qt::MouseButton button = c.right ? Qt::RightButton : Qt::LeftButton;
        TypeLayer(3);
        ClickTool(c.tool);
        Press(button, At(c.from.x(), c.from.y()));
        Move(At(c.to.x(), c.to.y()), button);
        Release(button, At(c.to.x(), c.to.y()));
        QVERIFY2(CountColoured() == c.cells, what);
        QVERIFY2(ColourAtSpot(o, c.in) == (c.right ? 4 : 15), what);
        QVERIFY2(c.cells == 1000 || ColourAtSpot(o, c.out) == 0, what);
        QVERIFY2(Button("UndoButton")->toolTip() == QString("Undo ") + c.label, what);

        TypeLayer(9);
        Trigger("Undo1");
        QVERIFY2(CountColoured() == 0, what);
        QVERIFY2(Doc().CurrentLayer() == c.layerAfterUndo, what);
        Trigger("Redo1");
        QVERIFY2(CountColoured() == c.cells, what);
        Trigger("Undo1");

        // The middle button does nothing.
        Press(Qt::MiddleButton, At(1, 1));
        Move(At(5, 5), Qt::MiddleButton);
        Release(Qt::MiddleButton, At(5, 5));
        QVERIFY2(CountColoured() == 0, what);
      }
    }
    QVERIFY(!Action("Save1")->isEnabled());  // everything taken back
  }

  void roundPreviewsFollowTheDrag() {
    OpenModel(dir_, 10, 10, 1);
    ClickTool(DrawTool::Circle);
    Press(Qt::LeftButton, At(0, 0));
    Move(At(4, 4), Qt::LeftButton);
    QCOMPARE(BitmapCell(2, 0), PaletteCell(15));
    QCOMPARE(BitmapCell(0, 0), Background());
    QCOMPARE(ScreenCell(4, 2), PaletteCell(15));
    // Narrower: the old ellipse's right side is wiped, the new one shows.
    Move(At(2, 4), Qt::LeftButton);
    QCOMPARE(ScreenCell(4, 2), Background());
    QCOMPARE(ScreenCell(1, 0), PaletteCell(15));
    QCOMPARE(CountSet(Model().Colours, 0), 0);  // only a preview so far
    Release(Qt::LeftButton, At(2, 4));
    QCOMPARE(ColourAt(1, 0, 0), std::uint8_t(15));
  }

  void theOrientationDialogSlicesTheModelFromTheSide() {
    OpenModel(dir_, 12, 10, 6, [](TVoxelModel& m) { m.Colours.at(2, 0, 1) = 7; });
    QStringList words;
    QCOMPARE(ChooseOrientation("FrontSelect", false, &words), QString("TopSelect"));
    QCOMPARE(words, QStringList({"Orientation", "Top (layers along Z)", "Front (layers along Y)",
                                 "Side (layers along X)", "OK", "Cancel"}));
    QCOMPARE(Doc().Orientation(), SliceOrientation::Top);  // cancelled

    QCOMPARE(ChooseOrientation("FrontSelect"), QString("TopSelect"));
    QCOMPARE(Box()->size(), QSize(12 * 8, 6 * 8));
    QCOMPARE(Layers()->TrackBar1->maximum(), 9);
    QCOMPARE(Doc().CurrentLayer(), 5);  // in range: kept
    // Layer y = 5 is empty; the voxel at y = 0, z = 1 shows through, second row from the
    // bottom. The readouts name the cell's own coordinates: the top row is the highest z.
    QCOMPARE(BitmapCell(2, 4), PaletteCell(7));
    Move(At(2, 0));
    QCOMPARE(PositionReadout(), QString("X: 2Y: 5Z: 5"));

    QCOMPARE(ChooseOrientation("SideSelect"), QString("FrontSelect"));
    QCOMPARE(Box()->size(), QSize(10 * 8, 6 * 8));
    QCOMPARE(Layers()->TrackBar1->maximum(), 11);
    TypeLayer(11);
    Move(At(3, 5));
    QCOMPARE(PositionReadout(), QString("X: 11Y: 3Z: 0"));

    // Back on top the layer is cut to the model's height; the view is no edit.
    ChooseOrientation("TopSelect");
    QCOMPARE(Doc().CurrentLayer(), 5);
    QCOMPARE(Layers()->TrackBar1->value(), 5);
    QVERIFY(!Doc().CanUndo() && !Doc().CanRedo());

    // A model opened while sliced from the side shows its last layer along X.
    ChooseOrientation("SideSelect");
    OpenModel(dir_, 7, 4, 3);
    QCOMPARE(Doc().CurrentLayer(), 6);
    QCOMPARE(Box()->size(), QSize(4 * 8, 3 * 8));
  }
};

KOBALTINE_TEST_MAIN(PlaneToolsTest)
#include "PlaneToolsTest.moc"
