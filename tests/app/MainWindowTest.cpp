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

template <typename T = QAction>
T* Find(const char* name) {
  T* found = MainWindow->findChild<T*>(name);
  if (found == nullptr) qFatal("control %s not found", name);
  return found;
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

// Loads a file and answers any message, returning its text.
QString LoadAnswering(const QString& path) {
  QString message;
  const auto armed = ExpectMessage(&message);
  MainWindow->LoadVoxelFile(path.toStdString());
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
    QCOMPARE(MainWindow->windowTitle(), QString("Kobaltine"));
    QVERIFY(!MainWindow->ImageBox->isVisible());
    for (QWidget* w :
         std::initializer_list<QWidget*>{LayerWindow, StatBox, ThreeDWindow, TransDial})
      QVERIFY(!w->isVisible());

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
      QAction* a = Find(i.name);
      QCOMPARE(a->text(), QString(i.caption));
      QCOMPARE(a->shortcut(), QKeySequence(i.shortcut));
      QVERIFY2(a->isEnabled() == i.enabled, i.name);
    }
    const QPair<const char*, const char*> second[] = {
        {"Cu1", "Ctrl+X"}, {"Copy1", "Ctrl+C"}, {"Paste1", "Ctrl+V"}};
    for (const auto& [name, key] : second)
      QVERIFY2(Find(name)->shortcuts().contains(QKeySequence(key)), name);
    QVERIFY(Find("Colors2")->isChecked());
    QVERIFY(!Find("Normals1")->isChecked());
    for (const char* n : {"Matrix1", "SelectLayer1", "Stats1", "View3D1", "Sections1",
                          "HideUnderLay1", "DirectionColours1"})
      QVERIFY2(!Find(n)->isChecked(), n);
    for (const char* n : {"N1", "N2", "N3", "N4", "N5", "N6", "N7"})
      QVERIFY2(Find(n)->isSeparator(), n);
    QCOMPARE(MainWindow->File1->title(), QString("&File"));
    QStringList fileItems;  // Import and Export right after Save As
    for (QAction* a : MainWindow->File1->actions()) fileItems << a->objectName();
    QCOMPARE(fileItems.mid(0, 6),
             (QStringList{"New1", "Open1", "Save1", "SaveAs1", "Import1", "Export1"}));
    QVERIFY(!MainWindow->Edit1->menuAction()->isEnabled());
    QVERIFY(!MainWindow->View1->menuAction()->isEnabled());
    QVERIFY(!MainWindow->Colors1->menuAction()->isEnabled());
    QVERIFY(MainWindow->Help1->menuAction()->isEnabled());
    QCOMPARE(MainWindow->Zoom1->title(), QString("&Zoom..."));

    struct Button {
      const char* name;
      int x;
      const char* hint;
      bool enabled;
      bool down;
    };
    const Button buttons[] = {
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
    for (const Button& b : buttons) {
      auto* w = Find<QToolButton>(b.name);
      QCOMPARE(w->geometry(), QRect(b.x, 5, 23, 22));
      QCOMPARE(w->toolTip(), QString(b.hint));
      QVERIFY2(w->isEnabled() == b.enabled, b.name);
      QVERIFY2(w->isChecked() == b.down, b.name);
    }
    QCOMPARE(MainWindow->LeftColorBox->Fill(), PackRGB(255, 255, 255));
    QCOMPARE(MainWindow->RightColorBox->Fill(), PackRGB(0, 0, 0));

    const char* slotNames[] = {"Freehand", "Square", "Circle", "Paint", "Cube", "Sphere", "Fill"};
    for (int i = 0; i < 7; ++i) {
      const QString n = slotNames[i];
      QCOMPARE(Find<QWidget>((n + "RAButtonB").toLatin1())->geometry(),
               QRect(2, 2 + 48 * i, 64, 48));
      QVERIFY(Find<QWidget>((n + "RAButtonB").toLatin1())->isVisible());
      QVERIFY(!Find<QWidget>((n + "RAButton").toLatin1())->isVisible());
      QVERIFY(!Find<QWidget>((n + "Select").toLatin1())->isVisible());
    }
  }

  void shortcutsAreDeadWhileTheirMenuIsDisabled() {
    MainWindow->activateWindow();
    for (auto key : {Qt::Key_F5, Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12})
      QTest::keyClick(MainWindow, key);
    QTest::keyClick(MainWindow, Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(MainWindow, Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(MainWindow->View.Zoom, 8);
    for (QWidget* w :
         std::initializer_list<QWidget*>{LayerWindow, StatBox, ThreeDWindow, TransDial})
      QVERIFY(!w->isVisible());

    bool newOpened = false;
    WhenModal([&](QWidget* d) {
      newOpened = d == static_cast<QWidget*>(NewBox);
      static_cast<QDialog*>(d)->reject();
    });
    QTest::keyClick(MainWindow, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(newOpened);
  }

  void openingAModelEntersTheDocumentState() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "tank.vxl", 10, 6, 4);
    QCOMPARE(LoadAnswering(path), QString());

    QCOMPARE(MainWindow->windowTitle(), QString("tank.vxl - Kobaltine"));
    QCOMPARE(MainWindow->WordBox->text(), QString("TANK"));
    QCOMPARE(MainWindow->View.CurrentLayer, 3);
    QCOMPARE(MainWindow->ViewSpan, std::int16_t(18));
    QVERIFY(!MainWindow->Doc.Untitled);
    QVERIFY(!MainWindow->Doc.Modified);
    QVERIFY(MainWindow->ImageBox->isVisible());
    QCOMPARE(MainWindow->ImageBox->size(), QSize(80, 48));
    QVERIFY(MainWindow->View1->menuAction()->isEnabled());
    QVERIFY(MainWindow->Colors1->menuAction()->isEnabled());
    QVERIFY(MainWindow->Edit1->menuAction()->isEnabled());  // with nothing to undo yet
    QVERIFY(!Find("Undo1")->isEnabled() && !Find("Redo1")->isEnabled());
    QVERIFY(!Find("Save1")->isEnabled());
    QVERIFY(!Find<QToolButton>("SaveButton")->isEnabled());
    for (const char* n : {"SaveAs1", "Export1", "Properties1", "Matrix1", "SelectLayer1", "Stats1",
                          "View3D1", "Sections1"})
      QVERIFY2(Find(n)->isEnabled(), n);
    for (const char* n :
         {"SaveAsButton", "PropButton", "MatrixButton", "SelectLayerButton", "StatsButton",
          "View3DButton", "SectionsButton", "HideUnderBut", "ColorBut", "NormalBut"})
      QVERIFY2(Find<QToolButton>(n)->isEnabled(), n);
    for (const char* n : {"UndoButton", "RedoButton"})
      QVERIFY2(!Find<QToolButton>(n)->isEnabled(), n);
    for (const char* n : {"CutButton", "CopyButton"})
      QVERIFY2(Find<QToolButton>(n)->isEnabled(), n);
    for (const char* n : {"Cu1", "Copy1", "Orientation1", "CalcNormals1"})
      QVERIFY2(Find(n)->isEnabled(), n);
    for (const char* n : {"SquareRAButton", "FreehandRAButton", "PaintRAButton", "CircleRAButton",
                          "CubeRAButton", "SphereRAButton", "FillRAButton"})
      QVERIFY2(Find<QWidget>(n)->isVisible(), n);
    QVERIFY(Find<QWidget>("FreehandSelect")->isVisible());
    QCOMPARE(LayerWindow->TrackBar1->maximum(), 3);
    QCOMPARE(LayerWindow->TrackBar1->value(), 3);

    // A second model: the tool frame does not move, the short path's own title shows.
    MainWindow->SelectSquare();
    const QString second = WriteModel(dir, "b.vxl", 3, 3, 3, "B");
    QCOMPARE(LoadAnswering(second), QString());
    QCOMPARE(MainWindow->windowTitle(), QString("b.vxl - Kobaltine"));
    QCOMPARE(MainWindow->Doc.FilePath, second.toStdString());
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
    MainWindow->View.CurrentLayer = 1;
    MainWindow->Refresh1Click();
    for (const auto& c : cases) {
      QCOMPARE(LoadAnswering(c.path), c.message);
      QCOMPARE(MainWindow->windowTitle(), QString("good.vxl - Kobaltine"));
      QCOMPARE(MainWindow->WordBox->text(), QString("GOOD"));
      QCOMPARE(MainWindow->Doc.FilePath, good.toStdString());
      QCOMPARE(MainWindow->View.CurrentLayer, 1);
      QCOMPARE(MainWindow->Model.SizeX, std::uint8_t(4));
      QCOMPARE(MainWindow->Model.Colours.at(1, 1, 0), std::uint8_t(5));
    }
  }

  void aRejectedFileInTheEmptyStateKeepsCommandsDisabled() {
    QTemporaryDir dir;
    QCOMPARE(LoadAnswering(dir.filePath("nothing.vxl")), QString("File not found!"));
    QCOMPARE(MainWindow->windowTitle(), QString("Kobaltine"));
    QVERIFY(!Find("SaveAs1")->isEnabled());
    QVERIFY(!MainWindow->View1->menuAction()->isEnabled());
    QVERIFY(!MainWindow->ImageBox->isVisible());
  }

  void saveAndSaveAsFollowTheSaveRule() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "a.vxl", 5, 5, 5);
    LoadAnswering(path);
    ChangeOneCell(2, 2, 4, 9);
    QVERIFY(Find("Save1")->isEnabled());

    Find("Save1")->trigger();
    QVERIFY(!Find("Save1")->isEnabled());
    QVERIFY(!MainWindow->Doc.Modified);
    TVoxelModel reread;
    QCOMPARE(int(ReadVoxelFile(path.toStdString(), reread)), int(LoadStatus::Ok));
    QCOMPARE(reread.Colours.at(2, 2, 4), std::uint8_t(9));

    // Save As: a typed name without extension gets .VXL; the caption follows.
    WhenModal([&](QWidget* d) { AcceptFileDialog(d, dir.filePath("copy")); });
    MainWindow->SaveAsButtonClick();
    QVERIFY(QFile::exists(dir.filePath("copy.VXL")));
    QCOMPARE(MainWindow->windowTitle(), QString("copy.VXL - Kobaltine"));
    QCOMPARE(MainWindow->Doc.FilePath, dir.filePath("copy.VXL").toStdString());
    QCOMPARE(FileNameFieldText(MainWindow->SaveAsDial), std::string());

    // Cancelling Save As writes nothing and changes nothing.
    WhenModal([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    MainWindow->SaveAsButtonClick();
    QCOMPARE(MainWindow->windowTitle(), QString("copy.VXL - Kobaltine"));
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
    MainWindow->Doc.FilePath = dir.filePath("gone/keep.vxl").toStdString();
    QString message;
    ExpectMessage(&message);
    MainWindow->SaveButtonClick();
    QCOMPARE(message, QString("Could not write the file!"));
    QVERIFY(Find("Save1")->isEnabled());
    QVERIFY(MainWindow->Doc.Modified);

    // Save As into a folder that does not exist: caption and path stay.
    MainWindow->Doc.FilePath = path.toStdString();
    WhenModal([&](QWidget* d) { AcceptFileDialog(d, dir.filePath("nowhere/x.vxl")); });
    ExpectMessageAfterDialog(&message);
    MainWindow->SaveAsButtonClick();
    QCOMPARE(MainWindow->windowTitle(), QString("keep.vxl - Kobaltine"));
    QCOMPARE(MainWindow->Doc.FilePath, path.toStdString());
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
      QWidget* window;
    };
    const Toggle toggles[] = {{"Matrix1", "MatrixButton", TransDial},
                              {"SelectLayer1", "SelectLayerButton", LayerWindow},
                              {"Stats1", "StatsButton", StatBox},
                              {"View3D1", "View3DButton", ThreeDWindow},
                              {"Sections1", "SectionsButton", SectionWindow}};
    for (const Toggle& t : toggles) {
      QAction* item = Find(t.item);
      auto* button = Find<QToolButton>(t.button);
      item->trigger();
      QVERIFY(t.window->isVisible());
      QVERIFY(item->isChecked());
      QVERIFY(button->isChecked());
      button->click();
      QVERIFY(!t.window->isVisible());
      QVERIFY(!item->isChecked());
      QVERIFY(!button->isChecked());
      button->click();
      QVERIFY(t.window->isVisible());
      QVERIFY(item->isChecked() && button->isChecked());
      t.window->close();  // its own close box
      QVERIFY(!t.window->isVisible());
      QVERIFY(!item->isChecked());
      QVERIFY(!button->isChecked());
    }
  }

  void zoomItemsKeepTheZoomInRange() {
    QTemporaryDir dir;
    LoadAnswering(WriteModel(dir, "z.vxl", 100, 50, 2));
    Find("MaxZoom1")->trigger();
    QCOMPARE(MainWindow->View.Zoom, 16);
    QCOMPARE(MainWindow->ImageBox->size(), QSize(1600, 800));
    QVERIFY(!Find("ZoomIn1")->isEnabled());
    QVERIFY(!Find("MaxZoom1")->isEnabled());
    Find("ZoomOut1")->trigger();
    QCOMPARE(MainWindow->View.Zoom, 15);
    QVERIFY(Find("ZoomIn1")->isEnabled() && Find("MaxZoom1")->isEnabled());
    Find("NormSize1")->trigger();
    QCOMPARE(MainWindow->View.Zoom, 1);
    QVERIFY(!Find("ZoomOut1")->isEnabled() && !Find("NormSize1")->isEnabled());
    Find("ZoomIn1")->trigger();
    QCOMPARE(MainWindow->View.Zoom, 2);
    QVERIFY(Find("ZoomOut1")->isEnabled() && Find("NormSize1")->isEnabled());
    QCOMPARE(MainWindow->SliceBitmap.Width(), 200);
    MainWindow->activateWindow();
    QTest::keyClick(MainWindow, Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(MainWindow->View.Zoom, 3);
  }

  void displayModesAndUnderlayMirrorMenuAndButtons() {
    QTemporaryDir dir;
    LoadAnswering(WriteModel(dir, "m.vxl", 4, 4, 4));
    Find<QToolButton>("NormalBut")->click();
    QVERIFY(MainWindow->View.NormalsMode);
    QVERIFY(Find("Normals1")->isChecked() && !Find("Colors2")->isChecked());
    Find("Colors2")->trigger();
    QVERIFY(!MainWindow->View.NormalsMode);
    QVERIFY(Find<QToolButton>("ColorBut")->isChecked());
    Find("Colors2")->trigger();  // already colours: only renders again
    QVERIFY(Find("Colors2")->isChecked() && !MainWindow->View.NormalsMode);
    Find<QToolButton>("HideUnderBut")->click();
    QVERIFY(MainWindow->View.UnderlayHidden && Find("HideUnderLay1")->isChecked());
    Find("HideUnderLay1")->trigger();
    QVERIFY(!MainWindow->View.UnderlayHidden && !Find<QToolButton>("HideUnderBut")->isChecked());
  }

  void theColourBoxesFollowTheWindowWidth() {
    MainWindow->showNormal();
    MainWindow->resize(800, 600);
    QCoreApplication::processEvents();
    QCOMPARE(MainWindow->width(), 800);
    QCOMPARE(MainWindow->LeftColorBox->x(), 774);
    QCOMPARE(MainWindow->RightColorBox->x(), 780);
    // The name sits right of the Sections button: from x 456 to 26 short of the edge.
    QCOMPARE(MainWindow->WordBox->x(), 456);
    QCOMPARE(MainWindow->WordBox->width(), 318);
  }

  void theCommandLineFileLoadsAtTheFirstActivationOnly() {
    QTemporaryDir dir;
    const QString path = WriteModel(dir, "cmd.vxl", 3, 3, 3, "CMD");
    StartForms("\"kobaltine\" " + path.toStdString(), false);
    QVERIFY(MainWindow->CommandLineFilePending);
    MainWindow->FormActivate();
    QCOMPARE(MainWindow->windowTitle(), QString("cmd.vxl - Kobaltine"));
    QVERIFY(!MainWindow->CommandLineFilePending);
    MainWindow->Model.Colours.at(0, 0, 0) = 77;
    MainWindow->FormActivate();  // never loads a second time
    QCOMPARE(MainWindow->Model.Colours.at(0, 0, 0), std::uint8_t(77));

    StartForms("\"kobaltine\" ", false);
    QVERIFY(!MainWindow->CommandLineFilePending);
    StartForms("\"kobaltine\"", false);
    QVERIFY(!MainWindow->CommandLineFilePending);

    // A file that cannot be loaded is reported once and not tried again.
    StartForms("\"kobaltine\" " + dir.filePath("none.vxl").toStdString(), false);
    QString message;
    ExpectMessage(&message);
    MainWindow->FormActivate();
    QCOMPARE(message, QString("File not found!"));
    QVERIFY(!MainWindow->CommandLineFilePending);
  }

  void messageDialogsAnswerOnlyTheirButtons() {
    QString seen;
    WhenModal([&](QWidget* d) {
      seen = d->windowTitle() + "|" + d->findChild<QLabel*>("Text")->text() + "|" +
             d->findChild<QPushButton*>("Button1")->text();
      QTest::keyClick(d, Qt::Key_Escape);
      QVERIFY(d->isVisible());  // Escape does nothing
      QTest::keyClick(d, Qt::Key_Return);
    });
    ShowMessageDialog("File not found!", "&OK");
    QCOMPARE(seen, QString("Kobaltine|File not found!|&OK"));
    QCOMPARE(SingleButDial->DialogResult, 1);

    // Two messages in a row: each its own text.
    QString second;
    ExpectMessage(&second);
    ShowMessageDialog("Incorrect Format!", "&OK");
    QCOMPARE(second, QString("Incorrect Format!"));

    // The three-button dialog: Enter right away presses the rightmost button.
    TripleButDial->Text->setText("Which?");
    WhenModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); });
    TripleButDial->exec();
    QCOMPARE(TripleButDial->DialogResult, 3);
    WhenModal([](QWidget* d) { d->findChild<QPushButton*>("Button1")->click(); });
    DoubleButDial->exec();
    QCOMPARE(DoubleButDial->DialogResult, 1);
    QCOMPARE(DoubleButDial->findChild<QPushButton*>("Button2")->geometry(), QRect(132, 40, 72, 23));

    // A long message grows the dialog; the short one after it gets the small dialog back.
    QList<QRect> shapes;
    for (const char* text : {"Multi-limbed voxels are currently not supported!",
                             "Must enter a value between 1-255!"}) {
      WhenModal([&](QWidget* d) {
        shapes << QRect(QPoint(), d->size()) << d->findChild<QPushButton*>("Button1")->geometry();
        d->findChild<QPushButton*>("Button1")->click();
      });
      ShowMessageDialog(text);
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
    QVERIFY(MainWindow->isVisible());
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
    MainWindow->Open1Click();
    QCOMPARE(MainWindow->windowTitle(), QString("typed.vxl - Kobaltine"));
    QVERIFY(list != nullptr);
    QTest::qWait(100);
    QVERIFY(!list->isVisible());
    // The other three, cancelled.
    for (void (TMainWindow::*command)() :
         {&TMainWindow::SaveAsButtonClick, &TMainWindow::LoadPal1Click,
          &TMainWindow::SavePal1Click}) {
      list = nullptr;
      WhenModal([&](QWidget* d) {
        list = type(d, "ti");
        static_cast<QDialog*>(d)->reject();
      });
      (MainWindow->*command)();
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
    Find("About1")->trigger();
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
