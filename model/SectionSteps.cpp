#include "model/SectionSteps.h"

#include "model/NewModel.h"

namespace {

// Every list step may leave another section edited: all it shows is to be refreshed.
ChangeSet ListChanges(int section) {
  constexpr int last = int(GridSide) - 1;
  return {ChangedSections | ChangedCells | ChangedName | ChangedNormalType | ChangedTailer,
          CellBox{0, 0, 0, last, last, last}, section};
}

// Each step starts from the section that was edited when it was made; the history has
// made it the edited one again before Apply and Revert, and they make sure of it.
class ListStep : public EditStep {
 public:
  ListStep(std::string label, std::size_t edited) : EditStep(std::move(label)), edited_(edited) {
    SetSection(int(edited));
  }
  ChangeSet Changes() const override { return ListChanges(Section()); }
  std::size_t Bytes() const override { return sizeof(*this) + Label().capacity(); }

 protected:
  std::size_t edited_;
};

// Add and duplicate: the new section goes after the edited one and becomes edited. Redo
// makes it afresh from the same state, so the step keeps no cells.
class InsertStep final : public ListStep {
 public:
  InsertStep(std::string label, std::size_t edited, int sizeX, int sizeY, int sizeZ)
      : ListStep(std::move(label), edited), sizeX_(sizeX), sizeY_(sizeY), sizeZ_(sizeZ) {}
  void Apply(TVoxelModel& model) const override {
    model.SelectSection(edited_);
    model.InsertSection(
        edited_ + 1,
        sizeX_ == 0 ? model.CopySection(edited_)
                    : NewSection(std::uint8_t(sizeX_), std::uint8_t(sizeY_), std::uint8_t(sizeZ_)));
    model.SelectSection(edited_ + 1);
  }
  void Revert(TVoxelModel& model) const override {
    model.SelectSection(edited_);
    model.TakeSection(edited_ + 1);
  }

 private:
  int sizeX_, sizeY_, sizeZ_;  // 0: a copy of the edited section
};

// The removed section is kept in the step while the removal stands, and handed back
// to the model by undo.
class RemoveStep final : public ListStep {
 public:
  RemoveStep(std::string label, std::size_t edited, std::size_t index, std::size_t bytes)
      : ListStep(std::move(label), edited), index_(index), bytes_(bytes) {}
  void Apply(TVoxelModel& model) const override {
    model.SelectSection(edited_);
    removed_ = model.TakeSection(index_);
  }
  void Revert(TVoxelModel& model) const override {
    model.InsertSection(index_, std::move(removed_));
    model.SelectSection(edited_);
  }
  // The same whether or not the step holds the section now, as the history's totals need.
  std::size_t Bytes() const override { return ListStep::Bytes() + bytes_; }

 private:
  std::size_t index_, bytes_;
  mutable VoxelSection removed_;
};

class MoveStep final : public ListStep {
 public:
  MoveStep(std::string label, std::size_t edited, std::size_t from, std::size_t to)
      : ListStep(std::move(label), edited), from_(from), to_(to) {}
  // Only the order changes: the edited section keeps every cell, name and value.
  ChangeSet Changes() const override { return {ChangedSections, CellBox{}, Section()}; }
  void Apply(TVoxelModel& model) const override {
    model.SelectSection(edited_);
    model.MoveSection(from_, to_);
  }
  void Revert(TVoxelModel& model) const override {
    model.MoveSection(to_, from_);
    model.SelectSection(edited_);
  }

 private:
  std::size_t from_, to_;
};

std::unique_ptr<EditStep> Made(std::unique_ptr<EditStep> step, TVoxelModel& model) {
  step->Apply(model);
  return step;
}

std::unique_ptr<EditStep> Move(TVoxelModel& model, std::size_t from, std::size_t to,
                               std::string label) {
  if (from >= model.SectionCount() || to >= model.SectionCount()) return nullptr;
  return Made(std::make_unique<MoveStep>(std::move(label), model.EditedSection(), from, to), model);
}

}  // namespace

std::unique_ptr<EditStep> AddSection(TVoxelModel& model, int sizeX, int sizeY, int sizeZ,
                                     std::string label) {
  auto valid = [](int v) { return v >= 1 && v <= 255; };
  if (!valid(sizeX) || !valid(sizeY) || !valid(sizeZ) || model.SectionCount() >= MaxSections)
    return nullptr;
  return Made(
      std::make_unique<InsertStep>(std::move(label), model.EditedSection(), sizeX, sizeY, sizeZ),
      model);
}

std::unique_ptr<EditStep> DuplicateSection(TVoxelModel& model, std::string label) {
  if (model.SectionCount() >= MaxSections) return nullptr;
  return Made(std::make_unique<InsertStep>(std::move(label), model.EditedSection(), 0, 0, 0),
              model);
}

std::unique_ptr<EditStep> RemoveSection(TVoxelModel& model, std::size_t index, std::string label) {
  if (model.SectionCount() < 2 || index >= model.SectionCount()) return nullptr;
  const std::size_t bytes = 2 * model.Values(index).CellCount();
  return Made(std::make_unique<RemoveStep>(std::move(label), model.EditedSection(), index, bytes),
              model);
}

std::unique_ptr<EditStep> MoveSectionUp(TVoxelModel& model, std::size_t index, std::string label) {
  if (index == 0) return nullptr;
  return Move(model, index, index - 1, std::move(label));
}

std::unique_ptr<EditStep> MoveSectionDown(TVoxelModel& model, std::size_t index,
                                          std::string label) {
  return Move(model, index, index + 1, std::move(label));
}
