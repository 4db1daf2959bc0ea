// Undo and Redo as a user walks them: every kind of edit is taken back and made again
// with the windows showing what was restored, Save follows the history, and twenty
// mixed edits undone one by one leave a file that equals a fresh save of the original.

#include <QFileInfo>
#include <QRadioButton>

#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"
#include "e2e/E2eSupport.h"
#include "model/VxlWriter.h"

using namespace e2e;
using kobaltine_test::Disarm;
using kobaltine_test::StartForms;

namespace {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
  return f.readAll();
}

void SetTailerValue(QToolButton* change, const QString& typed) {
  const auto armed = WhenDialog(ValChDial(), [typed](QWidget*) {
    QTest::keyClicks(ValChDial()->NumBox, typed);
    ValChDial()->OKBut->click();
  });
  change->click();
  Disarm(armed);
}

void SetProperties(const QString& name, bool redAlert) {
  const auto armed = WhenDialog(PropWindow(), [name, redAlert](QWidget*) {
    PropWindow()->NameText->setText(name);
    (redAlert ? PropWindow()->RA2Select : PropWindow()->TSSelect)->click();
    PropWindow()->OKButton->click();
  });
  Trigger("Properties1");
  Disarm(armed);
}

void LoadPalette(const QTemporaryDir& dir, int seed) {
  QString text = "JASC-PAL\r\n0100\r\n256\r\n";
  for (int i = 0; i < 256; ++i)
    text += QString("%1 %2 %3\r\n").arg((i * seed) % 256).arg(i).arg(seed);
  const QString path = dir.filePath(QString("p%1.pal").arg(seed));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the palette");
  f.write(text.toLatin1());
  f.close();
  const auto armed = ChooseFile(FileDialog("PalDial"), path);
  Trigger("LoadPal1");
  Disarm(armed);
}

QString SliceShows(int cx, int cy) {
  const int z = Slice()->Zoom();
  return QString::number(Slice()->SliceBitmap().At(cx * z, cy * z), 16);
}

QString UndoTip() {
  return Button("UndoButton")->toolTip();
}

}  // namespace

class UndoEverythingStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void eachKindOfEditIsUndoneAndRedone() {
    QTemporaryDir dir;
    const QString path = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(EditorModel().IsOpen());
    Trigger("Matrix1");
    QVERIFY(!Action("Undo1")->isEnabled() && !Button("UndoButton")->isEnabled());
    QCOMPARE(UndoTip(), QString("Undo"));
    const int top = EditorModel().SizeZ - 1;

    struct Edit {
      const char* label;
      int layer;  // the layer a change of cells is made on, which undoing brings back; or -1
      std::function<void()> make;
      std::function<QString()> shown;  // what a window shows of the change
    };
    const std::vector<Edit> edits = {
        {"Pen stroke", 4,
         [] {
           Drag(Qt::LeftButton, {CellCentre(1, 1), CellCentre(2, 1), CellCentre(3, 2)});
         },
         [] { return SliceShows(2, 1); }},
        {"Filled rectangle", 1,
         [] {
           ClickTool(DrawTool::Square);
           Drag(Qt::RightButton, {CellCentre(0, 0), CellCentre(5, 4)});
         },
         [] { return SliceShows(4, 3); }},
        {"Flood fill", 0,
         [] {
           ClickTool(DrawTool::Paint);
           ClickCell(Qt::LeftButton, 7, 7);
         },
         [] { return SliceShows(7, 7); }},
        {"Edit Palette", -1, [] { EditPaletteEntry(15, QColor(1, 2, 3)); },
         [] { return QString::number(Form<TColorBox>("LeftColorBox")->Fill()); }},
        {"Properties", -1, [] { SetProperties("TURRET", true); },
         [] { return WordBoxText(); }},
        {"X Offset", -1, [] { SetTailerValue(TransDial()->Change5, "-12.5"); },
         [] { return TransDial()->Tran5->text(); }},
    };
    for (const Edit& e : edits) {
      if (e.layer >= 0) TypeLayer(QString::number(e.layer));
      const ModelPtr before = CloneModel(EditorModel());
      const QString shownBefore = e.shown();
      e.make();
      QVERIFY2(SaveEnabled(), e.label);
      QCOMPARE(UndoTip(), QString("Undo %1").arg(e.label));
      QCOMPARE(Button("UndoButton")->accessibleDescription(), UndoTip());
      const ModelPtr after = CloneModel(EditorModel());
      const QString shownAfter = e.shown();
      // Looking at another layer first: undoing a change of cells brings its layer back.
      if (e.layer >= 0) TypeLayer(QString::number(top));

      Shortcut(Qt::Key_Z, Qt::ControlModifier);
      QVERIFY2(CompareWithEditor(*before).isEmpty(), e.label);
      if (e.layer >= 0) {
        QCOMPARE(Doc().CurrentLayer(), e.layer);
        QCOMPARE(LayerWindow()->LayerNum->text(), QString::number(e.layer));
      }
      QCOMPARE(e.shown(), shownBefore);
      QCOMPARE(Button("RedoButton")->toolTip(), QString("Redo %1").arg(e.label));
      QVERIFY(Action("Redo1")->isEnabled());

      QTest::mouseClick(Button("RedoButton"), Qt::LeftButton);
      QVERIFY2(CompareWithEditor(*after).isEmpty(), e.label);
      QCOMPARE(e.shown(), shownAfter);
    }

    // Save follows the history: back at the saved point, Save is disabled again.
    Shortcut(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(SaveDisabled());
    Trigger("Undo1");
    QVERIFY(SaveEnabled());
    Shortcut(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(SaveDisabled());
    Trigger("Undo1");
    Shortcut(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // the other Redo key
    QVERIFY(SaveDisabled());
    // Changing layer, zoom, mode or tool is no step.
    const QString tip = UndoTip();
    TypeLayer("0");
    Trigger("ZoomIn1");
    Trigger("Normals1");
    ClickTool(DrawTool::Freehand);
    QCOMPARE(UndoTip(), tip);
    QVERIFY(SaveDisabled());
  }

  void twentyEditsUndoneGiveTheOriginalFile() {
    QTemporaryDir dir;
    const QString path = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    const QString fresh = dir.filePath("fresh.vxl");
    QVERIFY(WriteVoxelFile(fresh.toStdString(), *ReadModel(path)));
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(EditorModel().IsOpen());

    int steps = 0;
    for (int round = 0; round < 4; ++round) {
      TypeLayer(QString::number(round));
      ClickTool(DrawTool::Freehand);
      Drag(Qt::LeftButton,
           {CellCentre(round, 0), CellCentre(round + 1, 1), CellCentre(round + 2, 2)});
      ClickTool(DrawTool::Square);
      Drag(Qt::RightButton, {CellCentre(1, 1), CellCentre(4 + round, 3)});
      ClickTool(DrawTool::Paint);
      (round % 2 ? Action("Normals1") : Action("Colors2"))->trigger();
      ClickCell(Qt::LeftButton, 6, 6 + round);
      steps += 3;
    }
    EditPaletteEntry(40, QColor(9, 99, 199));
    LoadPalette(dir, 3);
    SetProperties("ABCDEFGHIJKLMNO", false);
    SetTailerValue(TransDial()->Change13, "1e6");
    SetTailerValue(TransDial()->Change19, "0.1");
    EditPaletteEntry(200, QColor(0, 0, 1));
    LoadPalette(dir, 7);
    SetProperties("X", true);
    steps += 8;
    QCOMPARE(steps, 20);

    // The history holds every step: each undo takes one back until none is left.
    int undone = 0;
    for (int i = 0; i < 10; ++i) {
      undone += Doc().CanUndo() ? 1 : 0;
      Shortcut(Qt::Key_Z, Qt::ControlModifier);
    }
    while (Button("UndoButton")->isEnabled()) {
      undone += Doc().CanUndo() ? 1 : 0;
      QTest::mouseClick(Button("UndoButton"), Qt::LeftButton);
    }
    QVERIFY(!Doc().CanUndo());
    QVERIFY(undone >= 19);  // a fill on a cell holding its value is none
    QVERIFY(SaveDisabled());
    QVERIFY(Action("Redo1")->isEnabled());

    const QString copy = dir.filePath("undone.vxl");
    const auto armed = ChooseFile(FileDialog("SaveAsDial"), copy);
    Trigger("SaveAs1");
    Disarm(armed);
    QCOMPARE(FileBytes(copy), FileBytes(fresh));
  }
};

KOBALTINE_TEST_MAIN(UndoEverythingStory)
#include "UndoEverythingTest.moc"
