// What assistive technology reads of the windows: names, roles, states and actions through
// the accessible interfaces, and the keyboard routes through the dialogs and tool windows.

#include <QAccessible>
#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "dialogs/TNewBox.h"
#include "dialogs/TTransDial.h"
#include "editor/TColorBox.h"
#include "editor/TImageBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"
#include "model/VxlWriter.h"
#include "palette/TPaletteDialog.h"
#include "support/FormsFixture.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;

namespace {

QAccessibleInterface* Iface(QObject* object) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
  if (iface == nullptr) qFatal("no accessible interface for %s", qPrintable(object->objectName()));
  return iface;
}

QString Name(QObject* object) {
  return Iface(object)->text(QAccessible::Name);
}
QString Description(QObject* object) {
  return Iface(object)->text(QAccessible::Description);
}
QAccessible::State State(QObject* object) {
  return Iface(object)->state();
}

// The text a screen reader reads out of a control's text interface.
QString SpokenText(QObject* object) {
  QAccessibleTextInterface* text = Iface(object)->textInterface();
  return text == nullptr ? QString("<no text>") : text->text(0, text->characterCount());
}

void Press(QObject* object) {
  QAccessibleActionInterface* actions = Iface(object)->actionInterface();
  QVERIFY(actions != nullptr);
  QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
}

void OpenModel(const QTemporaryDir& dir) {
  TVoxelModel m;
  m.SizeX = 6;
  m.SizeY = 5;
  m.SizeZ = 3;
  m.NormalType = 4;
  StoreNameText(m.Name, "TANK");
  const QString path = dir.filePath("tank.vxl");
  if (!WriteVoxelFile(path.toStdString(), m)) qFatal("cannot write the test model");
  Main()->LoadVoxelFile(path.toStdString());
  QCoreApplication::processEvents();
  if (!Doc().IsOpen()) qFatal("the test model did not load");
}

TThreeDWindow* ThreeD() {
  return Form<TThreeDWindow>("ThreeDWindow");
}
TTransDial* Trans() {
  return Form<TTransDial>("TransDial");
}
TStatBox* Stats() {
  return Form<TStatBox>("StatBox");
}
TPaletteDialog* Palette() {
  return Form<TPaletteDialog>("PaletteDialog");
}
// The picture a tool slot shows when its tool is offered, and the frame of the chosen one.
TToolImage* ToolPicture(const char* tool) {
  return Form<TToolImage>((QString(tool) + "RAButton").toLatin1());
}
QWidget* ToolFrame(const char* tool) {
  return Form((QString(tool) + "Select").toLatin1());
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { StartForms(); }

  void everyControlHasASpokenName() {
    QTemporaryDir dir;
    OpenModel(dir);
    for (QToolButton* b : Form("Panel1")->findChildren<QToolButton*>()) {
      QCOMPARE(Name(b), b->toolTip());
      QCOMPARE(Iface(b)->role(), b->isCheckable() ? QAccessible::CheckBox : QAccessible::Button);
    }
    QCOMPARE(Name(Slice()->ImageBox()), QString("Slice view"));
    QCOMPARE(Iface(Slice()->ImageBox())->role(), QAccessible::Canvas);
    QCOMPARE(Name(ThreeD()->PaintBox1), QString("3D view"));
    QCOMPARE(Name(Form("WordBox")), QString("Model name"));
    QCOMPARE(SpokenText(Form("WordBox")), QString("TANK"));

    // The colour boxes are buttons that tell the drawing value they hold, after each render.
    QWidget* left = Form("LeftColorBox");
    QWidget* right = Form("RightColorBox");
    QCOMPARE(Name(left), QString("Left colour"));
    QCOMPARE(Name(right), QString("Right colour"));
    QCOMPARE(Iface(left)->role(), QAccessible::Button);
    QCOMPARE(Description(left), QString("Index 15"));
    QCOMPARE(Description(right), QString("Index 0"));
    Doc().SetDrawingValue(false, 37);
    Trigger("Refresh1");
    QCOMPARE(Description(left), QString("Index 37"));

    const char* slotNames[] = {"Freehand", "Square", "Circle", "Paint", "Cube", "Sphere", "Fill"};
    const char* tools[] = {"Freehand pen", "Filled rectangle", "Circle", "Flood fill",
                           "Cube",         "Sphere",           "Fill"};
    for (std::size_t i = 0; i < 7; ++i) {
      QCOMPARE(Name(ToolPicture(slotNames[i])), QString(tools[i]));
      QCOMPARE(Iface(ToolPicture(slotNames[i]))->role(), QAccessible::Button);
    }
    QCOMPARE(Iface(ToolFrame("Freehand"))->role(), QAccessible::Graphic);
    QCOMPARE(Description(ToolFrame("Freehand")), QString("Freehand pen"));

    // Value labels: the caption is the name, the value is the text.
    DraftModel().SetTailerFloat(TailerXOffset, -2.5f);
    Trans()->ShowTailerValues();
    const QList<QPair<QLabel*, const char*>> values = {
        {Trans()->Tran5, "X Offset"},   {Trans()->Tran9, "Y Offset"},
        {Trans()->Tran13, "Z Offset"},  {Trans()->Tran14, "X Minimum"},
        {Trans()->Tran15, "Y Minimum"}, {Trans()->Tran16, "Z Minimum"},
        {Trans()->Tran17, "X Maximum"}, {Trans()->Tran18, "Y Maximum"},
        {Trans()->Tran19, "Z Maximum"}};
    for (const auto& [label, caption] : values) {
      QCOMPARE(Name(label), QString(caption));
      QCOMPARE(SpokenText(label), label->text());
    }
    QCOMPARE(SpokenText(Trans()->Tran5), QString("-2.5"));
    QCOMPARE(Name(Trans()->findChild<QToolButton*>("Change5")), QString("Change X Offset"));

    Stats()->VoxelReadout(2, 3, 1);
    QCOMPARE(Name(Stats()->RedText), QString("Red"));
    QCOMPARE(Name(Stats()->XText), QString("X position"));
    QCOMPARE(SpokenText(Stats()->XText), QString("X: 2"));
    QCOMPARE(SpokenText(Stats()->ZText), QString("Z: 1"));
    // Labels without a name of their own keep the toolkit's reading: the text is the name.
    QCOMPARE(Name(Trans()->Label1), QString("X Offset:"));
    QCOMPARE(Iface(Trans()->Bevel1)->role(), QAccessible::Separator);
  }

  void statesFollowTheWindow() {
    // No model: the View and Colours menus are disabled, and so is every item in them,
    // whatever its own state; the menu titles say so too.
    for (const char* n : {"Refresh1", "Colors2", "ZoomIn1", "HideUnderLay1", "LoadPal1", "EditPal1"})
      QVERIFY2(State(Action(n)).disabled, n);
    QVERIFY(State(Form<QMenu>("View1")->menuAction()).disabled);
    QVERIFY(State(Form<QMenu>("View1")->findChild<QMenu*>("Zoom1")->menuAction()).disabled);
    QVERIFY(!State(Action("Open1")).disabled);
    QVERIFY(!State(Action("About1")).disabled);
    QCOMPARE(Name(Action("SaveAs1")), QString("Save As..."));
    QCOMPARE(Iface(Action("N3"))->role(), QAccessible::Separator);
    // Pressing an item of a disabled menu does nothing.
    Press(Action("ZoomIn1"));
    QCoreApplication::processEvents();
    QCOMPARE(Slice()->Zoom(), 8);

    QTemporaryDir dir;
    OpenModel(dir);
    QVERIFY(!State(Action("Refresh1")).disabled);
    QVERIFY(!State(Action("ZoomIn1")).disabled);
    QVERIFY(State(Action("Undo1")).disabled);  // its own state still counts
    QVERIFY(State(Button("SaveButton")).disabled);
    QVERIFY(State(Action("Save1")).disabled);
    QVERIFY(!State(Button("SaveAsButton")).disabled);
    QVERIFY(State(Button("ColorBut")).checked && !State(Button("NormalBut")).checked);
    QVERIFY(State(Action("Colors2")).checked && State(Action("Colors2")).checkable);

    Trigger("Normals1");
    QVERIFY(!State(Button("ColorBut")).checked && State(Button("NormalBut")).checked);
    QVERIFY(!State(Action("Colors2")).checked && State(Action("Normals1")).checked);

    // A menu command pressed through its item, as a screen reader does.
    Press(Action("Stats1"));
    QTRY_VERIFY(Stats()->isVisible());
    QVERIFY(State(Button("StatsButton")).checked);
    QVERIFY(State(Action("Stats1")).checked);
    QTest::keyClick(Stats(), Qt::Key_Escape);
    QVERIFY(!State(Button("StatsButton")).checked);
    QVERIFY(!State(Action("Stats1")).checked);

    ChangeOneCell(0, 0, 0, std::uint8_t(Model().Colours.at(0, 0, 0) + 1));
    QVERIFY(!State(Button("SaveButton")).disabled && !State(Action("Save1")).disabled);
  }

  void aToolPictureIsAButtonThatSelectsItsTool() {
    // A tool that is not offered (its picture is hidden until a model opens) cannot be
    // pressed.
    Press(ToolPicture("Circle"));
    QCOMPARE(Slice()->CurrentTool(), DrawTool::Freehand);
    QTemporaryDir dir;
    OpenModel(dir);
    TToolImage* freehand = ToolPicture("Freehand");
    TToolImage* square = ToolPicture("Square");
    QVERIFY(State(freehand).checkable && State(freehand).checked);
    QVERIFY(!State(square).checked);

    Press(square);
    QCOMPARE(Slice()->CurrentTool(), DrawTool::Square);
    QVERIFY(State(square).checked);
    QVERIFY(!State(freehand).checked);
    QVERIFY(ToolFrame("Square")->isVisible());

    Press(ToolPicture("Circle"));
    QCOMPARE(Slice()->CurrentTool(), DrawTool::Circle);
  }

  void aColourBoxPressOpensTheChooser() {
    QTemporaryDir dir;
    OpenModel(dir);
    QString caption;
    WhenModal([&](QWidget* d) {
      caption = d->windowTitle();
      static_cast<QDialog*>(d)->reject();
    });
    Press(Form("RightColorBox"));
    QTRY_COMPARE(caption, QString("Choose Colour"));
    QVERIFY(Palette()->SelectRightColor);
  }

  void theDialogsCanBeCompletedFromTheKeyboard() {
    // New: the three sizes in tab order, Enter for the default button.
    WhenModal([](QWidget*) {
      for (const char* size : {"4", "3", "2"}) {
        QTest::keyClicks(QApplication::focusWidget(), size);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    Trigger("New1");
    QCOMPARE(int(Model().SizeX), 4);
    QCOMPARE(int(Model().SizeY), 3);
    QCOMPARE(int(Model().SizeZ), 2);

    // The palette grid: it has the focus, the arrows move the frame, Enter is OK.
    QString described;
    WhenModal([&](QWidget*) {
      QWidget* grid = Palette()->PaintBox1;
      QCOMPARE(QApplication::focusWidget(), grid);
      QTest::keyClick(grid, Qt::Key_Left);
      QTest::keyClick(grid, Qt::Key_Down);
      QTest::keyClick(grid, Qt::Key_Down);
      described = Description(grid);
      QTest::keyClick(grid, Qt::Key_Return);
    });
    Press(Form("LeftColorBox"));
    QTRY_COMPARE(described, QString("Palette Index: 46"));
    QCOMPARE(int(Doc().LeftColor()), 46);
    QCOMPARE(Description(Form("LeftColorBox")), QString("Index 46"));

    // Editing: Space opens the colour chooser for the framed entry; Escape leaves both.
    bool chooserOpened = false;
    WhenModal([&](QWidget*) {
      WhenModal([&](QWidget* chooser) {
        chooserOpened = chooser == static_cast<QWidget*>(Palette()->PalEditDialog);
        static_cast<QDialog*>(chooser)->reject();
      });
      QTest::keyClick(Palette()->PaintBox1, Qt::Key_Space);
      QTest::keyClick(Palette()->PaintBox1, Qt::Key_Escape);
    });
    Trigger("EditPal1");
    QVERIFY(chooserOpened);
    QVERIFY(!Palette()->isVisible());
  }

  void theToolWindowsAreReachedAndClosedFromTheKeyboard() {
    TMainWindow* w = Main();
    QTemporaryDir dir;
    OpenModel(dir);
    w->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));
    QTest::keyClick(w, Qt::Key_F11);
    QTest::keyClick(w, Qt::Key_F12);
    QVERIFY(Stats()->isVisible() && ThreeD()->isVisible());

    // Alt+F6 goes round the main window and the visible tool windows.
    QTest::keyClick(w, Qt::Key_F6, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(Stats()));
    QTest::keyClick(Stats(), Qt::Key_F6, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(ThreeD()));
    // In the 3D view the focus lands on a rotation bar, and the keys turn the model.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ThreeD()->XRotBar));
    QTest::keyClick(ThreeD()->XRotBar, Qt::Key_PageDown);
    QCOMPARE(ThreeD()->XRotBar->value(), 32);
    QTest::keyClick(ThreeD()->XRotBar, Qt::Key_F6, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));

    // Escape closes a tool window; its own shortcut toggles it from inside as well.
    Stats()->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(Stats()));
    QTest::keyClick(Stats(), Qt::Key_Escape);
    QVERIFY(!Stats()->isVisible());
    QVERIFY(!Button("StatsButton")->isChecked());
    ThreeD()->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(ThreeD()));
    QTest::keyClick(ThreeD()->XRotBar, Qt::Key_F12);
    QVERIFY(!ThreeD()->isVisible());
    QVERIFY(!Action("View3D1")->isChecked());
  }

  void aToolBarToggleRunsItsCommandWhicheverActionPressesIt() {
    QTemporaryDir dir;
    OpenModel(dir);
    struct Toggle {
      const char* button;
      const char* item;
      std::function<bool()> on;  // the mode or the window
      bool radio;                // a radio button that is down stays down
    };
    const auto shown = [](const char* window) { return [window] { return Form(window)->isVisible(); }; };
    const Toggle toggles[] = {
        {"HideUnderBut", "HideUnderLay1", [] { return Slice()->UnderlayHidden(); }, false},
        {"NormalBut", "Normals1", [] { return Doc().NormalsMode(); }, true},
        {"ColorBut", "Colors2", [] { return !Doc().NormalsMode(); }, true},
        {"MatrixButton", "Matrix1", shown("TransDial"), false},
        {"SelectLayerButton", "SelectLayer1", shown("LayerWindow"), false},
        {"StatsButton", "Stats1", shown("StatBox"), false},
        {"View3DButton", "View3D1", shown("ThreeDWindow"), false}};
    for (const Toggle& t : toggles)
      for (const QString& action : {QAccessibleActionInterface::toggleAction(),
                                    QAccessibleActionInterface::pressAction()}) {
        const bool want = t.radio || !t.on();
        QAccessibleActionInterface* actions = Iface(Button(t.button))->actionInterface();
        QVERIFY(actions != nullptr && actions->actionNames().contains(action));
        actions->doAction(action);
        QTRY_COMPARE(t.on(), want);
        QCOMPARE(Action(t.item)->isChecked(), want);
        QCOMPARE(Button(t.button)->isChecked(), want);
      }
  }
};

KOBALTINE_TEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
