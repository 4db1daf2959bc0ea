// Building the main window: the menus, the tool bar, the tool panel, the file dialogs
// and the windows it owns.

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "app/MainWindowParts.h"
#include "app/TAboutBox.h"
#include "dialogs/TNewBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "editor/TColorBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TSectionWindow.h"
#include "editor/TSliceView.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"
#include "editor/tools/ToolTable.h"
#include "model/FileFormats.h"
#include "palette/TPaletteDialog.h"
#include "resources/Artwork.h"
#include "view3d/TThreeDWindow.h"
#include "widgets/AccessibleLabels.h"
#include "widgets/FileDialogs.h"

using Parts = MainWindowParts;

namespace {
constexpr int kToolBarHeight = 28;
constexpr int kToolPanelWidth = 68;

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

void Parts::BuildWindows() {
  // The order of the first design; the message dialogs are made at each use.
  NewBox = new TNewBox(&W);
  PaletteDialog = new TPaletteDialog(Doc, &W);
  LayerWindow = new TLayerWindow(Doc, &W);
  TransDial = new TTransDial(Doc, &W);
  PropWindow = new TPropWindow(Doc, &W);
  AboutBox = new TAboutBox(&W);
  StatBox = new TStatBox(Doc, &W);
  ThreeDWindow = new TThreeDWindow(Doc, &W);
  SectionWindow = new TSectionWindow(Doc, &W);
}

void Parts::Bind(QAction* action, void (Parts::*handler)()) {
  QObject::connect(action, &QAction::triggered, &W, [this, action, handler] {
    for (QObject* o = action->parent(); o != nullptr; o = o->parent()) {
      auto* menu = qobject_cast<QMenu*>(o);
      if (menu == nullptr) break;
      if (!menu->menuAction()->isEnabled()) return;  // a disabled menu keeps its shortcuts dead
    }
    (this->*handler)();
  });
}

void Parts::BuildMenus() {
  QMenuBar* bar = W.menuBar();
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
  DisplayModeGroup = new QActionGroup(&W);
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

  Bind(New1, &Parts::New1Click);
  Bind(Undo1, &Parts::Undo1Click);
  Bind(Redo1, &Parts::Redo1Click);
  Bind(Cu1, &Parts::Cut1Click);
  Bind(Copy1, &Parts::Copy1Click);
  Bind(Paste1, &Parts::Paste1Click);
  Bind(Orientation1, &Parts::Orientation1Click);
  Bind(Open1, &Parts::Open1Click);
  Bind(Save1, &Parts::SaveButtonClick);
  Bind(SaveAs1, &Parts::SaveAsButtonClick);
  Bind(Import1, &Parts::Import1Click);
  Bind(Export1, &Parts::Export1Click);
  Bind(Properties1, &Parts::PropButtonClick);
  Bind(Exit1, &Parts::Exit1Click);
  Bind(Refresh1, &Parts::Refresh1Click);
  Bind(Matrix1, &Parts::Matrix1Click);
  Bind(SelectLayer1, &Parts::SelectLayer1Click);
  Bind(Stats1, &Parts::Stats1Click);
  Bind(View3D1, &Parts::View3D1Click);
  Bind(Sections1, &Parts::Sections1Click);
  Bind(Colors2, &Parts::Colors2Click);
  Bind(Normals1, &Parts::Normals1Click);
  Bind(ZoomIn1, &Parts::ZoomIn1Click);
  Bind(ZoomOut1, &Parts::ZoomOut1Click);
  Bind(NormSize1, &Parts::NormSize1Click);
  Bind(MaxZoom1, &Parts::MaxZoom1Click);
  Bind(HideUnderLay1, &Parts::HideUnderLay1Click);
  Bind(LoadPal1, &Parts::LoadPal1Click);
  Bind(SavePal1, &Parts::SavePal1Click);
  Bind(EditPal1, &Parts::EditPal1Click);
  Bind(About1, &Parts::About1Click);
  BuildNormalsCommands();
}

void Parts::BuildToolBar() {
  Panel1 = new QWidget(&W);
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

  DisplayButtonGroup = new QButtonGroup(&W);
  DisplayButtonGroup->setExclusive(true);
  DisplayButtonGroup->addButton(ColorBut, 1);
  DisplayButtonGroup->addButton(NormalBut, 2);
  ColorBut->setChecked(true);

  for (QToolButton* b : {SaveButton, SaveAsButton, PropButton, UndoButton, RedoButton, CutButton,
                         CopyButton, PasteButton, HideUnderBut, ColorBut, NormalBut, MatrixButton,
                         SelectLayerButton, StatsButton, View3DButton, SectionsButton})
    b->setEnabled(false);

  QObject::connect(NewButton, &QToolButton::clicked, &W, [this] { New1Click(); });
  QObject::connect(OpenButton, &QToolButton::clicked, &W, [this] { Open1Click(); });
  QObject::connect(SaveButton, &QToolButton::clicked, &W, [this] { SaveButtonClick(); });
  QObject::connect(SaveAsButton, &QToolButton::clicked, &W, [this] { SaveAsButtonClick(); });
  QObject::connect(UndoButton, &QToolButton::clicked, &W, [this] { Undo1Click(); });
  QObject::connect(RedoButton, &QToolButton::clicked, &W, [this] { Redo1Click(); });
  QObject::connect(CutButton, &QToolButton::clicked, &W, [this] { Cut1Click(); });
  QObject::connect(CopyButton, &QToolButton::clicked, &W, [this] { Copy1Click(); });
  QObject::connect(PasteButton, &QToolButton::clicked, &W, [this] { Paste1Click(); });
  QObject::connect(PropButton, &QToolButton::clicked, &W, [this] { PropButtonClick(); });
  QObject::connect(HideUnderBut, &QToolButton::clicked, &W, [this] { HideUnderLay1Click(); });
  QObject::connect(ColorBut, &QToolButton::clicked, &W, [this] { Colors2Click(); });
  QObject::connect(NormalBut, &QToolButton::clicked, &W, [this] { Normals1Click(); });
  QObject::connect(MatrixButton, &QToolButton::clicked, &W, [this] { Matrix1Click(); });
  QObject::connect(SelectLayerButton, &QToolButton::clicked, &W, [this] { SelectLayer1Click(); });
  QObject::connect(StatsButton, &QToolButton::clicked, &W, [this] { Stats1Click(); });
  QObject::connect(View3DButton, &QToolButton::clicked, &W, [this] { View3D1Click(); });
  QObject::connect(SectionsButton, &QToolButton::clicked, &W, [this] { Sections1Click(); });

  WordBox = new QLabel(Panel1);
  WordBox->setObjectName("WordBox");
  WordBox->setAlignment(Qt::AlignCenter);
  WordBox->setGeometry(WordBoxLeft, 2, 100, 26);
  NameValueLabel(WordBox, "Model name");  // read with the name itself as its text

  // The right box lies beneath the left one, like two stacked swatches.
  RightColorBox = new TColorBox(Panel1, "RightColorBox", "Right colour");
  RightColorBox->setGeometry(0, 8, 20, 20);
  RightColorBox->SetFill(PackRGB(0, 0, 0), Doc.RightColor());
  LeftColorBox = new TColorBox(Panel1, "LeftColorBox", "Left colour");
  LeftColorBox->setGeometry(0, 2, 18, 20);
  LeftColorBox->SetFill(PackRGB(255, 255, 255), Doc.LeftColor());
  LeftColorBox->raise();
  QObject::connect(LeftColorBox, &TColorBox::Pressed, &W, [this] { ChooseLeftColor(); });
  QObject::connect(RightColorBox, &TColorBox::Pressed, &W, [this] { ChooseRightColor(); });
}

void Parts::BuildToolPanel() {
  Panel2 = new QWidget(&W);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedWidth(kToolPanelWidth);
  Panel2->setAccessibleName("Drawing tools");
  Bevel2 = new QFrame(Panel2);
  Bevel2->setObjectName("Bevel2");
  Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Bevel2->setGeometry(0, 0, kToolPanelWidth, 2);

  // The panel comes from the tool table.
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
    QObject::connect(s.Active, &TToolImage::Clicked, &W, [this, tool = d.Tool] { SelectTool(tool); });
    s.Select = new TSelectFrame(Panel2);
    s.Select->setObjectName(QString(d.Name) + "Select");
    s.Select->setGeometry(place);
    s.Select->setAccessibleName("Selected tool");
    s.Select->setAccessibleDescription(d.Spoken);
    s.Select->hide();
    s.Active->SetSelectFrame(s.Select);
  }
}

TToolSlot& Parts::Slot(DrawTool tool) {
  for (TToolSlot& s : ToolSlots)
    if (s.Tool == tool) return s;
  return ToolSlots[0];
}

void Parts::BuildFileDialogs() {
  auto dialog = [this](const char* name, const QString& filter, bool save, const QString& suffix,
                       bool startInCurrentFolder) {
    auto* d = new QFileDialog(&W);
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

