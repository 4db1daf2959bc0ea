#include "app/TMainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include <QLineEdit>
#include <QSlider>

#include "app/Accessibility.h"
#include "app/CommandLine.h"
#include "app/FileDialogs.h"
#include "model/FileFormats.h"
#include "model/NewModel.h"
#include "app/Forms.h"
#include "app/TAboutBox.h"
#include "app/TToolWindow.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "editor/TColorBox.h"
#include "editor/TImageBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TSectionWindow.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"
#include "editor/tools/ToolTable.h"
#include "resources/Artwork.h"
#include "view3d/TThreeDWindow.h"

namespace {
constexpr int kToolBarHeight = 28;
constexpr int kToolPanelWidth = 68;
// Right of the Sections button, the last of the tool bar.
constexpr int kWordBoxLeft = 456;

QAction* MakeItem(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut = QKeySequence()) {
  auto* a = new QAction(caption, menu);
  a->setObjectName(name);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  menu->addAction(a);
  return a;
}

QAction* MakeSeparator(QMenu* menu, const char* name) {
  QAction* a = menu->addSeparator();
  a->setObjectName(name);
  return a;
}
}  // namespace

QColor ModelColour(std::int32_t colour) {
  return QColor(int(RedOf(colour)), int(GreenOf(colour)), int(BlueOf(colour)));
}

TMainWindow::TMainWindow(const std::string& commandLine) : QMainWindow(nullptr) {
  setObjectName("MainWindow");
  setWindowTitle("Kobaltine");
  setAttribute(Qt::WA_QuitOnClose, true);
  resize(590, 418);

  // Off-screen images and buffers: the grids, planes and 3D buffers are members,
  // allocated once with the window. The slice image starts empty.
  SliceBitmap.Resize(0, 0);

  BuildMenus();
  BuildToolBar();
  BuildToolPanel();
  BuildMainView();
  BuildFileDialogs();

  auto* central = new QWidget(this);
  central->setObjectName("MainClient");
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(Panel1);
  auto* row = new QHBoxLayout();
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(Panel2);
  row->addWidget(MainView, 1);
  column->addLayout(row, 1);
  setCentralWidget(central);

  LoadCursors();
  ImageBox->setCursor(Cursors[0]);  // "Pen"

  CommandLine = commandLine;
  const CommandLineFileResult found = FindCommandLineFile(CommandLine);
  CommandLineFilePending = found.Pending;
  CommandLineFile = found.File;

  // Alt+F6 goes round this window and the visible tool windows. Like the menu shortcuts,
  // it works while one of the tool windows is active too.
  auto* nextWindow = new QShortcut(QKeySequence("Alt+F6"), this);
  nextWindow->setObjectName("NextWindowShortcut");
  connect(nextWindow, &QShortcut::activated, this, [this] { ActivateNextWindow(this); });

  WatchClipboard();
  FixSize();
}

TMainWindow::~TMainWindow() {
  FormDestroy();
}

void TMainWindow::Bind(QAction* action, void (TMainWindow::*handler)()) {
  connect(action, &QAction::triggered, this, [this, action, handler] {
    for (QObject* o = action->parent(); o != nullptr; o = o->parent()) {
      auto* menu = qobject_cast<QMenu*>(o);
      if (menu == nullptr) break;
      if (!menu->menuAction()->isEnabled()) return;  // a disabled menu keeps its shortcuts dead
    }
    (this->*handler)();
  });
}

void TMainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");

  File1 = bar->addMenu("&File");
  File1->setObjectName("File1");
  New1 = MakeItem(File1, "New1", "&New...", QKeySequence("Ctrl+N"));
  Open1 = MakeItem(File1, "Open1", "&Open...", QKeySequence("Ctrl+O"));
  Save1 = MakeItem(File1, "Save1", "&Save", QKeySequence("Ctrl+S"));
  SaveAs1 = MakeItem(File1, "SaveAs1", "Save &As...");
  Import1 = MakeItem(File1, "Import1", "&Import...");
  Export1 = MakeItem(File1, "Export1", "&Export...");
  Export1->setEnabled(false);
  N3 = MakeSeparator(File1, "N3");
  Properties1 = MakeItem(File1, "Properties1", "&Properties...");
  N5 = MakeSeparator(File1, "N5");
  Exit1 = MakeItem(File1, "Exit1", "E&xit");
  Save1->setEnabled(false);
  SaveAs1->setEnabled(false);
  Properties1->setEnabled(false);

  Edit1 = bar->addMenu("&Edit");
  Edit1->setObjectName("Edit1");
  Undo1 = MakeItem(Edit1, "Undo1", "&Undo", QKeySequence("Ctrl+Z"));
  Redo1 = MakeItem(Edit1, "Redo1", "&Redo", QKeySequence("Ctrl+Y"));
  Redo1->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
  N1 = MakeSeparator(Edit1, "N1");
  Cu1 = MakeItem(Edit1, "Cu1", "Cu&t", QKeySequence("Shift+Del"));
  Cu1->setShortcuts({QKeySequence("Shift+Del"), QKeySequence("Ctrl+X")});
  Copy1 = MakeItem(Edit1, "Copy1", "&Copy", QKeySequence("Ctrl+Ins"));
  Copy1->setShortcuts({QKeySequence("Ctrl+Ins"), QKeySequence("Ctrl+C")});
  Paste1 = MakeItem(Edit1, "Paste1", "&Paste", QKeySequence("Shift+Ins"));
  Paste1->setShortcuts({QKeySequence("Shift+Ins"), QKeySequence("Ctrl+V")});
  for (QAction* a : {Undo1, Redo1, Cu1, Copy1, Paste1}) a->setEnabled(false);
  Edit1->menuAction()->setEnabled(false);

  View1 = bar->addMenu("&View");
  View1->setObjectName("View1");
  Orientation1 = MakeItem(View1, "Orientation1", "&Orientation...");
  Orientation1->setEnabled(false);
  Refresh1 = MakeItem(View1, "Refresh1", "&Refresh", QKeySequence("F5"));
  N6 = MakeSeparator(View1, "N6");
  Matrix1 = MakeItem(View1, "Matrix1", "Transformation &Matrix", QKeySequence("F9"));
  SelectLayer1 = MakeItem(View1, "SelectLayer1", "L&ayer Palette", QKeySequence("F10"));
  Stats1 = MakeItem(View1, "Stats1", "S&tatistics View", QKeySequence("F11"));
  View3D1 = MakeItem(View1, "View3D1", "&3D View", QKeySequence("F12"));
  Sections1 = MakeItem(View1, "Sections1", "S&ections", QKeySequence("F8"));
  for (QAction* a : {Matrix1, SelectLayer1, Stats1, View3D1, Sections1}) {
    a->setCheckable(true);
    a->setEnabled(false);
  }
  N2 = MakeSeparator(View1, "N2");
  Colors2 = MakeItem(View1, "Colors2", "&Colours");
  Normals1 = MakeItem(View1, "Normals1", "&Surface Normals");
  DisplayModeGroup = new QActionGroup(this);
  DisplayModeGroup->setExclusive(true);
  for (QAction* a : {Colors2, Normals1}) {
    a->setCheckable(true);
    DisplayModeGroup->addAction(a);
  }
  Colors2->setChecked(true);
  Zoom1 = View1->addMenu("&Zoom...");
  Zoom1->setObjectName("Zoom1");
  ZoomIn1 = MakeItem(Zoom1, "ZoomIn1", "Zoom &In", QKeySequence("Ctrl+I"));
  ZoomOut1 = MakeItem(Zoom1, "ZoomOut1", "Zoom &Out", QKeySequence("Ctrl+U"));
  NormSize1 = MakeItem(Zoom1, "NormSize1", "&1x Size");
  MaxZoom1 = MakeItem(Zoom1, "MaxZoom1", "&Maximum Zoom (16x)");
  N4 = MakeSeparator(View1, "N4");
  HideUnderLay1 = MakeItem(View1, "HideUnderLay1", "&Hide Underlay");
  HideUnderLay1->setCheckable(true);
  View1->menuAction()->setEnabled(false);

  Colors1 = bar->addMenu("&Colours");
  Colors1->setObjectName("Colors1");
  LoadPal1 = MakeItem(Colors1, "LoadPal1", "&Load Palette");
  SavePal1 = MakeItem(Colors1, "SavePal1", "&Save Palette");
  EditPal1 = MakeItem(Colors1, "EditPal1", "&Edit Palette");
  Colors1->menuAction()->setEnabled(false);

  Help1 = bar->addMenu("&Help");
  Help1->setObjectName("Help1");
  About1 = MakeItem(Help1, "About1", "&About");

  Bind(New1, &TMainWindow::New1Click);
  Bind(Undo1, &TMainWindow::Undo1Click);
  Bind(Redo1, &TMainWindow::Redo1Click);
  Bind(Cu1, &TMainWindow::Cut1Click);
  Bind(Copy1, &TMainWindow::Copy1Click);
  Bind(Paste1, &TMainWindow::Paste1Click);
  Bind(Orientation1, &TMainWindow::Orientation1Click);
  Bind(Open1, &TMainWindow::Open1Click);
  Bind(Save1, &TMainWindow::SaveButtonClick);
  Bind(SaveAs1, &TMainWindow::SaveAsButtonClick);
  Bind(Import1, &TMainWindow::Import1Click);
  Bind(Export1, &TMainWindow::Export1Click);
  Bind(Properties1, &TMainWindow::PropButtonClick);
  Bind(Exit1, &TMainWindow::Exit1Click);
  Bind(Refresh1, &TMainWindow::Refresh1Click);
  Bind(Matrix1, &TMainWindow::Matrix1Click);
  Bind(SelectLayer1, &TMainWindow::SelectLayer1Click);
  Bind(Stats1, &TMainWindow::Stats1Click);
  Bind(View3D1, &TMainWindow::View3D1Click);
  Bind(Sections1, &TMainWindow::Sections1Click);
  Bind(Colors2, &TMainWindow::Colors2Click);
  Bind(Normals1, &TMainWindow::Normals1Click);
  Bind(ZoomIn1, &TMainWindow::ZoomIn1Click);
  Bind(ZoomOut1, &TMainWindow::ZoomOut1Click);
  Bind(NormSize1, &TMainWindow::NormSize1Click);
  Bind(MaxZoom1, &TMainWindow::MaxZoom1Click);
  Bind(HideUnderLay1, &TMainWindow::HideUnderLay1Click);
  Bind(LoadPal1, &TMainWindow::LoadPal1Click);
  Bind(SavePal1, &TMainWindow::SavePal1Click);
  Bind(EditPal1, &TMainWindow::EditPal1Click);
  Bind(About1, &TMainWindow::About1Click);
  BuildNormalsCommands();
}

void TMainWindow::BuildToolBar() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFixedHeight(kToolBarHeight);
  Panel1->setAccessibleName("Tool bar");
  Bevel1 = new QFrame(Panel1);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Bevel1->setGeometry(0, 0, 4000, 2);

  auto button = [this](const char* name, int x, const QString& hint, const QString& icon,
                       bool checkable) {
    auto* b = new QToolButton(Panel1);
    b->setCheckable(checkable);  // first: the accessible interface, made early, depends on it
    b->setObjectName(name);
    b->setGeometry(x, 5, 23, 22);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(true);
    b->setIcon(ArtIcon(icon));
    b->setIconSize(QSize(16, 16));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  NewButton = button("NewButton", 2, "New", "new", false);
  OpenButton = button("OpenButton", 25, "Open", "open", false);
  SaveButton = button("SaveButton", 48, "Save", "save", false);
  SaveAsButton = button("SaveAsButton", 71, "Save As", "saveas", false);
  PropButton = button("PropButton", 94, "Properties", "properties", false);
  UndoButton = button("UndoButton", 125, "Undo", "undo", false);
  RedoButton = button("RedoButton", 148, "Redo", "redo", false);
  CutButton = button("CutButton", 171, "Cut", "cut", false);
  CopyButton = button("CopyButton", 194, "Copy", "copy", false);
  PasteButton = button("PasteButton", 217, "Paste", "paste", false);
  HideUnderBut = button("HideUnderBut", 248, "Hide Underlay", "hideunderlay", true);
  ColorBut = button("ColorBut", 279, "Colours", "colours", true);
  NormalBut = button("NormalBut", 302, "Surface Normals", "normals", true);
  MatrixButton = button("MatrixButton", 333, "Transformation Matrix", "matrix", true);
  SelectLayerButton = button("SelectLayerButton", 356, "Layer Palette", "layers", true);
  StatsButton = button("StatsButton", 379, "Statistics View", "statistics", true);
  View3DButton = button("View3DButton", 402, "3D View", "view3d", true);
  SectionsButton = button("SectionsButton", 425, "Sections", "sections", true);

  DisplayButtonGroup = new QButtonGroup(this);
  DisplayButtonGroup->setExclusive(true);
  DisplayButtonGroup->addButton(ColorBut, 1);
  DisplayButtonGroup->addButton(NormalBut, 2);
  ColorBut->setChecked(true);

  for (QToolButton* b : {SaveButton, SaveAsButton, PropButton, UndoButton, RedoButton, CutButton,
                         CopyButton, PasteButton, HideUnderBut, ColorBut, NormalBut, MatrixButton,
                         SelectLayerButton, StatsButton, View3DButton, SectionsButton})
    b->setEnabled(false);

  connect(NewButton, &QToolButton::clicked, this, &TMainWindow::New1Click);
  connect(OpenButton, &QToolButton::clicked, this, &TMainWindow::Open1Click);
  connect(SaveButton, &QToolButton::clicked, this, &TMainWindow::SaveButtonClick);
  connect(SaveAsButton, &QToolButton::clicked, this, &TMainWindow::SaveAsButtonClick);
  connect(UndoButton, &QToolButton::clicked, this, &TMainWindow::Undo1Click);
  connect(RedoButton, &QToolButton::clicked, this, &TMainWindow::Redo1Click);
  connect(CutButton, &QToolButton::clicked, this, &TMainWindow::Cut1Click);
  connect(CopyButton, &QToolButton::clicked, this, &TMainWindow::Copy1Click);
  connect(PasteButton, &QToolButton::clicked, this, &TMainWindow::Paste1Click);
  connect(PropButton, &QToolButton::clicked, this, &TMainWindow::PropButtonClick);
  connect(HideUnderBut, &QToolButton::clicked, this, &TMainWindow::HideUnderLay1Click);
  connect(ColorBut, &QToolButton::clicked, this, &TMainWindow::Colors2Click);
  connect(NormalBut, &QToolButton::clicked, this, &TMainWindow::Normals1Click);
  connect(MatrixButton, &QToolButton::clicked, this, &TMainWindow::Matrix1Click);
  connect(SelectLayerButton, &QToolButton::clicked, this, &TMainWindow::SelectLayer1Click);
  connect(StatsButton, &QToolButton::clicked, this, &TMainWindow::Stats1Click);
  connect(View3DButton, &QToolButton::clicked, this, &TMainWindow::View3D1Click);
  connect(SectionsButton, &QToolButton::clicked, this, &TMainWindow::Sections1Click);

  WordBox = new QLabel(Panel1);
  WordBox->setObjectName("WordBox");
  WordBox->setAlignment(Qt::AlignCenter);
  WordBox->setGeometry(kWordBoxLeft, 2, 100, 26);
  NameValueLabel(WordBox, "Model name");  // read with the name itself as its text

  // The right box lies beneath the left one, like two stacked swatches.
  RightColorBox = new TColorBox(Panel1, "RightColorBox", "Right colour");
  RightColorBox->setGeometry(0, 8, 20, 20);
  RightColorBox->SetFill(PackRGB(0, 0, 0), View.RightColor);
  LeftColorBox = new TColorBox(Panel1, "LeftColorBox", "Left colour");
  LeftColorBox->setGeometry(0, 2, 18, 20);
  LeftColorBox->SetFill(PackRGB(255, 255, 255), View.LeftColor);
  LeftColorBox->raise();
  connect(LeftColorBox, &TColorBox::Pressed, this, &TMainWindow::ChooseLeftColor);
  connect(RightColorBox, &TColorBox::Pressed, this, &TMainWindow::ChooseRightColor);
  connect(LeftColorBox, &TColorBox::PointerMoved, this, &TMainWindow::LeftColorBoxMouseMove);
  connect(RightColorBox, &TColorBox::PointerMoved, this, &TMainWindow::RightColorBoxMouseMove);
}

void TMainWindow::BuildToolPanel() {
  Panel2 = new QWidget(this);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedWidth(kToolPanelWidth);
  Panel2->setAccessibleName("Drawing tools");
  Bevel2 = new QFrame(Panel2);
  Bevel2->setObjectName("Bevel2");
  Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Bevel2->setGeometry(0, 0, kToolPanelWidth, 2);

  // The panel comes from the tool table; the select handlers are the window's own.
  auto selectHandler = [](DrawTool tool) -> void (TMainWindow::*)() {
    switch (tool) {
      case DrawTool::Sphere:
        return &TMainWindow::SelectSphere;
      case DrawTool::Cube:
        return &TMainWindow::SelectCube;
      case DrawTool::Circle:
        return &TMainWindow::SelectCircle;
      case DrawTool::Square:
        return &TMainWindow::SelectSquare;
      case DrawTool::Fill:
        return &TMainWindow::SelectFill;
      case DrawTool::Paint:
        return &TMainWindow::SelectPaint;
      case DrawTool::Freehand:
        break;
    }
    return &TMainWindow::SelectFreehand;
  };
  const auto table = ToolTable();
  for (std::size_t i = 0; i < ToolSlots.size() && i < table.size(); ++i) {
    const ToolInfo& d = table[i];
    TToolSlot& s = ToolSlots[i];
    s.Tool = d.Tool;
    const QRect place(2, d.Top, 64, 48);
    s.Inactive = new QLabel(Panel2);
    s.Inactive->setObjectName(QString(d.Name) + "RAButtonB");
    s.Inactive->setGeometry(place);
    s.Inactive->setPixmap(ToolImage(d.Art, false));
    s.Inactive->setAccessibleName(QString(d.Spoken) + " (unavailable)");
    s.Active = new TToolImage(Panel2, ToolImage(d.Art, true));
    s.Active->setObjectName(QString(d.Name) + "RAButton");
    s.Active->setGeometry(place);
    s.Active->setAccessibleName(d.Spoken);
    s.Active->hide();
    connect(s.Active, &TToolImage::Clicked, this, selectHandler(d.Tool));
    s.Select = new TSelectFrame(Panel2);
    s.Select->setObjectName(QString(d.Name) + "Select");
    s.Select->setGeometry(place);
    s.Select->setAccessibleName("Selected tool");
    s.Select->setAccessibleDescription(d.Spoken);
    s.Select->hide();
    s.Active->SetSelectFrame(s.Select);
  }
}

TToolSlot& TMainWindow::Slot(DrawTool tool) {
  for (TToolSlot& s : ToolSlots)
    if (s.Tool == tool) return s;
  return ToolSlots[0];
}

void TMainWindow::BuildMainView() {
  MainView = new QScrollArea(this);
  MainView->setObjectName("MainView");
  MainView->setWidgetResizable(false);
  MainView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  MainView->setBackgroundRole(QPalette::Dark);  // the application workspace colour
  MainView->setFrameShape(QFrame::NoFrame);
  ImageBox = new TImageBox(this);
  ImageBox->setObjectName("ImageBox");
  MainView->setWidget(ImageBox);
  ImageBox->hide();
}

void TMainWindow::BuildFileDialogs() {
  auto dialog = [this](const char* name, const QString& filter, bool save, const QString& suffix,
                       bool startInCurrentFolder) {
    auto* d = new QFileDialog(this);
    d->setObjectName(name);
    d->setOption(QFileDialog::DontUseNativeDialog, true);
    d->setNameFilter(filter);
    // Filters match case-insensitively, so tank.vxl is listed beside TANK.VXL.
    d->setFilter(d->filter() & ~QDir::CaseSensitive);
    if (save) {
      d->setAcceptMode(QFileDialog::AcceptSave);
      d->setFileMode(QFileDialog::AnyFile);
      d->setDefaultSuffix(suffix);
    } else {
      d->setAcceptMode(QFileDialog::AcceptOpen);
      d->setFileMode(QFileDialog::ExistingFile);
    }
    if (startInCurrentFolder) d->setDirectory(QDir::currentPath());
    CloseCompletionWithDialog(d);
    return d;
  };
  const QString vxl = FormatNamed("vxl")->Filter;
  const QString vox = FormatNamed("vox")->Filter;
  const QString pal = "JASC Palette (*.PAL)";
  FileDial = dialog("FileDial", vxl, false, QString(), true);
  SaveAsDial = dialog("SaveAsDial", vxl, true, "VXL", false);
  PalDial = dialog("PalDial", pal, false, QString(), true);
  PalSDial = dialog("PalSDial", pal, true, "PAL", false);
  ImportDial = dialog("ImportDial", vox, false, QString(), true);
  ExportDial = dialog("ExportDial", vox, true, "vox", false);
  // Export asks itself, once it knows the name it writes (see Export1Click).
  ExportDial->setOption(QFileDialog::DontConfirmOverwrite, true);
}

namespace {
// The cursors by their numbers 5 to 11.
constexpr const char* kCursorNames[7] = {"Pen",  "Dropper", "Fill",  "Sphere",
                                         "Cube", "Circle",  "Square"};
}  // namespace

void TMainWindow::LoadCursors() {
  for (std::size_t i = 0; i < 7; ++i) Cursors[i] = ArtCursor(kCursorNames[i]);
}

QCursor TMainWindow::CursorFor(DrawTool tool) const {
  const std::string wanted = ToolInfoOf(tool).Cursor;
  for (std::size_t i = 0; i < 7; ++i)
    if (wanted == kCursorNames[i]) return Cursors[i];
  return Cursors[0];
}

// ---- Events ----

void TMainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A desktop may never activate a new window (no window manager, focus-stealing
  // prevention): the command-line file also loads once the shown window is idle.
  if (CommandLineFilePending) QTimer::singleShot(0, this, &TMainWindow::FormActivate);
}

void TMainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FixSize();
}

void TMainWindow::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = ImageBox->mapFrom(this, event->position().toPoint());
  FormMouseUp(event->button(), p.x(), p.y());
}

void TMainWindow::FormActivate() {
  if (!CommandLineFilePending) return;
  // Cleared first: an activation while the load shows its message must not load again.
  CommandLineFilePending = false;
  LoadVoxelFile(CommandLineFile);
}

void TMainWindow::FixSize() {
  const int w = width();
  WordBox->setGeometry(kWordBoxLeft, 2, w - kWordBoxLeft - 26, 26);
  LeftColorBox->move(w - 26, 2);
  RightColorBox->move(w - 20, 8);
}

void TMainWindow::FormDestroy() {
  // The grids and buffers are members and go with the window; nothing else to release.
}

void TMainWindow::Exit1Click() {
  close();  // closeEvent asks about unsaved changes first
}

void TMainWindow::About1Click() {
  AboutBox->exec();
}

void TMainWindow::PropButtonClick() {
  PropWindow->exec();
}

// ---- Tool windows ----

void TMainWindow::ToolWindowToggle(QAction* item, QToolButton* button, QWidget* window) {
  // The window's visibility is the record: a click has already flipped the item's or the
  // button's own state, and both are set from the window below.
  if (window->isVisible()) {
    window->close();  // its FormClose unchecks the item and raises the button
  } else {
    window->show();
    window->raise();
  }
  item->setChecked(window->isVisible());
  button->setChecked(window->isVisible());
}

void TMainWindow::ToolWindowClosed(QAction* item, QToolButton* button) {
  item->setChecked(false);
  button->setChecked(false);
}

void TMainWindow::Matrix1Click() {
  ToolWindowToggle(Matrix1, MatrixButton, TransDial);
}
void TMainWindow::SelectLayer1Click() {
  ToolWindowToggle(SelectLayer1, SelectLayerButton, LayerWindow);
}
void TMainWindow::Stats1Click() {
  ToolWindowToggle(Stats1, StatsButton, StatBox);
}
void TMainWindow::View3D1Click() {
  ToolWindowToggle(View3D1, View3DButton, ThreeDWindow);
}
void TMainWindow::Sections1Click() {
  ToolWindowToggle(Sections1, SectionsButton, SectionWindow);
}

// ---- Document rules ----

void TMainWindow::DocumentOpenState() {
  View1->menuAction()->setEnabled(true);
  Edit1->menuAction()->setEnabled(true);
  Colors1->menuAction()->setEnabled(true);
  for (QAction* a : {SaveAs1, Export1, Properties1, Matrix1, SelectLayer1, Stats1, View3D1,
                     Sections1, Orientation1})
    a->setEnabled(true);
  CalcNormals1->setEnabled(true);
  for (QToolButton* b : {SaveAsButton, PropButton, MatrixButton, SelectLayerButton, StatsButton,
                         View3DButton, SectionsButton, HideUnderBut, ColorBut, NormalBut})
    b->setEnabled(true);
  DisableSave();
  for (const ToolInfo& t : ToolTable())
    if (t.Make != nullptr) Slot(t.Tool).Active->show();
  if (ToolFramePending) {
    Slot(DrawTool::Freehand).Select->show();
    ToolFramePending = false;
  }
  ImageBox->resize(SliceSize());
  ImageBox->show();
  SetLayerRange();
  ViewSpan = ComputeViewSpan(Model);
  Doc.Modified = false;
  // A drag cut short by a dialog never delivered its release; it must not go on
  // painting into the new model.
  AbandonDrag(false);
}

void TMainWindow::DisableSave() {
  Save1->setEnabled(false);
  SaveButton->setEnabled(false);
}

void TMainWindow::UpdateCaption() {
  if (!Model.IsOpen())
    setWindowTitle("Kobaltine");
  else if (Doc.Untitled)
    setWindowTitle("untitled - Kobaltine");
  else
    setWindowTitle(QString::fromStdString(Doc.FileTitle) + " - Kobaltine");
}

void TMainWindow::ShowName() {
  WordBox->setText(QString::fromLatin1(NameText(Model.Name).c_str()));
}

void TMainWindow::SetLayerRange() {
  LayerWindow->TrackBar1->blockSignals(true);
  LayerWindow->TrackBar1->setMaximum(std::max(Plane().Layers() - 1, 0));
  LayerWindow->TrackBar1->setValue(View.CurrentLayer);
  LayerWindow->TrackBar1->blockSignals(false);
  LayerWindow->LayerNum->setText(QString::number(View.CurrentLayer));
}
