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
  MainWindow->LoadVoxelFile(path.toStdString());
  QCoreApplication::processEvents();
  if (!MainWindow->Model.IsOpen()) qFatal("the test model did not load");
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { StartForms(); }

  void everyControlHasASpokenName() {
    QTemporaryDir dir;
    OpenModel(dir);
    TMainWindow* w = MainWindow;
    for (QToolButton* b : w->Panel1->findChildren<QToolButton*>()) {
      QCOMPARE(Name(b), b->toolTip());
      QCOMPARE(Iface(b)->role(), b->isCheckable() ? QAccessible::CheckBox : QAccessible::Button);
    }
    QCOMPARE(Name(w->ImageBox), QString("Slice view"));
    QCOMPARE(Iface(w->ImageBox)->role(), QAccessible::Canvas);
    QCOMPARE(Name(ThreeDWindow->PaintBox1), QString("3D view"));
    QCOMPARE(Name(w->WordBox), QString("Model name"));
    QCOMPARE(SpokenText(w->WordBox), QString("TANK"));

    // The colour boxes are buttons that tell the drawing value they hold, after each render.
    QCOMPARE(Name(w->LeftColorBox), QString("Left colour"));
    QCOMPARE(Name(w->RightColorBox), QString("Right colour"));
    QCOMPARE(Iface(w->LeftColorBox)->role(), QAccessible::Button);
    QCOMPARE(Description(w->LeftColorBox), QString("Index 15"));
    QCOMPARE(Description(w->RightColorBox), QString("Index 0"));
    w->View.LeftColor = 37;
    w->Refresh1Click();
    QCOMPARE(Description(w->LeftColorBox), QString("Index 37"));

    const char* tools[] = {"Freehand pen", "Filled rectangle", "Circle", "Flood fill",
                           "Cube",         "Sphere",           "Fill"};
    for (std::size_t i = 0; i < 7; ++i) {
      QCOMPARE(Name(w->ToolSlots[i].Active), QString(tools[i]));
      QCOMPARE(Iface(w->ToolSlots[i].Active)->role(), QAccessible::Button);
    }
    QCOMPARE(Iface(w->ToolSlots[0].Select)->role(), QAccessible::Graphic);
    QCOMPARE(Description(w->ToolSlots[0].Select), QString("Freehand pen"));

    // Value labels: the caption is the name, the value is the text.
    w->Model.SetTailerFloat(TailerXOffset, -2.5f);
    TransDial->ShowTailerValues();
    const QList<QPair<QLabel*, const char*>> values = {
        {TransDial->Tran5, "X Offset"},   {TransDial->Tran9, "Y Offset"},
        {TransDial->Tran13, "Z Offset"},  {TransDial->Tran14, "X Minimum"},
        {TransDial->Tran15, "Y Minimum"}, {TransDial->Tran16, "Z Minimum"},
        {TransDial->Tran17, "X Maximum"}, {TransDial->Tran18, "Y Maximum"},
        {TransDial->Tran19, "Z Maximum"}};
    for (const auto& [label, caption] : values) {
      QCOMPARE(Name(label), QString(caption));
      QCOMPARE(SpokenText(label), label->text());
    }
    QCOMPARE(SpokenText(TransDial->Tran5), QString("-2.5"));
    QCOMPARE(Name(TransDial->Change5), QString("Change X Offset"));

    w->VoxelReadout(2, 3, 1);
    QCOMPARE(Name(StatBox->RedText), QString("Red"));
    QCOMPARE(Name(StatBox->XText), QString("X position"));
    QCOMPARE(SpokenText(StatBox->XText), QString("X: 2"));
    QCOMPARE(SpokenText(StatBox->ZText), QString("Z: 1"));
    // Labels without a name of their own keep the toolkit's reading: the text is the name.
    QCOMPARE(Name(TransDial->Label1), QString("X Offset:"));
    QCOMPARE(Iface(TransDial->Bevel1)->role(), QAccessible::Separator);
  }

  void statesFollowTheWindow() {
    TMainWindow* w = MainWindow;
    // No model: the View and Colours menus are disabled, and so is every item in them,
    // whatever its own state; the menu titles say so too.
    for (QAction* a :
         {w->Refresh1, w->Colors2, w->ZoomIn1, w->HideUnderLay1, w->LoadPal1, w->EditPal1})
      QVERIFY2(State(a).disabled, qPrintable(a->objectName()));
    QVERIFY(State(w->View1->menuAction()).disabled);
    QVERIFY(State(w->Zoom1->menuAction()).disabled);
    QVERIFY(!State(w->Open1).disabled);
    QVERIFY(!State(w->About1).disabled);
    QCOMPARE(Name(w->SaveAs1), QString("Save As..."));
    QCOMPARE(Iface(w->N3)->role(), QAccessible::Separator);
    // Pressing an item of a disabled menu does nothing.
    Press(w->ZoomIn1);
    QCoreApplication::processEvents();
    QCOMPARE(w->View.Zoom, 8);

    QTemporaryDir dir;
    OpenModel(dir);
    QVERIFY(!State(w->Refresh1).disabled);
    QVERIFY(!State(w->ZoomIn1).disabled);
    QVERIFY(State(w->Undo1).disabled);  // its own state still counts
    QVERIFY(State(w->SaveButton).disabled);
    QVERIFY(State(w->Save1).disabled);
    QVERIFY(!State(w->SaveAsButton).disabled);
    QVERIFY(State(w->ColorBut).checked && !State(w->NormalBut).checked);
    QVERIFY(State(w->Colors2).checked && State(w->Colors2).checkable);

    w->Normals1Click();
    QVERIFY(!State(w->ColorBut).checked && State(w->NormalBut).checked);
    QVERIFY(!State(w->Colors2).checked && State(w->Normals1).checked);

    // A menu command pressed through its item, as a screen reader does.
    Press(w->Stats1);
    QTRY_VERIFY(StatBox->isVisible());
    QVERIFY(State(w->StatsButton).checked);
    QVERIFY(State(w->Stats1).checked);
    QTest::keyClick(StatBox, Qt::Key_Escape);
    QVERIFY(!State(w->StatsButton).checked);
    QVERIFY(!State(w->Stats1).checked);

    ChangeOneCell(0, 0, 0, std::uint8_t(w->Model.Colours.at(0, 0, 0) + 1));
    QVERIFY(!State(w->SaveButton).disabled && !State(w->Save1).disabled);
  }

  void aToolPictureIsAButtonThatSelectsItsTool() {
    TMainWindow* w = MainWindow;
    // A tool that is not offered (its picture is hidden until a model opens) cannot be
    // pressed.
    Press(w->Slot(DrawTool::Circle).Active);
    QCOMPARE(w->CurrentTool, DrawTool::Freehand);
    QTemporaryDir dir;
    OpenModel(dir);
    TToolImage* freehand = w->Slot(DrawTool::Freehand).Active;
    TToolImage* square = w->Slot(DrawTool::Square).Active;
    QVERIFY(State(freehand).checkable && State(freehand).checked);
    QVERIFY(!State(square).checked);

    Press(square);
    QCOMPARE(w->CurrentTool, DrawTool::Square);
    QVERIFY(State(square).checked);
    QVERIFY(!State(freehand).checked);
    QVERIFY(w->Slot(DrawTool::Square).Select->isVisible());

    Press(w->Slot(DrawTool::Circle).Active);
    QCOMPARE(w->CurrentTool, DrawTool::Circle);
  }

  void aColourBoxPressOpensTheChooser() {
    QTemporaryDir dir;
    OpenModel(dir);
    QString caption;
    WhenModal([&](QWidget* d) {
      caption = d->windowTitle();
      static_cast<QDialog*>(d)->reject();
    });
    Press(MainWindow->RightColorBox);
    QTRY_COMPARE(caption, QString("Choose Colour"));
    QVERIFY(PaletteDialog->SelectRightColor);
  }

  void theDialogsCanBeCompletedFromTheKeyboard() {
    TMainWindow* w = MainWindow;
    // New: the three sizes in tab order, Enter for the default button.
    WhenModal([](QWidget*) {
      for (const char* size : {"4", "3", "2"}) {
        QTest::keyClicks(QApplication::focusWidget(), size);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    w->New1Click();
    QCOMPARE(int(w->Model.SizeX), 4);
    QCOMPARE(int(w->Model.SizeY), 3);
    QCOMPARE(int(w->Model.SizeZ), 2);

    // The palette grid: it has the focus, the arrows move the frame, Enter is OK.
    QString described;
    WhenModal([&](QWidget*) {
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(PaletteDialog->PaintBox1));
      QTest::keyClick(PaletteDialog->PaintBox1, Qt::Key_Left);
      QTest::keyClick(PaletteDialog->PaintBox1, Qt::Key_Down);
      QTest::keyClick(PaletteDialog->PaintBox1, Qt::Key_Down);
      described = Description(PaletteDialog->PaintBox1);
      QTest::keyClick(PaletteDialog->PaintBox1, Qt::Key_Return);
    });
    w->ChooseLeftColor();
    QCOMPARE(described, QString("Palette Index: 46"));
    QCOMPARE(int(w->View.LeftColor), 46);
    QCOMPARE(Description(w->LeftColorBox), QString("Index 46"));

    // Editing: Space opens the colour chooser for the framed entry; Escape leaves both.
    bool chooserOpened = false;
    WhenModal([&](QWidget*) {
      WhenModal([&](QWidget* chooser) {
        chooserOpened = chooser == static_cast<QWidget*>(PaletteDialog->PalEditDialog);
        static_cast<QDialog*>(chooser)->reject();
      });
      QTest::keyClick(PaletteDialog->PaintBox1, Qt::Key_Space);
      QTest::keyClick(PaletteDialog->PaintBox1, Qt::Key_Escape);
    });
    w->EditPal1Click();
    QVERIFY(chooserOpened);
    QVERIFY(!PaletteDialog->isVisible());
  }

  void theToolWindowsAreReachedAndClosedFromTheKeyboard() {
    TMainWindow* w = MainWindow;
    QTemporaryDir dir;
    OpenModel(dir);
    w->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));
    QTest::keyClick(w, Qt::Key_F11);
    QTest::keyClick(w, Qt::Key_F12);
    QVERIFY(StatBox->isVisible() && ThreeDWindow->isVisible());

    // Alt+F6 goes round the main window and the visible tool windows.
    QTest::keyClick(w, Qt::Key_F6, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(StatBox));
    QTest::keyClick(StatBox, Qt::Key_F6, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(ThreeDWindow));
    // In the 3D view the focus lands on a rotation bar, and the keys turn the model.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ThreeDWindow->XRotBar));
    QTest::keyClick(ThreeDWindow->XRotBar, Qt::Key_PageDown);
    QCOMPARE(ThreeDWindow->XRotBar->value(), 32);
    QTest::keyClick(ThreeDWindow->XRotBar, Qt::Key_F6, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));

    // Escape closes a tool window; its own shortcut toggles it from inside as well.
    StatBox->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(StatBox));
    QTest::keyClick(StatBox, Qt::Key_Escape);
    QVERIFY(!StatBox->isVisible());
    QVERIFY(!w->StatsButton->isChecked());
    ThreeDWindow->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(ThreeDWindow));
    QTest::keyClick(ThreeDWindow->XRotBar, Qt::Key_F12);
    QVERIFY(!ThreeDWindow->isVisible());
    QVERIFY(!w->View3D1->isChecked());
  }

  void aToolBarToggleRunsItsCommandWhicheverActionPressesIt() {
    TMainWindow* w = MainWindow;
    QTemporaryDir dir;
    OpenModel(dir);
    struct Toggle {
      QToolButton* button;
      QAction* item;
      std::function<bool()> on;  // the mode or the window
    };
    const Toggle toggles[] = {
        {w->HideUnderBut, w->HideUnderLay1, [w] { return w->View.UnderlayHidden; }},
        {w->NormalBut, w->Normals1, [w] { return w->View.NormalsMode; }},
        {w->ColorBut, w->Colors2, [w] { return !w->View.NormalsMode; }},
        {w->MatrixButton, w->Matrix1, [] { return TransDial->isVisible(); }},
        {w->SelectLayerButton, w->SelectLayer1, [] { return LayerWindow->isVisible(); }},
        {w->StatsButton, w->Stats1, [] { return StatBox->isVisible(); }},
        {w->View3DButton, w->View3D1, [] { return ThreeDWindow->isVisible(); }}};
    for (const Toggle& t : toggles)
      for (const QString& action : {QAccessibleActionInterface::toggleAction(),
                                    QAccessibleActionInterface::pressAction()}) {
        // A radio button that is down stays down.
        const bool want = t.button == w->NormalBut || t.button == w->ColorBut || !t.on();
        QAccessibleActionInterface* actions = Iface(t.button)->actionInterface();
        QVERIFY(actions != nullptr && actions->actionNames().contains(action));
        actions->doAction(action);
        QTRY_COMPARE(t.on(), want);
        QCOMPARE(t.item->isChecked(), want);
        QCOMPARE(t.button->isChecked(), want);
      }
  }
};

KOBALTINE_TEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
