#pragma once
// Shared set-up of the window tests: the application object and the main window made as
// main() makes it (with every window it owns), ways to reach its document, windows,
// menu items and buttons by their names, and a way to act inside modal dialogs.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QPointer>
#include <QTimer>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractButton>
#include <QAction>
#include <QToolButton>
#include <memory>
#include <functional>
#include <string>

#include "app/KobaltineApplication.h"
#include "app/TMainWindow.h"
#include "document/Document.h"
#include "editor/TSliceView.h"
#include "model/CellPatch.h"
#include "widgets/MessageDialogs.h"

namespace kobaltine_test {

// Owner of the armed modal actions; replaced at every StartForms so that an action
// armed by one test never fires in the next.
inline QObject*& PendingActions() {
  static QObject* owner = new QObject();
  return owner;
}

inline std::unique_ptr<TMainWindow>& MainHolder() {
  static std::unique_ptr<TMainWindow> window;
  return window;
}

// The main window StartForms made, and what it owns.
inline TMainWindow* Main() {
  return MainHolder().get();
}
inline Document& Doc() {
  return Main()->document();
}
inline const TVoxelModel& Model() {
  return Doc().Model();
}
// For a test that sets cells or values up directly, as no user can; it refreshes what
// shows them itself (Trigger("Refresh1")).
inline TVoxelModel& DraftModel() {
  return Doc().DraftModel();
}
// A window or control of the main window by its name: Form<TLayerWindow>("LayerWindow").
template <typename T = QWidget>
T* Form(const char* name) {
  T* found = Main()->findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no %s in the main window", name);
  return found;
}
inline QAction* Action(const char* name) {
  return Form<QAction>(name);
}
inline QToolButton* Button(const char* name) {
  return Form<QToolButton>(name);
}
// Chooses a menu item as a user would: nothing happens while it or its menu is disabled.
inline void Trigger(const char* name) {
  Action(name)->trigger();
}
// Save is offered in the File menu and on the tool bar alike.
inline bool SaveEnabled() {
  return Action("Save1")->isEnabled() && Button("SaveButton")->isEnabled();
}
inline bool SaveDisabled() {
  return !Action("Save1")->isEnabled() && !Button("SaveButton")->isEnabled();
}
inline TSliceView* Slice() {
  return Form<TSliceView>("MainView");
}

// Makes the main window afresh (destroying the earlier one) and shows it.
// commandLine is the process command line as one text, e.g. "\"kobaltine\" /tmp/a.vxl".
inline void StartForms(const std::string& commandLine = "\"kobaltine\"", bool show = true) {
  delete PendingActions();
  PendingActions() = new QObject();
  MainHolder().reset();
  MainHolder() = std::make_unique<TMainWindow>(commandLine);
  if (show) {
    Main()->show();
    Main()->activateWindow();
    (void)QTest::qWaitForWindowExposed(Main());
    QCoreApplication::processEvents();
  }
}

// The message dialog that is open now, if it is the one of that name ("SingleButDial").
inline QDialog* OpenDialog(const char* name) {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr && modal->objectName() == QLatin1String(name)
             ? qobject_cast<QDialog*>(modal)
             : nullptr;
}

// Runs action on the next modal dialog that opens (polling up to timeoutMs), e.g.
//   WhenModal([](QWidget* d) { ... static_cast<QDialog*>(d)->accept(); });
//   Trigger("New1");   // blocks in exec() until action closes the dialog
// The action runs once. If no modal dialog appears, it is dropped.
// When match is given, only a dialog for which it is true is taken.
inline QPointer<QTimer> WhenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000,
                                  std::function<bool(QWidget*)> match = {}) {
  auto* timer = new QTimer(PendingActions());
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, clock, action, match, timeoutMs]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->isVisible() && (!match || match(modal))) {
      timer->stop();
      timer->deleteLater();
      action(modal);
      return;
    }
    if (clock->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
  return timer;
}

// Drops an armed action that has not run (for calls that may show no dialog).
inline void Disarm(const QPointer<QTimer>& armed) {
  if (!armed.isNull()) armed->deleteLater();
  if (!armed.isNull()) armed->stop();
}

// Accepts the next one-button message dialog and reports its text through *text.
inline QPointer<QTimer> ExpectMessage(QString* text) {
  return WhenModal([text](QWidget* d) {
    auto* label = d->findChild<QLabel*>("Text");
    if (text != nullptr && label != nullptr) *text = label->text();
    auto* button = d->findChild<QAbstractButton*>("Button1");
    if (button != nullptr)
      button->click();
    else
      static_cast<QDialog*>(d)->reject();
  });
}

// Types a path into an open file dialog's name field and accepts it, as a user would.
// (selectFile() races the dialog's folder loading when the folder changes.)
inline void AcceptFileDialog(QWidget* dialog, const QString& path) {
  auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
  // A user types with the focus in the field, which drops the list's selection; without
  // it, stale list entries would be taken along with the typed name.
  if (field != nullptr) field->setFocus(Qt::OtherFocusReason);
  for (auto* list : dialog->findChildren<QAbstractItemView*>()) list->clearSelection();
  if (field != nullptr) field->setText(path);
  QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
}

// Changes one cell's colour through the history, as a tool does.
inline void ChangeOneCell(int x, int y, int z, std::uint8_t colour) {
  CellEdit edit(Doc().DraftModel(), CellBox{x, y, z, x, y, z}, "Pen stroke");
  edit.Set(GridKind::Colours, x, y, z, colour);
  Doc().Record(edit.Finish());
}

// Answers the question about unsaved changes with its button 1 (Save), 2 (Discard) or
// 3 (Cancel), reporting the question through *text.
inline QPointer<QTimer> AnswerSaveQuestion(int button, QString* text = nullptr) {
  return WhenModal(
      [button, text](QWidget* d) {
        if (text != nullptr) *text = d->findChild<QLabel*>("Text")->text();
        d->findChild<QAbstractButton*>(QString("Button%1").arg(button))->click();
      },
      5000, [](QWidget* d) { return d->objectName() == "TripleButDial"; });
}

}  // namespace kobaltine_test

// main() for a window test: the application object the editor itself uses.
#define KOBALTINE_TEST_MAIN(TestClass)                  \
  int main(int argc, char** argv) {                     \
    qputenv("QT_QPA_PLATFORM", "offscreen");            \
    KobaltineApplication app(argc, argv);               \
    TestClass test;                                     \
    const int status = QTest::qExec(&test, argc, argv); \
    kobaltine_test::MainHolder().reset();               \
    return status;                                      \
  }
