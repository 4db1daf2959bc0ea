// The four tool windows opened and closed every way a user can (menu item, tool-bar
// button, function key in the main window or in another tool window, the window's
// close box, Escape in the window), in a long fixed pseudo-random order across New and
// Open; the View menu's check marks and the buttons follow every step. Before a model
// exists their keys and buttons do nothing.

#include <random>

#include "dialogs/TNewBox.h"
#include "dialogs/TTransDial.h"
#include "e2e/E2eSupport.h"
#include "editor/TStatBox.h"

using namespace e2e;
using kobaltine_test::Disarm;
using kobaltine_test::StartForms;

namespace {

struct ToolWindow {
  const char* name;
  QAction* item;
  QToolButton* button;
  QWidget* window;
  Qt::Key key;
};

std::vector<ToolWindow> ToolWindows() {
  return {
      {"Transformation Matrix", Action("Matrix1"), Button("MatrixButton"), TransDial(),
       Qt::Key_F9},
      {"Layers", Action("SelectLayer1"), Button("SelectLayerButton"), LayerWindow(), Qt::Key_F10},
      {"Statistics", Action("Stats1"), Button("StatsButton"), StatBox(), Qt::Key_F11},
      {"3D View", Action("View3D1"), Button("View3DButton"), ThreeDWindow(), Qt::Key_F12}};
}

// Empty when every window, its check mark and its button agree with shown.
QString Mirrored(const std::vector<ToolWindow>& windows, const bool (&shown)[4]) {
  QStringList out;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const ToolWindow& t = windows[i];
    if (t.window->isVisible() != shown[i] || t.item->isChecked() != shown[i] ||
        t.button->isChecked() != shown[i])
      out << QString("%1: window %2, check %3, button %4, expected %5")
                 .arg(t.name)
                 .arg(t.window->isVisible())
                 .arg(t.item->isChecked())
                 .arg(t.button->isChecked())
                 .arg(shown[i]);
  }
  return out.join("; ");
}

}  // namespace

class ToolWindowsStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void deadBeforeAModelIsOpen() {
    StartForms();
    const auto windows = ToolWindows();
    const bool none[4] = {false, false, false, false};
    for (const ToolWindow& t : windows) {
      Shortcut(t.key);
      QTest::mouseClick(t.button, Qt::LeftButton);
      t.item->trigger();
    }
    for (int key : {Qt::Key_F5, Qt::Key_I, Qt::Key_U})
      Shortcut(key, key == Qt::Key_F5 ? Qt::NoModifier : Qt::ControlModifier);
    QCOMPARE(Mirrored(windows, none), QString());
    QCOMPARE(Slice()->Zoom(), 8);
    QVERIFY(!Slice()->ImageBox()->isVisible());
  }

  void everyWayInAnyOrderIsMirrored() {
    QTemporaryDir dir;
    const QString tank = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    StartForms(CommandLineFor(tank));
    QTRY_VERIFY(EditorModel().IsOpen());
    const auto windows = ToolWindows();
    bool shown[4] = {false, false, false, false};
    QCOMPARE(Mirrored(windows, shown), QString());

    std::minstd_rand order(20250611u);  // the engine's sequence is fixed by the standard
    const char* ways[6] = {"menu", "button", "key", "key in a tool window", "close box", "Escape"};
    for (int step = 0; step < 160; ++step) {
      if (step == 60) {
        // New keeps the tool windows as they are.
        const auto sizes = WhenDialog(NewBox(), [](QWidget*) {
          for (QLineEdit* box : {NewBox()->LengthNum, NewBox()->WidthNum, NewBox()->HeightNum}) {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, "7");
          }
          NewBox()->OKBtn->click();
        });
        Shortcut(Qt::Key_N, Qt::ControlModifier);
        Disarm(sizes);
        QCOMPARE(Main()->windowTitle(), QString("untitled - Kobaltine"));
        QCOMPARE(Mirrored(windows, shown), QString());
      }
      if (step == 110) {
        // So does opening a model.
        const auto chosen = ChooseFile(FileDialog("FileDial"), tank);
        QTest::mouseClick(Button("OpenButton"), Qt::LeftButton);
        Disarm(chosen);
        QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));
        QCOMPARE(Mirrored(windows, shown), QString());
      }
      const std::size_t which = order() % 4;
      int way = int(order() % 6);
      const ToolWindow& t = windows[which];
      if (way >= 4 && !shown[which]) way = int(order() % 4);  // only a shown window can be closed
      // The function keys also work while another tool window has the focus.
      QWidget* focused = nullptr;
      for (std::size_t i = 0; i < 4; ++i)
        if (shown[(which + 1 + i) % 4]) focused = windows[(which + 1 + i) % 4].window;
      if (way == 3 && focused == nullptr) way = 2;
      switch (way) {
        case 0:
          t.item->trigger();
          break;
        case 1:
          QTest::mouseClick(t.button, Qt::LeftButton);
          break;
        case 2:
          Shortcut(t.key);
          break;
        case 3:
          focused->activateWindow();
          QCoreApplication::processEvents();
          QTest::keyClick(focused, t.key);
          break;
        case 4:
          t.window->close();
          break;
        default:
          QTest::keyClick(t.window, Qt::Key_Escape);
          break;
      }
      shown[which] = !shown[which];
      const QString mismatch = Mirrored(windows, shown);
      QVERIFY2(mismatch.isEmpty(),
               qPrintable(QString("step %1, %2 by %3: ").arg(step).arg(t.name).arg(ways[way]) +
                          mismatch));
    }
    // A window shown again shows the model of now: the 3D view renders on showing.
    if (!shown[3]) Shortcut(Qt::Key_F12);
    QVERIFY(ThreeDWindow()->isVisible());
    QCOMPARE(CheckTopView(EditorModel()), QString());
  }
};

KOBALTINE_TEST_MAIN(ToolWindowsStory)
#include "ToolWindowsTest.moc"
