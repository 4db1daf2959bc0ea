#pragma once
// The document's edit history: the steps made since it was loaded or created, the
// point up to which they are applied, and the point at which it was last saved.

#include <cstddef>
#include <deque>
#include <memory>

#include "model/EditStep.h"

class EditHistory {
 public:
  // The oldest steps go first once either limit is passed; the newest step is always
  // kept, however large.
  static constexpr std::size_t MaxSteps = 200;
  static constexpr std::size_t MaxBytes = std::size_t(64) << 20;
  explicit EditHistory(std::size_t maxSteps = MaxSteps, std::size_t maxBytes = MaxBytes)
      : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

  // Takes a step that has already been applied to the model. Steps that were undone are
  // gone for good. A null step (an edit that changed nothing) is ignored.
  void Record(std::unique_ptr<EditStep> step);

  // Take back or make again one step; null when there is none. A step made in another
  // section makes that section the edited one first.
  const EditStep* Undo(TVoxelModel& model);
  const EditStep* Redo(TVoxelModel& model);

  const EditStep* NextUndo() const { return applied_ > 0 ? steps_[applied_ - 1].get() : nullptr; }
  const EditStep* NextRedo() const {
    return applied_ < steps_.size() ? steps_[applied_].get() : nullptr;
  }

  // A new or newly opened document: no steps, and what is there counts as saved.
  void Clear();
  // The document as it stands now has been written to its file.
  void MarkSaved();
  // The document differs from what was last loaded or saved.
  bool IsChanged() const { return saved_ != std::ptrdiff_t(applied_); }
  // Any step at all was recorded since Clear, even if it was undone again.
  bool AnyStepRecorded() const { return recorded_; }

  std::size_t Count() const { return steps_.size(); }
  std::size_t Bytes() const { return bytes_; }

 private:
  void Trim();

  std::size_t maxSteps_, maxBytes_;
  std::deque<std::unique_ptr<EditStep>> steps_;
  std::size_t applied_ = 0;  // steps_[0, applied_) are in the model
  // The number of applied steps at the last save; -1 once that state cannot come back.
  std::ptrdiff_t saved_ = 0;
  std::size_t bytes_ = 0;
  bool recorded_ = false;
};
