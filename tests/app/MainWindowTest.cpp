// The main window as a user meets it: commands and their states, opening, saving,
// captions, the tool-window toggles, the command line and the message dialogs.

#include <QAction>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <stdexcept>

#include "widgets/FileDialogs.h"
#include "widgets/MessageDialogs.h"
#include "dialogs/TNewBox.h"
#include "dialogs/TTransDial.h"
#include "editor/TColorBox.h"
#include "editor/TImageBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TSectionWindow.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"
#include "support/FormsFixture.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;

namespace {

QMenu* Menu(const char* name) {
  return Form<QMenu>(name);
}
// The main window's Zoom submenu (the 3D view has a menu of that name as well).
QMenu* ZoomMenu() {
  return Menu("View1")->findChild<QMenu*>("Zoom1");
}
TImageBox* ImageBox() {
  return Slice()->ImageBox();
}
QList<QWidget*> ToolWindows() {
  return {Form("LayerWindow"), Form("StatBox"), Form("ThreeDWindow"), Form("TransDial")};
}

// Writes a small model: a column of voxels at (1, 1) and a name.
QString WriteModel(const QTemporaryDir& dir, const QString& fileName, int sx, int sy, int sz,
                   const char* name = "TANK") {
  TVoxelModel m;
  m.SizeX = std::uint8_t(sx);
  m.SizeY = std::uint8_t(sy);
  m.SizeZ = std::uint8_t(sz);
  m.NormalType = 4;
  StoreNameText(m.Name, name);
  for (int z = 0; z < sz; ++z)
    for (int y = 0; y < sy; ++y)
      for (int x = 0; x < sx; ++x) {
        m.Colours.at(x, y, z) = 0;
        m.Normals.at(x, y, z) = 0;
      }
  m.Colours.at(1 % sx, 1 % sy, 0) = 5;
  m.Normals.at(1 % sx, 1 % sy, 0) = 7;
  const QString path = dir.filePath(fileName);
  if (!WriteVoxelFile(path.toStdString(), m)) qFatal("cannot write the test model");
  return path;
}

QString WriteBytes(const QTemporaryDir& dir, const QString& fileName, const QByteArray& bytes) {
  const QString path = dir.filePath(fileName);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the test file");
  f.write(bytes);
  return path;
}

// Shows the main window and waits until it is the active window, as at start-up.
bool Activate() {
  Main()->show();
  Main()->activateWindow();
  const bool active = QTest::qWaitFor([] { return Main()->isActiveWindow(); }, 2000);
  QTest::qWait(50);  // what follows the activation has run
  return active;
}

// Makes another window active and then the main window again.
bool Reactivate() {
  QWidget other;
  other.show();
  other.activateWindow();
  if (!QTest::qWaitFor([&other] { return other.isActiveWindow(); }, 2000)) return false;
  return Activate();
}

// Loads a file and answers any message, returning its text.
QString LoadAnswering(const QString& path) {
  QString message;
  const auto armed = ExpectMessage(&message);
  Main()->LoadVoxelFile(path.toStdString());
  Disarm(armed);
  return message;
}

class ThrowingObject : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("Something broke");
    return QObject::event(e);
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { StartForms(); }

  void startsEmptyWithTheCommandTable() {
    QCOMPARE(Main()->windowTitle(), QString("Kobaltine"));
    QVERIFY(!ImageBox()->isVisible());
    for (QWidget* w : ToolWindows()) QVERIFY(!w->isVisible());

    struct Item {
      const char* name;
      const char* caption;
      const char* shortcut;
      bool enabled;
    };
    const Item items[] = {
        {"New1", "&New...", "Ctrl+N", true},
        {"Open1", "&Open...", "Ctrl+O", true},
        {"Save1", "&Save", "Ctrl+S", false},
        {"SaveAs1", "Save &As...", "", false},
        {"Import1", "&Import...", "", true},
        {"Export1", "&Export...", "", false},
        {"Properties1", "&Properties...", "", false},
        {"Exit1", "E&xit", "", true},
        {"Undo1", "&Undo", "Ctrl+Z", false},
        {"Redo1", "&Redo", "Ctrl+Y", false},
        {"Cu1", "Cu&t", "Shift+Del", false},
        {"Copy1", "&Copy", "Ctrl+Ins", false},
        {"Paste1", "&Paste", "Shift+Ins", false},
        {"CalcNormals1", "Calculate &Normals...", "", false},
        {"Orientation1", "&Orientation...", "", false},
        {"Refresh1", "&Refresh", "F5", true},
        {"Matrix1", "Transformation &Matrix", "F9", false},
        {"SelectLayer1", "L&ayer Palette", "F10", false},
        {"Stats1", "S&tatistics View", "F11", false},
        {"View3D1", "&3D View", "F12", false},
        {"Sections1", "S&ections", "F8", false},
        {"Colors2", "&Colours", "", true},
        {"Normals1", "&Surface Normals", "", true},
        {"DirectionColours1", "&Direction Colours", "", false},
        {"ZoomIn1", "Zoom &In", "Ctrl+I", true},
        {"ZoomOut1", "Zoom &Out", "Ctrl+U", true},
        {"NormSize1", "&1x Size", "", true},
        {"MaxZoom1", "&Maximum Zoom (16x)", "", true},
        {"HideUnderLay1", "&Hide Underlay", "", true},
        {"LoadPal1", "&Load Palette", "", true},
        {"SavePal1", "&Save Palette", "", true},
        {"EditPal1", "&Edit Palette", "", true},
        {"About1", "&About", "", true},
    };
    for (const Item& i : items) {
      QAction* a = Action(i.name);
      QCOMPARE(a->text(), QString(i.caption));
      QCOMPARE(a->shortcut(), QKeySequence(i.shortcut));
      QVERIFY2(a->isEnabled() == i.enabled, i.name);
    }
    const QPair<const char*, const char*> second[] = {
        {"Cu1", "Ctrl+X"}, {"Copy1", "Ctrl+C"}, {"Paste1", "Ctrl+V"}};
    for (const auto& [name, key] : second)
      QVERIFY2(Action(name)->shortcuts().contains(QKeySequence(key)), name);
    QVERIFY(Action("Colors2")->isChecked());
    QVERIFY(!Action("Normals1")->isChecked());
    for (const char* n : {"Matrix1", "SelectLayer1", "Stats1", "View3D1", "Sections1",
                          "HideUnderLay1", "DirectionColours1"})
      QVERIFY2(!Action(n)->isChecked(), n);
    for (const char* n : {"N1", "N2", "N3", "N4", "N5", "N6", "N7"})
      QVERIFY2(Action(n)->isSeparator(), n);
    QCOMPARE(Menu("File1")->title(), QString("&File"));
    QStringList fileItems;  // Import and Export right after Save As
    for (QAction* a : Menu("File1")->actions()) fileItems << a->objectName();
    QCOMPARE(fileItems.mid(0, 6),
             (QStringList{"New1", "Open1", "Save1", "SaveAs1", "Import1", "Export1"}));
    QVERIFY(!Menu("Edit1")->menuAction()->isEnabled());
    QVERIFY(!Menu("View1")->menuAction()->isEnabled());
    QVERIFY(!Menu("Colors1")->menuAction()->isEnabled());
    QVERIFY(Menu("Help1")->menuAction()->isEnabled());
    QCOMPARE(ZoomMenu()->title(), QString("&Zoom..."));

    struct ButtonRow {
      const char* name;
      int x;
      const char* hint;
      bool enabled;
      bool down;
    };
    const ButtonRow buttons[] = {
        {"NewButton", 2, "New", true, false},
        {"OpenButton", 25, "Open", true, false},
        {"SaveButton", 48, "Save", false, false},
        {"SaveAsButton", 71, "Save As", false, false},
        {"PropButton", 94, "Properties", false, false},
        {"UndoButton", 125, "Undo", false, false},
        {"RedoButton", 148, "Redo", false, false},
        {"CutButton", 171, "Cut", false, false},
        {"CopyButton", 194, "Copy", false, false},
        {"PasteButton", 217, "Paste", false, false},
        {"HideUnderBut", 248, "Hide Underlay", false, false},
        {"ColorBut", 279, "Colours", false, true},
        {"NormalBut", 302, "Surface Normals", false, false},
        {"MatrixButton", 333, "Transformation Matrix", false, false},
        {"SelectLayerButton", 356, "Layer Palette", false, false},
        {"StatsButton", 379, "Statistics View", false, false},
        {"View3DButton", 402, "3D View", false, false},
        {"SectionsButton", 425, "Sections", false, false},
    };
    for (const ButtonRow& b : buttons) {
      auto* w = Button(b.name);
      QCOMPARE(w->geometry(), QRect(b.x, 5, 23, 22));
      QCOMPARE(w->toolTip(), QString(b.hint));
      QVERIFY2(w->isEnabled() == b.enabled, b.name);
      QVERIFY2(w->isChecked() == b.down, b.name);
    }
    QCOMPARE(Form<TColorBox>("LeftColorBox")->Fill(), PackRGB(255, 255, 255));
    QCOMPARE(Form<TColorBox>("RightColorBox")->Fill(), PackRGB(0, 0, 0));

    const char* slotNames[] = {"Freehand", "Square", "Circle", "Paint", "Cube", "Sphere", "Fill"};
    for (int i = 0; i < 7; ++i) {
      const QString n = slotNames[i];
      QCOMPARE(Form((n + "RAButtonB").toLatin1())->geometry(),
               QRect(2, 2 + 48 * i, 64, 48));
      QVERIFY(Form((n + "RAButtonB").toLatin1())->isVisible());
      QVERIFY(!Form((n + "RAButton").toLatin1())->isVisible());
      QVERIFY(!Form((n + "Select").toLatin1())->isVisible());
    }
  }

  void shortcutsAreDeadWhileTheirMenuIsDisabled() {
    Main()->activateWindow();
    for (auto key : {Qt::Key_F5, Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12})
      QTest::keyClick(Main(), key);
    QTest::keyClick(Main(), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(Main(), Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(Slice()->Zoom(), 8);
    for (QWidget* w : ToolWindows()) QVERIFY(!w->isVisible());

    bool newOpened = false;
    WhenModal([&](QWidget* d) {
      newOpened = d == static_cast<QWidget*>(Form<TNewBox>("NewBox"));
      static_cast<QDialog*>(d)->reject();
    });
    QTest::keyClick(Main(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(newOpened);
  }

  void openingAModelEntersTheDocumentState() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "tank.vxl", 10, 6, 4);
    QCOMPARE(LoadAnswering(path), QString());

    QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));
    QCOMPARE(Form<QLabel>("WordBox")->text(), QString("TANK"));
    QCOMPARE(Doc().CurrentLayer(), 3);
    QCOMPARE(Form<TThreeDWindow>("ThreeDWindow")->ViewSpan(), std::int16_t(18));
    QVERIFY(!Doc().Untitled());
    QVERIFY(!Doc().IsModified());
    QVERIFY(ImageBox()->isVisible());
    QCOMPARE(ImageBox()->size(), QSize(80, 48));
    QVERIFY(Menu("View1")->menuAction()->isEnabled());
    QVERIFY(Menu("Colors1")->menuAction()->isEnabled());
    QVERIFY(Menu("Edit1")->menuAction()->isEnabled());  // with nothing to undo yet
    QVERIFY(!Action("Undo1")->isEnabled() && !Action("Redo1")->isEnabled());
    QVERIFY(!Action("Save1")->isEnabled());
    QVERIFY(!Button("SaveButton")->isEnabled());
    for (const char* n : {"SaveAs1", "Export1", "Properties1", "Matrix1", "SelectLayer1", "Stats1",
                          "View3D1", "Sections1"})
      QVERIFY2(Action(n)->isEnabled(), n);
    for (const char* n :
         {"SaveAsButton", "PropButton", "MatrixButton", "SelectLayerButton", "StatsButton",
          "View3DButton", "SectionsButton", "HideUnderBut", "ColorBut", "NormalBut"})
      QVERIFY2(Button(n)->isEnabled(), n);
    for (const char* n : {"UndoButton", "RedoButton"})
      QVERIFY2(!Button(n)->isEnabled(), n);
    for (const char* n : {"CutButton", "CopyButton"})
      QVERIFY2(Button(n)->isEnabled(), n);
    for (const char* n : {"Cu1", "Copy1", "Orientation1", "CalcNormals1"})
      QVERIFY2(Action(n)->isEnabled(), n);
    for (const char* n : {"SquareRAButton", "FreehandRAButton", "PaintRAButton", "CircleRAButton",
                          "CubeRAButton", "SphereRAButton", "FillRAButton"})
      QVERIFY2(Form(n)->isVisible(), n);
    QVERIFY(Form("FreehandSelect")->isVisible());
    QCOMPARE(Form<TLayerWindow>("LayerWindow")->TrackBar1->maximum(), 3);
    QCOMPARE(Form<TLayerWindow>("LayerWindow")->TrackBar1->value(), 3);

    // A second model: the tool frame does not move, the short path's own title shows.
    QTest::mouseClick(Form<TToolImage>("SquareRAButton"), Qt::LeftButton);
    const QString second = WriteModel(dir, "b.vxl", 3, 3, 3, "B");
    QCOMPARE(LoadAnswering(second), QString());
    QCOMPARE(Main()->windowTitle(), QString("b.vxl - Kobaltine"));
    QCOMPARE(Doc().FilePath(), second.toStdString());
  }

  void rejectedFilesChangeNothing() {
    QTemporaryDir dir;
    const QString good = WriteModel(dir, "good.vxl", 4, 4, 4, "GOOD");
    LoadAnswering(good);
    QFile f(good);
    f.open(QIODevice::ReadOnly);
    const QByteArray valid = f.readAll();

    QByteArray badSignature = valid;
    badSignature[15] = 'x';
    QByteArray tooMany = valid;  // 513 sections: one more than a file may hold
    tooMany[20] = tooMany[24] = 1;
    tooMany[21] = tooMany[25] = 2;
    QByteArray counts = valid;
    counts[24] = 2;
    const QByteArray cut = valid.left(900);

    const struct {
      QString path;
      QString message;
    } cases[] = {
        {dir.filePath("missing.vxl"), "File not found!"},
        {WriteBytes(dir, "sig.vxl", badSignature), "Incorrect Format!"},
        {WriteBytes(dir, "many.vxl", tooMany), "Incorrect Format!"},
        {WriteBytes(dir, "counts.vxl", counts), "Incorrect Format!"},
        {WriteBytes(dir, "cut.vxl", cut), "Image is too small!"},
    };
    Doc().SetCurrentLayer(1);
    for (const auto& c : cases) {
      QCOMPARE(LoadAnswering(c.path), c.message);
      QCOMPARE(Main()->windowTitle(), QString("good.vxl - Kobaltine"));
      QCOMPARE(Form<QLabel>("WordBox")->text(), QString("GOOD"));
      QCOMPARE(Doc().FilePath(), good.toStdString());
      QCOMPARE(Doc().CurrentLayer(), 1);
      QCOMPARE(Model().SizeX, std::uint8_t(4));
      QCOMPARE(Model().Colours.at(1, 1, 0), std::uint8_t(5));
    }
  }

  void aRejectedFileInTheEmptyStateKeepsCommandsDisabled() {
    QTemporaryDir dir;
    QCOMPARE(LoadAnswering(dir.filePath("nothing.vxl")), QString("File not found!"));
    QCOMPARE(Main()->windowTitle(), QString("Kobaltine"));
    QVERIFY(!Action("SaveAs1")->isEnabled());
    QVERIFY(!Menu("View1")->menuAction()->isEnabled());
    QVERIFY(!ImageBox()->isVisible());
  }

  void saveAndSaveAsFollowTheSaveRule() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "a.vxl", 5, 5, 5);
    LoadAnswering(path);
    ChangeOneCell(2, 2, 4, 9);
    QVERIFY(Action("Save1")->isEnabled());

    Action("Save1")->trigger();
    QVERIFY(!Action("Save1")->isEnabled());
    QVERIFY(!Doc().IsModified());
    TVoxelModel reread;
    QCOMPARE(int(ReadVoxelFile(path.toStdString(), reread)), int(LoadStatus::Ok));
    QCOMPARE(reread.Colours.at(2, 2, 4), std::uint8_t(9));

    // Save As: a typed name without extension gets .VXL; the caption follows.
    WhenModal([&](QWidget* d) { AcceptFileDialog(d, dir.filePath("copy")); });
    Button("SaveAsButton")->click();
    QVERIFY(QFile::exists(dir.filePath("copy.VXL")));
    QCOMPARE(Main()->windowTitle(), QString("copy.VXL - Kobaltine"));
    QCOMPARE(Doc().FilePath(), dir.filePath("copy.VXL").toStdString());
    QCOMPARE(FileNameFieldText(Form<QFileDialog>("SaveAsDial")), std::string());

    // Cancelling Save As writes nothing and changes nothing.
    WhenModal([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    Button("SaveAsButton")->click();
    QCOMPARE(Main()->windowTitle(), QString("copy.VXL - Kobaltine"));
  }

  void aFailedSaveSaysSoAndKeepsTheDocumentState() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "keep.vxl", 5, 5, 5);
    LoadAnswering(path);
    QFile original(path);
    original.open(QIODevice::ReadOnly);
    const QByteArray before = original.readAll();
    original.close();
    ChangeOneCell(0, 0, 0, 3);

    // The document's folder disappears: Save fails, says so, keeps Save enabled.
    Doc().SetFile(dir.filePath("gone/keep.vxl").toStdString());
    QString message;
    ExpectMessage(&message);
    Button("SaveButton")->click();
    QCOMPARE(message, QString("Could not write the file!"));
    QVERIFY(Action("Save1")->isEnabled());
    QVERIFY(Doc().IsModified());

    // Save As into a folder that does not exist: caption and path stay.
    Doc().SetFile(path.toStdString());
    WhenModal([&](QWidget* d) { AcceptFileDialog(d, dir.filePath("nowhere/x.vxl")); });
    ExpectMessageAfterDialog(&message);
    Button("SaveAsButton")->click();
    QCOMPARE(Main()->windowTitle(), QString("keep.vxl - Kobaltine"));
    QCOMPARE(Doc().FilePath(), path.toStdString());
    QFile after(path);
    after.open(QIODevice::ReadOnly);
    QCOMPARE(after.readAll(), before);
  }

  void toolWindowsFollowMenuAndButton() {
    QTemporaryDir dir;
    LoadAnswering(WriteModel(dir, "t.vxl", 4, 4, 4));
    struct Toggle {
      const char* item;
      const char* button;
      const char* window;
    };
    const Toggle toggles[] = {{"Matrix1", "MatrixButton", "TransDial"},
                              {"SelectLayer1", "SelectLayerButton", "LayerWindow"},
                              {"Stats1", "StatsButton", "StatBox"},
                              {"View3D1", "View3DButton", "ThreeDWindow"},
                              {"Sections1", "SectionsButton", "SectionWindow"}};
    for (const Toggle& t : toggles) {
      QAction* item = Action(t.item);
      auto* button = Button(t.button);
      item->trigger();
      QVERIFY(Form(t.window)->isVisible());
      QVERIFY(item->isChecked());
      QVERIFY(button->isChecked());
      button->click();
      QVERIFY(!Form(t.window)->isVisible());
      QVERIFY(!item->isChecked());
      QVERIFY(!button->isChecked());
      button->click();
      QVERIFY(Form(t.window)->isVisible());
      QVERIFY(item->isChecked() && button->isChecked());
      Form(t.window)->close();  // its own close box
      QVERIFY(!Form(t.window)->isVisible());
      QVERIFY(!item->isChecked());
      QVERIFY(!button->isChecked());
    }
  }

  void zoomItemsKeepTheZoomInRange() {
    QTemporaryDir dir;
    LoadAnswering(WriteModel(dir, "z.vxl", 100, 50, 2));
    Action("MaxZoom1")->trigger();
    QCOMPARE(Slice()->Zoom(), 16);
    QCOMPARE(ImageBox()->size(), QSize(1600, 800));
    QVERIFY(!Action("ZoomIn1")->isEnabled());
    QVERIFY(!Action("MaxZoom1")->isEnabled());
    Action("ZoomOut1")->trigger();
    QCOMPARE(Slice()->Zoom(), 15);
    QVERIFY(Action("ZoomIn1")->isEnabled() && Action("MaxZoom1")->isEnabled());
    Action("NormSize1")->trigger();
    QCOMPARE(Slice()->Zoom(), 1);
    QVERIFY(!Action("ZoomOut1")->isEnabled() && !Action("NormSize1")->isEnabled());
    Action("ZoomIn1")->trigger();
    QCOMPARE(Slice()->Zoom(), 2);
    QVERIFY(Action("ZoomOut1")->isEnabled() && Action("NormSize1")->isEnabled());
    QCOMPARE(Slice()->SliceBitmap().Width(), 200);
    Main()->activateWindow();
    QTest::keyClick(Main(), Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(Slice()->Zoom(), 3);
  }

  void displayModesAndUnderlayMirrorMenuAndButtons() {
    QTemporaryDir dir;
    LoadAnswering(WriteModel(dir, "m.vxl", 4, 4, 4));
    Button("NormalBut")->click();
    QVERIFY(Doc().NormalsMode());
    QVERIFY(Action("Normals1")->isChecked() && !Action("Colors2")->isChecked());
    Action("Colors2")->trigger();
    QVERIFY(!Doc().NormalsMode());
    QVERIFY(Button("ColorBut")->isChecked());
    Action("Colors2")->trigger();  // already colours: only renders again
    QVERIFY(Action("Colors2")->isChecked() && !Doc().NormalsMode());
    Button("HideUnderBut")->click();
    QVERIFY(Slice()->UnderlayHidden() && Action("HideUnderLay1")->isChecked());
    Action("HideUnderLay1")->trigger();
    QVERIFY(!Slice()->UnderlayHidden() && !Button("HideUnderBut")->isChecked());
  }

  void theColourBoxesFollowTheWindowWidth() {
    Main()->showNormal();
    Main()->resize(800, 600);
    QCoreApplication::processEvents();
    QCOMPARE(Main()->width(), 800);
    QCOMPARE(Form<TColorBox>("LeftColorBox")->x(), 774);
    QCOMPARE(Form<TColorBox>("RightColorBox")->x(), 780);
    // The name sits right of the Sections button: from x 456 to 26 short of the edge.
    QCOMPARE(Form<QLabel>("WordBox")->x(), 456);
    QCOMPARE(Form<QLabel>("WordBox")->width(), 318);
  }

  void theCommandLineFileLoadsAtTheFirstActivationOnly() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "cmd.vxl", 3, 3, 3, "CMD");
    StartForms("\"kobaltine\" " + path.toStdString(), false);
    QCoreApplication::processEvents();
    QVERIFY(!Doc().IsOpen());  // not before the window is there
    QVERIFY(Activate());
    QTRY_COMPARE(Main()->windowTitle(), QString("cmd.vxl - Kobaltine"));
    DraftModel().Colours.at(0, 0, 0) = 77;
    QVERIFY(Reactivate());  // never loads a second time
    QCOMPARE(Model().Colours.at(0, 0, 0), std::uint8_t(77));

    // No file named: nothing is loaded and nothing is said.
    for (const char* commandLine : {"\"kobaltine\" ", "\"kobaltine\""}) {
      StartForms(commandLine, false);
      QString message;
      const auto armed = ExpectMessage(&message);
      QVERIFY(Activate());
      QVERIFY(Reactivate());
      Disarm(armed);
      QCOMPARE(message, QString());
      QVERIFY(!Doc().IsOpen());
      QCOMPARE(Main()->windowTitle(), QString("Kobaltine"));
    }

    // A file that cannot be loaded is reported once and not tried again.
    StartForms("\"kobaltine\" " + dir.filePath("none.vxl").toStdString(), false);
    QString message;
    ExpectMessage(&message);
    (void)Activate();  // the message takes the activation from the main window
    QTRY_COMPARE(message, QString("File not found!"));
    QString again;
    const auto armed = ExpectMessage(&again);
    QVERIFY(Reactivate());
    Disarm(armed);
    QCOMPARE(again, QString());
    QVERIFY(!Doc().IsOpen());
  }

  void messageDialogsAnswerOnlyTheirButtons() {
    QString seen;
    int result = 0;
    WhenModal([&](QWidget* d) {
      seen = d->windowTitle() + "|" + d->findChild<QLabel*>("Text")->text() + "|" +
             d->findChild<QPushButton*>("Button1")->text();
      QTest::keyClick(d, Qt::Key_Escape);
      QVERIFY(d->isVisible());  // Escape does nothing
      QTest::keyClick(d, Qt::Key_Return);
      result = qobject_cast<TButtonDial*>(d)->DialogResult;
    });
    ShowMessageDialog(Main(), "File not found!", "&OK");
    QCOMPARE(seen, QString("Kobaltine|File not found!|&OK"));
    QCOMPARE(result, 1);

    // Two messages in a row: each its own text.
    QString second;
    ExpectMessage(&second);
    ShowMessageDialog(Main(), "Incorrect Format!", "&OK");
    QCOMPARE(second, QString("Incorrect Format!"));

    // The three-button dialog: Enter right away presses the rightmost button.
    WhenModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); });
    QCOMPARE(AskWithButtons(Main(), "Which?", {"&Save", "&Discard", "&Cancel"}), 3);
    QRect second2;
    WhenModal([&](QWidget* d) {
      second2 = d->findChild<QPushButton*>("Button2")->geometry();
      d->findChild<QPushButton*>("Button1")->click();
    });
    QCOMPARE(AskWithButtons(Main(), "Which?", {"&Yes", "&No"}), 1);
    QCOMPARE(second2, QRect(132, 40, 72, 23));

    // A long message grows the dialog; the short one after it gets the small dialog back.
    QList<QRect> shapes;
    for (const char* text : {"Multi-limbed voxels are currently not supported!",
                             "Must enter a value between 1-255!"}) {
      WhenModal([&](QWidget* d) {
        shapes << QRect(QPoint(), d->size()) << d->findChild<QPushButton*>("Button1")->geometry();
        d->findChild<QPushButton*>("Button1")->click();
      });
      ShowMessageDialog(Main(), text);
    }
    QCOMPARE(shapes.size(), 4);
    QVERIFY(shapes[0].height() > 72);
    QCOMPARE(shapes[2], QRect(0, 0, 256, 72));
    QCOMPARE(shapes[3], QRect(92, 40, 72, 23));
  }

  void anErrorInAHandlerReachesTheErrorBoxAndWorkGoesOn() {
    ThrowingObject thrower;
    QString text;
    QString title;
    bool critical = false;
    WhenModal([&](QWidget* d) {
      auto* box = qobject_cast<QMessageBox*>(d);
      QVERIFY(box != nullptr);
      text = box->text();
      title = box->windowTitle();
      critical = box->icon() == QMessageBox::Critical;
      box->accept();
    });
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTRY_COMPARE(text, QString("Something broke."));
    QCOMPARE(title, QString("Kobaltine"));
    QVERIFY(critical);
    QVERIFY(Main()->isVisible());
  }

  void anErrorAtStartUpShowsTheNoticeThenTheErrorBox() {
    QStringList seen;
    std::function<void(QWidget*)> answer = [&](QWidget* d) {
      auto* box = qobject_cast<QMessageBox*>(d);
      QVERIFY(box != nullptr);
      seen << QString("%1|%2|%3").arg(box->windowTitle(), box->text()).arg(int(box->icon()));
      box->accept();
      if (seen.size() == 1) WhenModal(answer);
    };
    WhenModal(answer);
    ShowTopLevelError("No memory.");
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0],
             QString("Kobaltine|%1|%2").arg(TopLevelErrorNotice).arg(int(QMessageBox::NoIcon)));
    // A message that already ends in a full stop gets a second one.
    QCOMPARE(seen[1], QString("Kobaltine|No memory..|%1").arg(int(QMessageBox::Critical)));
  }

  void aFileDialogTakesItsCompletionListAlongWhenItCloses() {
    QTemporaryDir dir;
    WriteModel(dir, "typed.vxl", 4, 4, 4);
    QDir(dir.path()).mkdir("tiles");
    // Types a name into the name box until its completion list shows, and returns the
    // list. The folder is loaded first: its loading would race the typing.
    const auto type = [&dir](QWidget* d, const QString& name) -> QWidget* {
      auto* dialog = static_cast<QFileDialog*>(d);
      dialog->setDirectory(dir.path());
      auto* files = dialog->findChild<QFileSystemModel*>();
      (void)QTest::qWaitFor([&] { return files->rowCount(files->index(dir.path())) > 0; }, 2000);
      auto* field = d->findChild<QLineEdit*>("fileNameEdit");
      field->setFocus();
      QTest::keyClicks(field, name);
      QWidget* list = field->completer()->popup();
      return QTest::qWaitFor([list] { return list->isVisible(); }, 2000) ? list : nullptr;
    };
    QWidget* list = nullptr;
    // Typed in full and taken with Return, as a user opens a file.
    WhenModal([&](QWidget* d) {
      list = type(d, "typed.vxl");
      // The first Return may only close the list, when it has the focus.
      for (int i = 0; i < 2 && d->isVisible(); ++i)
        QTest::keyClick(d->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
      if (d->isVisible()) static_cast<QDialog*>(d)->reject();
    });
    Trigger("Open1");
    QCOMPARE(Main()->windowTitle(), QString("typed.vxl - Kobaltine"));
    QVERIFY(list != nullptr);
    QTest::qWait(100);
    QVERIFY(!list->isVisible());
    // The other three, cancelled.
    for (const char* command : {"SaveAs1", "LoadPal1", "SavePal1"}) {
      list = nullptr;
      WhenModal([&](QWidget* d) {
        list = type(d, "ti");
        static_cast<QDialog*>(d)->reject();
      });
      Trigger(command);
      QVERIFY(list != nullptr);
      QVERIFY(!list->isVisible());
    }
  }

  void aboutShowsNameAndVersion() {
    QString seen;
    QImage name;
    QFont nameFont;
    QRect credit, ok;
    int creditNeeds = 0;
    WhenModal([&](QWidget* d) {
      auto* label1 = d->findChild<QLabel*>("Label1");
      seen =
          d->windowTitle() + "|" + label1->text() + "|" + d->findChild<QLabel*>("Label2")->text();
      name = label1->grab().toImage();
      nameFont = label1->font();
      auto* label3 = d->findChild<QLabel*>("Label3");
      credit = label3->geometry();
      creditNeeds = label3->sizeHint().width();
      ok = d->findChild<QPushButton*>("OKBut")->geometry();
      d->findChild<QPushButton*>("OKBut")->click();
    });
    Action("About1")->trigger();
    QCOMPARE(seen, QString("About|Kobaltine|Version 0.091"));
    // The whole name shows: it has ink, and none of it touches the label's right edge.
    const auto inkInColumns = [&](int from, int to) {
      for (int x = from; x < to; ++x)
        for (int y = 0; y < name.height(); ++y)
          if (qGray(name.pixel(x, y)) < 96) return true;
      return false;
    };
    QVERIFY(inkInColumns(0, name.width()));
    QVERIFY2(!inkInColumns(name.width() - 2, name.width()), "the name is cut off");
    QVERIFY(nameFont.bold() && nameFont.italic() && nameFont.pixelSize() <= 32);
    // The credit shows whole and ends left of the OK button.
    QVERIFY(credit.width() >= creditNeeds);
    QVERIFY(credit.right() < ok.left());
  }

 private:
  // Arms a message answer to run after the file dialog closes.
  static void ExpectMessageAfterDialog(QString* text) {
    QTimer::singleShot(50, [text] { ExpectMessage(text); });
  }
};

KOBALTINE_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
