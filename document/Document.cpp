#include "document/Document.h"

#include <algorithm>

#include "model/NewModel.h"

Document::Document(QObject* parent) : QObject(parent), model_(std::make_unique<TVoxelModel>()) {}

Document::~Document() = default;

// ---- Steps ----

bool Document::Record(std::unique_ptr<EditStep> step) {
  if (!step) {
    emit historyChanged();
    return false;
  }
  const ChangeSet changes = step->Changes();
  history_.Record(std::move(step));
  // A step made is shown as a step made again: the same signals as Redo.
  ShowStep(changes);
  return true;
}

bool Document::Undo() {
  // A drag still held (its release lost, or a shortcut pressed during it) is the newest
  // work: it becomes its step first, and that step is what Undo takes back.
  FinishDrag();
  const EditStep* step = history_.Undo(*model_);
  if (step == nullptr) {
    emit historyChanged();
    return false;
  }
  ShowStep(step->Changes());
  return true;
}

bool Document::Redo() {
  FinishDrag();
  const EditStep* step = history_.Redo(*model_);
  if (step == nullptr) {
    emit historyChanged();
    return false;
  }
  ShowStep(step->Changes());
  return true;
}

void Document::ShowStep(ChangeSet changes) {
  const PlaneMap plane = Plane();
  int layer = currentLayer_;
  // A step of another section, or of the list itself: the windows follow the section, on
  // its last layer along the axis of the slices. A move renumbers the edited section
  // without changing it (no cells named), so its layer stays on show where the section
  // still has it: the step decides, not the section's number.
  const bool otherSection = shownSection_ != EditedSection();
  if (changes.Has(ChangedSections) || otherSection) {
    const bool keepLayer = changes.Has(ChangedSections) && !changes.Has(ChangedCells);
    changes.What |= ChangedSections;
    if (!keepLayer || layer >= plane.Layers()) layer = std::max(plane.Layers() - 1, 0);
    shownSection_ = EditedSection();
  }
  // The user sees what was changed: the layer it touched along the orientation's layer
  // axis, unless it is on show.
  if (changes.Has(ChangedCells) && !changes.Cells.Empty()) {
    const auto [first, last] = plane.LayerRange(changes.Cells);
    const int top = std::min(last, plane.Layers() - 1);
    if (layer < first || layer > top) layer = std::max(top, 0);
  }
  currentLayer_ = layer;
  emit changed(changes);
  emit historyChanged();
  NoteModified();
}

const EditStep* Document::NextUndo() const {
  return IsOpen() ? history_.NextUndo() : nullptr;
}

const EditStep* Document::NextRedo() const {
  return IsOpen() ? history_.NextRedo() : nullptr;
}

bool Document::CanUndo() const {
  // A drag held becomes a step to undo when Undo ends it.
  return NextUndo() != nullptr || (IsOpen() && dragHeld_);
}

bool Document::CanRedo() const {
  // Ending a held drag changes the document, and nothing is left to redo.
  return NextRedo() != nullptr && !dragHeld_;
}

bool Document::IsModified() const {
  if (!IsOpen()) return false;
  // A new model has no saved state to compare with: any step since New is work.
  return untitled_ ? history_.AnyStepRecorded() : history_.IsChanged();
}

void Document::MarkSaved() {
  history_.MarkSaved();
  emit historyChanged();
  NoteModified();
}

void Document::NoteModified() {
  const bool now = IsModified();
  if (now == modified_) return;
  modified_ = now;
  emit modifiedChanged(now);
}

// ---- Replacing the document ----

LoadStatus Document::Load(const std::string& path, int* error) {
  const LoadStatus status = ReadVoxelFile(path, *model_, error);
  if (status != LoadStatus::Ok) return status;
  SetFileState(path, false);
  Replaced(Plane().Layers() - 1);  // the top layer, or the last along the axis
  return status;
}

void Document::Adopt(TVoxelModel& loaded, const std::string& path, bool untitled) {
  model_->Swap(loaded);
  SetFileState(untitled ? std::string() : path, untitled);
  Replaced(std::max(Plane().Layers() - 1, 0));  // section 0 on its last layer
}

void Document::CreateNew(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ) {
  ResetNewModel(*model_, sizeX, sizeY, sizeZ);
  SetFileState(std::string(), true);
  Replaced(0);  // the bottom layer
}

const char* Document::Import(const FileFormat& format, const std::string& path, int* error) {
  if (const char* message = ReadWith(format, path, *model_, {}, error)) return message;
  // A new document, as New makes one: it has no file until Save As gives it one.
  SetFileState(std::string(), true);
  Replaced(std::max(Plane().Layers() - 1, 0));  // section 0 on its last layer
  return nullptr;
}

void Document::Replaced(int layer) {
  // A drag cut short by a dialog belongs to the document that is gone.
  AbandonDrag(false);
  history_.Clear();
  shownSection_ = EditedSection();
  currentLayer_ = std::max(layer, 0);
  emit replaced();
  emit fileChanged();
  emit historyChanged();
  NoteModified();
}

void Document::SetFileState(const std::string& path, bool untitled) {
  filePath_ = path;
  fileTitle_ = path.empty() ? std::string() : FileTitleOf(path);
  untitled_ = untitled;
}

void Document::SetFile(const std::string& path) {
  SetFileState(path, false);
  emit fileChanged();
  emit historyChanged();
  NoteModified();
}

// ---- Shared choices ----

void Document::ChooseSection(int index) {
  if (!IsOpen() || index < 0 || std::size_t(index) >= model_->SectionCount()) return;
  if (index == EditedSection()) return;
  AbandonDrag(true);  // a drag belongs to the section it began in
  model_->SelectSection(std::size_t(index));
  shownSection_ = index;
  // The last layer along the axis of the slices, as opening a file shows.
  currentLayer_ = std::max(Plane().Layers() - 1, 0);
  emit editedSectionChanged();
}

void Document::SetOrientation(SliceOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  // The number stays when the new axis has that layer; past its end the last layer
  // shows, which with the underlay shows the whole model from that side.
  currentLayer_ = Plane().ClampLayer(currentLayer_);
  emit orientationChanged();
}

void Document::SetCurrentLayer(int layer) {
  if (!IsOpen()) return;  // no model: no layer to show
  const int clamped = std::clamp(layer, 0, std::max(Plane().Layers() - 1, 0));
  currentLayer_ = clamped;
  // Announced even when it stays: the layer window shows what was asked for, clamped.
  emit currentLayerChanged(clamped);
}

void Document::SetDrawingValue(bool right, std::uint8_t value) {
  (right ? rightColor_ : leftColor_) = value;
  emit drawingValueChanged(right);
}

void Document::SetNormalsMode(bool on) {
  normalsMode_ = on;
  emit normalsModeChanged(on);
}

// ---- Drags ----

void Document::SetDragHeld(bool held) {
  if (held == dragHeld_) return;
  dragHeld_ = held;
  emit historyChanged();
}

void Document::FinishDrag() {
  if (dragHeld_) emit finishDragRequested();
}

void Document::AbandonDrag(bool keepChanges) {
  emit abandonDragRequested(keepChanges);
}
