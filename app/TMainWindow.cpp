#include "app/TMainWindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "app/CommandLine.h"
#include "app/MainWindowParts.h"
#include "editor/TImageBox.h"
#include "editor/TSliceView.h"
#include "widgets/TToolWindow.h"

MainWindowParts::MainWindowParts(QMainWindow& window, const std::string& commandLine)
    : W(window), CommandLine(commandLine) {
  const CommandLineFileResult found = FindCommandLineFile(CommandLine);
  CommandLineFilePending = found.Pending;
  CommandLineFile = found.File;
}

TMainWindow::TMainWindow(const std::string& commandLine)
    : QMainWindow(nullptr), parts_(std::make_unique<MainWindowParts>(*this, commandLine)) {
  setObjectName("MainWindow");
  setWindowTitle("Kobaltine");
  setAttribute(Qt::WA_QuitOnClose, true);
  resize(590, 418);

  MainWindowParts& p = *parts_;
  p.BuildMenus();
  p.BuildToolBar();
  p.BuildToolPanel();
  p.SliceView = new TSliceView(p.Doc, this);
  p.BuildFileDialogs();
  p.BuildWindows();

  auto* central = new QWidget(this);
  central->setObjectName("MainClient");
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(p.Panel1);
  auto* row = new QHBoxLayout();
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(p.Panel2);
  row->addWidget(p.SliceView, 1);
  column->addLayout(row, 1);
  setCentralWidget(central);

  // Alt+F6 goes round this window and the visible tool windows. Like the menu shortcuts,
  // it works while one of the tool windows is active too.
  auto* nextWindow = new QShortcut(QKeySequence("Alt+F6"), this);
  nextWindow->setObjectName("NextWindowShortcut");
  connect(nextWindow, &QShortcut::activated, this, [this] { ActivateNextWindow(this); });

  p.Observe();
  p.UpdateEditState();
  p.FixSize();
}

TMainWindow::~TMainWindow() = default;

Document& TMainWindow::document() {
  return parts_->Doc;
}

void TMainWindow::LoadVoxelFile(const std::string& path) {
  parts_->LoadVoxelFile(path);
}
void TMainWindow::ImportModelFile(const std::string& path) {
  parts_->ImportModelFile(path);
}
void TMainWindow::ExportModelFile(const std::string& path) {
  parts_->ExportModelFile(path);
}
void TMainWindow::ReadPaletteFile(const std::string& path) {
  parts_->ReadPaletteFile(path);
}
void TMainWindow::WritePaletteFile(const std::string& path) {
  parts_->WritePaletteFile(path);
}

// ---- Events ----

void TMainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) parts_->FormActivate();
}

void TMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A desktop may never activate a new window (no window manager, focus-stealing
  // prevention): the command-line file also loads once the shown window is idle.
  if (parts_->CommandLineFilePending)
    QTimer::singleShot(0, this, [this] { parts_->FormActivate(); });
}

void TMainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  parts_->FixSize();
}

void TMainWindow::mouseReleaseEvent(QMouseEvent* event) {
  TSliceView* view = parts_->SliceView;
  const QPoint p = view->ImageBox()->mapFrom(this, event->position().toPoint());
  view->FormMouseUp(event->button(), p.x(), p.y());
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  if (!parts_->ConfirmDiscard()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}
