// The edit history as the main window uses it: recording the steps the commands make,
// Undo and Redo, the Save rule that follows the history, and the question asked before
// a changed document is thrown away.

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/Forms.h"
#include "app/MessageDialogs.h"
#include "app/TMainWindow.h"
#include "dialogs/TTransDial.h"
#include "editor/TSectionWindow.h"
#include "palette/TPaletteDialog.h"

bool TMainWindow::RecordStep(std::unique_ptr<EditStep> step) {
  if (!step) {
    UpdateEditState();
    return false;
  }
  const ChangeSet changes = step->Changes();
  // Modified keeps its old meaning: an edit of the cells of a titled model.
  if (changes.Has(ChangedCells) && !Doc.Untitled) Doc.Modified = true;
  History.Record(std::move(step));
  UpdateEditState();
  // A step made is shown as a step made again: the same refresh as Redo.
  ShowChanges(changes);
  return true;
}

void TMainWindow::ResetHistory() {
  AbandonDrag(false);  // a drag cut short belongs to the document that is gone
  History.Clear();
  UpdateEditState();
}

void TMainWindow::Undo1Click() {
  // A drag still held (its release lost, or a shortcut pressed during it) is the newest
  // work: it becomes its step first, and that step is what Undo takes back.
  FinishDrag();
  if (const EditStep* step = History.Undo(Model)) ShowChanges(step->Changes());
  UpdateEditState();
}

void TMainWindow::Redo1Click() {
  FinishDrag();
  if (const EditStep* step = History.Redo(Model)) ShowChanges(step->Changes());
  UpdateEditState();
}

void TMainWindow::ShowChanges(const ChangeSet& changes) {
  // A step of another section, or of the list itself: the windows follow the section.
  // A move leaves the edited section as it was (no cells named): its layer stays on show.
  if (changes.Has(ChangedSections) || ShownSection != int(Model.EditedSection()))
    ShowEditedSection(changes.Has(ChangedSections) && !changes.Has(ChangedCells));
  if (changes.Has(ChangedCells) && !changes.Cells.Empty()) {
    // The user sees what was taken back: the layer it touched along the current
    // orientation's layer axis, unless it is on show.
    const PlaneMap plane = Plane();
    const auto [first, last] = plane.LayerRange(changes.Cells);
    const int top = std::min(last, plane.Layers() - 1);
    if (View.CurrentLayer < first || View.CurrentLayer > top) {
      View.CurrentLayer = std::max(top, 0);
      SetLayerRange();
    }
  }
  if (changes.Has(ChangedName)) {
    ShowName();
    SectionWindow->ShowSections();  // the list names every section
  }
  if (changes.Has(ChangedTailer)) TransDial->ShowTailerValues();
  // The normal version decides the direction colours of the slice view and the colour
  // boxes, the lighting of the 3D view and the palette dialog's sphere.
  if (changes.Has(ChangedNormalType) && PaletteDialog->isVisible())
    PaletteDialog->FollowNormalType();
  if (changes.Has(ChangedCells) || changes.Has(ChangedPalette) || changes.Has(ChangedNormalType))
    Refresh1Click();
  RepeatReadout();
}

void TMainWindow::UpdateEditState() {
  const bool open = Model.IsOpen();
  const EditStep* undo = open ? History.NextUndo() : nullptr;
  const EditStep* redo = open ? History.NextRedo() : nullptr;
  auto show = [](QAction* item, QToolButton* button, const char* verb, const EditStep* step,
                 bool enabled) {
    const QString tip =
        step ? QString("%1 %2").arg(verb, QString::fromStdString(step->Label())) : QString(verb);
    item->setEnabled(enabled);
    button->setEnabled(enabled);
    button->setToolTip(tip);
    button->setAccessibleDescription(tip);
  };
  // A drag held is ended by Undo and Redo as its release would end it: there is then a
  // step to undo, and none left to redo once it has changed the document.
  const bool held = open && MouseHeld;
  show(Undo1, UndoButton, "Undo", undo, undo != nullptr || held);
  show(Redo1, RedoButton, "Redo", redo, redo != nullptr && !held);
  const bool save = open && !Doc.Untitled && History.IsChanged();
  Save1->setEnabled(save);
  SaveButton->setEnabled(save);
  UpdateClipboardCommands();
}

bool TMainWindow::ConfirmDiscard() {
  // A stroke still held is work of this document: part of what is asked about and saved.
  FinishDrag();
  if (!Model.IsOpen()) return true;
  // A new model has no saved state to compare with: any step since New is work.
  const bool changed = Doc.Untitled ? History.AnyStepRecorded() : History.IsChanged();
  if (!changed) return true;
  TripleButDial->Text->setText(
      Doc.Untitled ? QString("Save changes to the new model?")
                   : QString("Save changes to %1?").arg(QString::fromStdString(Doc.FileTitle)));
  TripleButDial->Button1->setText("&Save");
  TripleButDial->Button2->setText("&Discard");
  TripleButDial->Button3->setText("&Cancel");
  TripleButDial->DialogResult = 0;
  TripleButDial->exec();
  switch (TripleButDial->DialogResult) {
    case 1:
      if (Doc.Untitled || Doc.FilePath.empty()) return SaveAs();
      return SaveVoxelFile(Doc.FilePath);
    case 2:
      return true;
    default:
      return false;
  }
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  if (!ConfirmDiscard()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}
