// The main window following the document: the command states, the caption, the name and
// the colour boxes, the tool-window toggles, and the commands that only pass a choice on
// to the document or to one of the windows.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <algorithm>

#include "app/MainWindowParts.h"
#include "app/TAboutBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "editor/TColorBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TSectionWindow.h"
#include "editor/TSliceView.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"
#include "editor/tools/ToolTable.h"
#include "view3d/TThreeDWindow.h"

using Parts = MainWindowParts;

void Parts::Observe() {
  QObject::connect(&Doc, &Document::replaced, &W, [this] {
    DocumentOpenState();
    UpdateCaption();
    ShowName();
  });
  QObject::connect(&Doc, &Document::editedSectionChanged, &W, [this] { ShowName(); });
  QObject::connect(&Doc, &Document::changed, &W, [this](const ChangeSet& changes) {
    if (changes.Has(ChangedName) || changes.Has(ChangedSections)) ShowName();
  });
  QObject::connect(&Doc, &Document::fileChanged, &W, [this] { UpdateCaption(); });
  QObject::connect(&Doc, &Document::historyChanged, &W, [this] { UpdateEditState(); });
  QObject::connect(&Doc, &Document::drawingValueChanged, &W, [this] { ShowDrawingValues(); });

  QObject::connect(SliceView, &TSliceView::rendered, &W, [this] { ShowDrawingValues(); });
  QObject::connect(SliceView, &TSliceView::zoomChanged, &W, [this](int z) { SetZoomItems(z); });
  QObject::connect(SliceView, &TSliceView::clipboardChanged, &W, [this] { UpdateEditState(); });
  QObject::connect(SliceView, &TSliceView::cellUnderPointer, StatBox, &TStatBox::VoxelReadout);
  QObject::connect(LeftColorBox, &TColorBox::PointerMoved, StatBox,
                   [this] { StatBox->ColourBoxReadout(false); });
  QObject::connect(RightColorBox, &TColorBox::PointerMoved, StatBox,
                   [this] { StatBox->ColourBoxReadout(true); });
  QObject::connect(SectionWindow, &TSectionWindow::addRequested, &W, [this] { AddSectionClick(); });

  // Closing a tool window in any way unchecks its item and raises its button.
  auto follow = [this](TToolWindow* window, QAction* item, QToolButton* button) {
    QObject::connect(window, &TToolWindow::closed, &W, [item, button] {
      item->setChecked(false);
      button->setChecked(false);
    });
  };
  follow(TransDial, Matrix1, MatrixButton);
  follow(LayerWindow, SelectLayer1, SelectLayerButton);
  follow(StatBox, Stats1, StatsButton);
  follow(ThreeDWindow, View3D1, View3DButton);
  follow(SectionWindow, Sections1, SectionsButton);
}

// ---- Document rules ----

void Parts::DocumentOpenState() {
  View1->menuAction()->setEnabled(true);
  Edit1->menuAction()->setEnabled(true);
  Colors1->menuAction()->setEnabled(true);
  for (QAction* a : {SaveAs1, Export1, Properties1, Matrix1, SelectLayer1, Stats1, View3D1,
                     Sections1, Orientation1, CalcNormals1})
    a->setEnabled(true);
  for (QToolButton* b : {SaveAsButton, PropButton, MatrixButton, SelectLayerButton, StatsButton,
                         View3DButton, SectionsButton, HideUnderBut, ColorBut, NormalBut})
    b->setEnabled(true);
  for (const ToolInfo& t : ToolTable())
    if (t.Make != nullptr) Slot(t.Tool).Active->show();
  if (ToolFramePending) {
    Slot(DrawTool::Freehand).Select->show();
    ToolFramePending = false;
  }
  UpdateEditState();
}

void Parts::UpdateEditState() {
  const EditStep* undo = Doc.NextUndo();
  const EditStep* redo = Doc.NextRedo();
  auto show = [](QAction* item, QToolButton* button, const char* verb, const EditStep* step,
                 bool enabled) {
    const QString tip =
        step ? QString("%1 %2").arg(verb, QString::fromStdString(step->Label())) : QString(verb);
    item->setEnabled(enabled);
    button->setEnabled(enabled);
    button->setToolTip(tip);
    button->setAccessibleDescription(tip);
  };
  show(Undo1, UndoButton, "Undo", undo, Doc.CanUndo());
  show(Redo1, RedoButton, "Redo", redo, Doc.CanRedo());
  const bool open = Doc.IsOpen();
  const bool save = open && !Doc.Untitled() && Doc.IsModified();
  Save1->setEnabled(save);
  SaveButton->setEnabled(save);
  for (QAction* a : {Cu1, Copy1}) a->setEnabled(open);
  for (QToolButton* b : {CutButton, CopyButton}) b->setEnabled(open);
  const bool paste = open && SliceView->ClipboardHasLayer();
  Paste1->setEnabled(paste);
  PasteButton->setEnabled(paste);
}

void Parts::UpdateCaption() {
  if (!Doc.IsOpen())
    W.setWindowTitle("Kobaltine");
  else if (Doc.Untitled())
    W.setWindowTitle("untitled - Kobaltine");
  else
    W.setWindowTitle(QString::fromStdString(Doc.FileTitle()) + " - Kobaltine");
}

void Parts::ShowName() {
  WordBox->setText(QString::fromLatin1(NameText(Doc.Model().Name).c_str()));
}

void Parts::ShowDrawingValues() {
  LeftColorBox->SetFill(SliceView->DrawingValueColour(Doc.LeftColor()), Doc.LeftColor());
  RightColorBox->SetFill(SliceView->DrawingValueColour(Doc.RightColor()), Doc.RightColor());
}

void Parts::FixSize() {
  const int w = W.width();
  WordBox->setGeometry(WordBoxLeft, 2, w - WordBoxLeft - 26, 26);
  LeftColorBox->move(w - 26, 2);
  RightColorBox->move(w - 20, 8);
}

void Parts::FormActivate() {
  if (!CommandLineFilePending) return;
  // Cleared first: an activation while the load shows its message must not load again.
  CommandLineFilePending = false;
  LoadVoxelFile(CommandLineFile);
}

// ---- Tool windows ----

void Parts::ToolWindowToggle(QAction* item, QToolButton* button, QWidget* window) {
  // The window's visibility is the record: a click has already flipped the item's or the
  // button's own state, and both are set from the window below.
  if (window->isVisible()) {
    window->close();  // closed() unchecks the item and raises the button
  } else {
    window->show();
    window->raise();
  }
  item->setChecked(window->isVisible());
  button->setChecked(window->isVisible());
}

void Parts::Matrix1Click() {
  ToolWindowToggle(Matrix1, MatrixButton, TransDial);
}
void Parts::SelectLayer1Click() {
  ToolWindowToggle(SelectLayer1, SelectLayerButton, LayerWindow);
}
void Parts::Stats1Click() {
  ToolWindowToggle(Stats1, StatsButton, StatBox);
}
void Parts::View3D1Click() {
  ToolWindowToggle(View3D1, View3DButton, ThreeDWindow);
}
void Parts::Sections1Click() {
  ToolWindowToggle(Sections1, SectionsButton, SectionWindow);
}

void Parts::PropButtonClick() {
  PropWindow->exec();
}

void Parts::About1Click() {
  AboutBox->exec();
}

void Parts::Exit1Click() {
  W.close();  // closeEvent asks about unsaved changes first
}

// ---- Edit menu ----

void Parts::Undo1Click() {
  Doc.Undo();
}
void Parts::Redo1Click() {
  Doc.Redo();
}
void Parts::Cut1Click() {
  SliceView->Cut();
}
void Parts::Copy1Click() {
  SliceView->Copy();
}
void Parts::Paste1Click() {
  SliceView->Paste();
}

// ---- Slice view ----

void Parts::Refresh1Click() {
  SliceView->Refresh();
  ThreeDWindow->RefreshIfShown();
}

void Parts::SetZoomItems(int zoom) {
  // ZoomIn1 and MaxZoom1 exactly when Zoom < 16; ZoomOut1 and NormSize1 when Zoom > 1.
  ZoomIn1->setEnabled(zoom < 16);
  MaxZoom1->setEnabled(zoom < 16);
  ZoomOut1->setEnabled(zoom > 1);
  NormSize1->setEnabled(zoom > 1);
}

void Parts::ZoomIn1Click() {
  SliceView->SetZoom(SliceView->Zoom() + 1);
}
void Parts::ZoomOut1Click() {
  SliceView->SetZoom(SliceView->Zoom() - 1);
}
void Parts::NormSize1Click() {
  SliceView->SetZoom(1);
}
void Parts::MaxZoom1Click() {
  SliceView->SetZoom(16);
}

void Parts::Colors2Click() {
  // The menu's radio group has already moved its check; the document's mode is the record.
  Colors2->setChecked(true);
  ColorBut->setChecked(true);
  Normals1->setChecked(false);
  DirectionColours1->setEnabled(false);
  Doc.SetNormalsMode(false);
}

void Parts::Normals1Click() {
  Normals1->setChecked(true);
  NormalBut->setChecked(true);
  Colors2->setChecked(false);
  DirectionColours1->setEnabled(true);
  Doc.SetNormalsMode(true);
}

void Parts::HideUnderLay1Click() {
  const bool hidden = !SliceView->UnderlayHidden();
  HideUnderLay1->setChecked(hidden);
  HideUnderBut->setChecked(hidden);
  SliceView->SetUnderlayHidden(hidden);
}

void Parts::SelectTool(DrawTool tool) {
  for (TToolSlot& s : ToolSlots) s.Select->setVisible(s.Tool == tool);
  SliceView->SelectTool(tool);
}
