#pragma once
// Changes of cells: a box of both grids as it was before and after an edit. Every edit
// of cells is made through a CellEdit, which notes what the cells held before they are
// written and turns what changed into one step.

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
  // A few cells scattered over box (a pen stroke): before and after hold the colour and
  // the normal of each cell at the grid offsets in cells, colours first, then normals.
  CellPatch(std::string label, const CellBox& box, std::vector<std::uint32_t> cells,
            std::vector<std::uint8_t> before, std::vector<std::uint8_t> after);

  void Apply(TVoxelModel& model) const override { Put(model, after_); }
  void Revert(TVoxelModel& model) const override { Put(model, before_); }
  ChangeSet Changes() const override { return {ChangedCells, box_, Section()}; }
  std::size_t Bytes() const override;
  const CellBox& Box() const { return box_; }

 private:
  void Put(TVoxelModel& model, const std::vector<std::uint8_t>& cells) const;
  CellBox box_;
  std::vector<std::uint32_t> cells_;  // empty: before_ and after_ cover the whole box
  std::vector<std::uint8_t> before_;
  std::vector<std::uint8_t> after_;
};

// Copies the cells of box (both grids) out of the model, in CellPatch's order.
std::vector<std::uint8_t> CopyCells(const TVoxelModel& model, const CellBox& box);

class CellEdit {
 public:
  // Writes must stay inside box (clipped to the grid); the box is cut to the grid's 256
  // cells a side. What a cell held is noted before its first write, so that a stroke
  // costs what it touches, not what the box holds.
  CellEdit(TVoxelModel& model, const CellBox& box, std::string label);

  // The grids, for the drawing operations that write many cells at once. Anything inside
  // the box may change from now on, so the whole box is noted first.
  VoxelGrid& Grid(GridKind kind);
  void Set(GridKind kind, int x, int y, int z, std::uint8_t value);
  const CellBox& Box() const { return box_; }

  // The step for the cells that differ from what was noted, cut to their bounding box,
  // made in the edited section; null when nothing changed. The edit is finished afterwards.
  std::unique_ptr<CellPatch> Finish();

 private:
  // A cell written through Set, as both grids held it before.
  struct NotedCell {
    std::uint8_t X, Y, Z, Colour, Normal;
  };
  std::size_t InBox(int x, int y, int z) const;
  void NoteWholeBox();
  std::unique_ptr<CellPatch> FinishCells();
  std::unique_ptr<CellPatch> FinishWholeBox();
  // The step, made in the edited section.
  std::unique_ptr<CellPatch> Made(std::unique_ptr<CellPatch> step) const;

  TVoxelModel& model_;
  CellBox box_;
  std::string label_;
  std::vector<std::uint64_t> seen_;  // a bit per cell of the box: noted in noted_
  std::vector<NotedCell> noted_;
  // Once Grid was asked for: the whole box as it was, in CellPatch's order.
  bool whole_ = false;
  std::vector<std::uint8_t> before_;
};
