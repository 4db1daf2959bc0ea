// Surface normals in the windows: the lit 3D view, Calculate Normals with its dialog and
// undo, choosing a normal on the sphere of the palette dialog, and direction colours,
// also after the normal version changes.

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <cstring>
#include <memory>

#include "dialogs/TNormalsDial.h"
#include "dialogs/TPropWindow.h"
#include "editor/TColorBox.h"
#include "model/ComputeNormals.h"
#include "model/Messages.h"
#include "model/NormalTables.h"
#include "palette/TNormalChooser.h"
#include "palette/TPaletteDialog.h"
#include "support/FormsFixture.h"
#include "view3d/NormalSphere.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;

namespace {

// A new 12 x 10 x 8 model of the given normal set holding a solid block, normals still 0.
void NewBlockModel(int normalType) {
  Doc().CreateNew(12, 10, 8);
  TVoxelModel& m = DraftModel();
  m.NormalType = std::uint8_t(normalType);
  for (int z = 1; z < 7; ++z)
    for (int y = 2; y < 8; ++y)
      for (int x = 2; x < 10; ++x) m.Colours.at(x, y, z) = std::uint8_t(10 + (x + y + z) % 5);
  Trigger("Refresh1");
}

TThreeDWindow* ThreeD() {
  return Form<TThreeDWindow>("ThreeDWindow");
}
const PixelBuffer& ViewBitmap() {
  return ThreeD()->Buffers().ViewBitmap;
}

std::vector<Pixel> Pixels(const PixelBuffer& b) {
  return std::vector<Pixel>(b.Data(), b.Data() + std::size_t(b.Width()) * b.Height());
}

// The picture the core draws for the window's angles, lit or not.
std::vector<Pixel> Reference(bool lighting) {
  static auto buffers = std::make_unique<View3DBuffers>();
  RenderView(Model(), ThreeD()->XRotBar->value(), ThreeD()->YRotBar->value(),
             ThreeD()->ZRotBar->value(), ThreeD()->ViewSpan(), ThreeD()->Background, *buffers,
             lighting);
  return Pixels(buffers->ViewBitmap);
}

// A copy of the cells, to compute what a command should have given.
std::unique_ptr<TVoxelModel> CloneCells(const TVoxelModel& m) {
  auto c = std::make_unique<TVoxelModel>();
  c->SizeX = m.SizeX, c->SizeY = m.SizeY, c->SizeZ = m.SizeZ, c->NormalType = m.NormalType;
  std::memcpy(c->Colours.data(), m.Colours.data(), GridCells);
  std::memcpy(c->Normals.data(), m.Normals.data(), GridCells);
  return c;
}

bool SameCells(const TVoxelModel& a, const TVoxelModel& b) {
  return std::memcmp(a.Normals.data(), b.Normals.data(), GridCells) == 0 &&
         std::memcmp(a.Colours.data(), b.Colours.data(), GridCells) == 0;
}

std::int32_t SliceCell(int x, int y) {
  const int z = Slice()->Zoom();
  return FromPixel(Slice()->SliceBitmap().At(x * z, y * z));
}

void PressBox(const char* name) {
  auto* box = Form<TColorBox>(name);
  QTest::mousePress(box, Qt::LeftButton);  // returns when the dialog has closed
  QTest::mouseRelease(box, Qt::LeftButton);
}

}  // namespace

class NormalsWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void lightingShadesTheViewAndIsKeptWhileHidden() {
    NewBlockModel(4);
    CalculateNormals(DraftModel(), ModelBox(Model()));
    Trigger("View3D1");
    ThreeD()->Preset4->trigger();
    QVERIFY(!ThreeD()->Lighting1->isChecked());
    const std::vector<Pixel> plain = Pixels(ViewBitmap());
    QVERIFY(plain == Reference(false));

    ThreeD()->Lighting1->trigger();
    QVERIFY(Pixels(ViewBitmap()) == Reference(true));
    QVERIFY(Pixels(ViewBitmap()) != plain);
    Trigger("View3D1");  // hidden and shown again: still lit
    Trigger("View3D1");
    QVERIFY(ThreeD()->Lighting1->isChecked());
    QVERIFY(Pixels(ViewBitmap()) == Reference(true));
    ThreeD()->Lighting1->trigger();
    QVERIFY(Pixels(ViewBitmap()) == plain);
  }

  void calculateNormalsForTheLayerOrTheSectionAndUndo() {
    NewBlockModel(4);
    Trigger("Normals1");
    Doc().SetCurrentLayer(6);
    const std::unique_ptr<TVoxelModel> before = CloneCells(Model());
    // The layer at radius 2, then the whole section with what the dialog kept, then Cancel.
    const struct {
      bool whole, accept;
      int radius;
    } runs[] = {{false, true, 2}, {true, true, 0}, {true, false, 0}};
    for (const auto& run : runs) {
      int keptRadius = 0;
      WhenModal([&](QWidget* d) {
        auto* dial = qobject_cast<TNormalsDial*>(d);
        QVERIFY(dial != nullptr);
        (run.whole ? dial->SectionSelect : dial->LayerSelect)->setChecked(true);
        if (run.radius != 0) dial->RadiusBox->setValue(run.radius);
        keptRadius = dial->Radius();
        QTest::mouseClick(run.accept ? dial->OKButton : dial->CancelButton, Qt::LeftButton);
      });
      Trigger("CalcNormals1");
      QCOMPARE(keptRadius, 2);
      auto expected = CloneCells(*before);
      if (run.accept)
        CalculateNormals(*expected, run.whole ? ModelBox(*expected) : LayerBox(*expected, 6), 2);
      QVERIFY(SameCells(Model(), *expected));
      QCOMPARE(Action("Undo1")->isEnabled(), run.accept);
      if (!run.accept) continue;
      QVERIFY(Model().Normals.at(5, 5, 6) != 0);
      QCOMPARE(Model().Normals.at(5, 5, 5) != 0, run.whole);
      QCOMPARE(SliceCell(5, 5), Grey(Model().Normals.at(5, 5, 6)));  // shown at once
      QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Calculate Normals"));
      Trigger("Undo1");
      QVERIFY(SameCells(Model(), *before));
    }
  }

  void calculateNormalsRefusesAModelWithoutASet() {
    NewBlockModel(3);
    DraftModel().Normals.at(5, 5, 5) = 7;
    QString text;
    ExpectMessage(&text);
    Trigger("CalcNormals1");
    QCOMPARE(text, QString(MsgChooseNormals));
    QCOMPARE(Model().Normals.at(5, 5, 5), std::uint8_t(7));
    QVERIFY(!Action("Undo1")->isEnabled());
  }

  void theSphereChoosesANormal() {
    NewBlockModel(4);
    Trigger("Normals1");
    auto* d = Form<TPaletteDialog>("PaletteDialog");
    TNormalChooser* panel = d->NormalPanel;
    const NormalVector n = NormalTable(4)[17];
    const SpherePoint spot =
        *SpotOfNormal(4, TNormalChooser::SphereWidth, TNormalChooser::SphereHeight, 17);
    QSize size;
    QString text, index;
    int spin = -1, afterKey = -1, afterGrid = -1;
    WhenModal([&](QWidget*) {
      size = d->size();
      QTest::mouseClick(panel->NormalSphere, Qt::LeftButton, {}, QPoint(spot.X, spot.Y));
      text = panel->NormalText->text();
      index = d->IndexText->text();
      spin = panel->NormalIndex->value();
      panel->NormalIndex->setFocus();
      QTest::keyClick(panel->NormalIndex, Qt::Key_Up);  // the next normal, from the keyboard
      afterKey = d->CurrentCell().Index;
      QTest::mouseClick(d->PaintBox1, Qt::LeftButton, {}, QPoint(20 * 3 + 10, 20 * 2 + 10));
      afterGrid = panel->NormalIndex->value();  // the grid's cell 35
      QTest::mouseClick(panel->NormalSphere, Qt::LeftButton, {}, QPoint(spot.X, spot.Y));
      QTest::mouseClick(d->PalOKButton, Qt::LeftButton);
    });
    PressBox("RightColorBox");
    QCOMPARE(size, QSize(331 + TNormalChooser::PanelWidth, 369));
    QCOMPARE(text, QString::asprintf("Normal 17: (%.2f, %.2f, %.2f)", n.X, n.Y, n.Z));
    QCOMPARE(index, QString("Palette Index: 17"));
    QCOMPARE(spin, 17);
    QCOMPARE(afterKey, 18);
    QCOMPARE(afterGrid, 35);
    QCOMPARE(int(Doc().RightColor()), 17);
    QCOMPARE(Form<TColorBox>("RightColorBox")->Fill(), Grey(17));

    // Everywhere else the dialog is as it always was: colours, editing, no normal set.
    const struct {
      bool normals, edit;
      int normalType;
    } plain[] = {{false, false, 4}, {true, true, 4}, {true, false, 0}};
    for (const auto& c : plain) {
      DraftModel().NormalType = std::uint8_t(c.normalType);
      c.normals ? Trigger("Normals1") : Trigger("Colors2");
      bool shown = true;
      WhenModal([&](QWidget*) {
        size = d->size();
        shown = panel->isVisible();
        QTest::mouseClick(d->PalCancelButton, Qt::LeftButton);
      });
      c.edit ? Trigger("EditPal1") : PressBox("LeftColorBox");
      QCOMPARE(size, QSize(331, 369));
      QVERIFY(!shown);
    }
  }

  void directionColoursShowEachNormalsDirection() {
    NewBlockModel(2);
    TVoxelModel& m = DraftModel();
    const int top = 6;
    Doc().SetCurrentLayer(top);
    m.Normals.at(3, 3, top) = 5;
    m.Normals.at(4, 3, top) = 40;  // beyond the 36 of the set
    m.Normals.at(0, 0, top) = 5;   // a normal without a colour
    QVERIFY(!Action("DirectionColours1")->isEnabled());
    Trigger("Normals1");
    QVERIFY(Action("DirectionColours1")->isEnabled());

    Action("DirectionColours1")->trigger();
    QCOMPARE(SliceCell(3, 3), *DirectionColour(2, 5));
    QCOMPARE(SliceCell(4, 3), Grey(40));
    QCOMPARE(SliceCell(0, 0), PackRGB(255, 0, 0));

    // Another normal version, its undo and its redo show at once in the slice view and
    // in the lit 3D view: 40 has a direction in the larger set.
    Trigger("View3D1");
    ThreeD()->Lighting1->trigger();
    const std::vector<Pixel> litBefore = Pixels(ViewBitmap());
    WhenModal([](QWidget*) {
      auto* props = Form<TPropWindow>("PropWindow");
      props->RA2Select->click();
      props->OKButton->click();
    });
    Button("PropButton")->click();
    QCOMPARE(SliceCell(4, 3), *DirectionColour(4, 40));
    QVERIFY(Pixels(ViewBitmap()) == Reference(true));
    QVERIFY(Pixels(ViewBitmap()) != litBefore);
    Trigger("Undo1");
    QCOMPARE(SliceCell(4, 3), Grey(40));
    QVERIFY(Pixels(ViewBitmap()) == litBefore);
    Trigger("Redo1");
    QCOMPARE(SliceCell(4, 3), *DirectionColour(4, 40));
    Trigger("Undo1");

    Action("DirectionColours1")->trigger();
    QCOMPARE(SliceCell(3, 3), Grey(5));
    Trigger("Colors2");
    QVERIFY(!Action("DirectionColours1")->isEnabled());
  }
};

KOBALTINE_TEST_MAIN(NormalsWindowsTest)
#include "NormalsWindowsTest.moc"
