#pragma once
// Changes of cells: a box of both grids as it was before and after an edit. Every edit
// of cells is made through a CellEdit, which notes the box before anything is written
// and turns what changed into one step.

#include <memory>
#include <vector>

#include "model/EditStep.h"

enum class GridKind { Colours, Normals };

VoxelGrid& GridOf(TVoxelModel& model, GridKind kind);

class CellPatch final : public EditStep {
 public:
  // before and after hold, for every cell of box with x fastest, then y, then z, the
  // colour and the normal: colours first, then normals.
  CellPatch(std::string label, const CellBox& box, std::vector<std::uint8_t> before,
            std::vector<std::uint8_t> after);

  void Apply(TVoxelModel& model) const override { Put(model, after_); }
  void Revert(TVoxelModel& model) const override { Put(model, before_); }
  ChangeSet Changes() const override { return {ChangedCells, box_, Section()}; }
  std::size_t Bytes() const override;
  const CellBox& Box() const { return box_; }

 private:
  void Put(TVoxelModel& model, const std::vector<std::uint8_t>& cells) const;
  CellBox box_;
  std::vector<std::uint8_t> before_;
  std::vector<std::uint8_t> after_;
};

// Copies the cells of box (both grids) out of the model, in CellPatch's order.
std::vector<std::uint8_t> CopyCells(const TVoxelModel& model, const CellBox& box);

class CellEdit {
 public:
  // Notes the cells of box as they are now. Writes must stay inside box (clipped to the
  // grid); the box is cut to the grid's 256 cells a side.
  CellEdit(TVoxelModel& model, const CellBox& box, std::string label);

  // The grids, for the drawing operations that write many cells at once.
  VoxelGrid& Grid(GridKind kind) {
    touched_ = box_;  // anything inside the box may change now
    return GridOf(model_, kind);
  }
  void Set(GridKind kind, int x, int y, int z, std::uint8_t value);
  const CellBox& Box() const { return box_; }

  // The step for the cells that differ from what was noted, cut to their bounding box,
  // made in the edited section; null when nothing changed. The edit is finished afterwards.
  std::unique_ptr<CellPatch> Finish();

 private:
  TVoxelModel& model_;
  CellBox box_;
  std::string label_;
  std::vector<std::uint8_t> before_;
  CellBox touched_;  // the cells written so far, which alone Finish compares
};
