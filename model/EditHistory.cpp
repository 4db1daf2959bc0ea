#include "model/EditHistory.h"

void EditHistory::Record(std::unique_ptr<EditStep> step) {
  if (!step) return;
  // The undone steps can never be redone now; if the saved state was among them, no
  // sequence of undo and redo leads back to it.
  while (steps_.size() > applied_) {
    bytes_ -= steps_.back()->Bytes();
    steps_.pop_back();
  }
  if (saved_ > std::ptrdiff_t(applied_)) saved_ = -1;
  bytes_ += step->Bytes();
  steps_.push_back(std::move(step));
  ++applied_;
  recorded_ = true;
  Trim();
}

void EditHistory::Trim() {
  while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) {
    bytes_ -= steps_.front()->Bytes();
    steps_.pop_front();
    --applied_;
    // The saved state lay before the dropped step: it is out of reach for good.
    if (saved_ >= 0) --saved_;
  }
}

const EditStep* EditHistory::Undo(TVoxelModel& model) {
  if (applied_ == 0) return nullptr;
  const EditStep* step = steps_[--applied_].get();
  if (step->Section() != FileWide) model.SelectSection(std::size_t(step->Section()));
  step->Revert(model);
  return step;
}

const EditStep* EditHistory::Redo(TVoxelModel& model) {
  if (applied_ == steps_.size()) return nullptr;
  const EditStep* step = steps_[applied_++].get();
  if (step->Section() != FileWide) model.SelectSection(std::size_t(step->Section()));
  step->Apply(model);
  return step;
}

void EditHistory::Clear() {
  steps_.clear();
  applied_ = 0;
  saved_ = 0;
  bytes_ = 0;
  recorded_ = false;
}

void EditHistory::MarkSaved() {
  saved_ = std::ptrdiff_t(applied_);
}
