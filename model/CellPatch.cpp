#include "model/CellPatch.h"

#include <algorithm>
#include <cstring>

VoxelGrid& GridOf(TVoxelModel& model, GridKind kind) {
  return kind == GridKind::Normals ? model.Normals : model.Colours;
}

namespace {

CellBox ClipToGrid(CellBox b) {
  constexpr int last = int(GridSide) - 1;
  b.X0 = std::max(b.X0, 0);
  b.Y0 = std::max(b.Y0, 0);
  b.Z0 = std::max(b.Z0, 0);
  b.X1 = std::min(b.X1, last);
  b.Y1 = std::min(b.Y1, last);
  b.Z1 = std::min(b.Z1, last);
  return b;
}

// Visits every row of box as (grid offset of its first cell, index of that cell in the
// box's own order).
template <typename F>
void ForEachRow(const CellBox& box, F&& row) {
  std::size_t i = 0;
  const std::size_t width = std::size_t(box.X1 - box.X0 + 1);
  for (int z = box.Z0; z <= box.Z1; ++z)
    for (int y = box.Y0; y <= box.Y1; ++y, i += width)
      row(CellIndex(unsigned(box.X0), unsigned(y), unsigned(z)), i, width);
}

}  // namespace

std::vector<std::uint8_t> CopyCells(const TVoxelModel& model, const CellBox& box) {
  const std::size_t n = box.Cells();
  std::vector<std::uint8_t> cells(2 * n);
  if (n == 0) return cells;
  ForEachRow(box, [&](std::size_t at, std::size_t i, std::size_t width) {
    std::memcpy(&cells[i], model.Colours.data() + at, width);
    std::memcpy(&cells[n + i], model.Normals.data() + at, width);
  });
  return cells;
}

CellPatch::CellPatch(std::string label, const CellBox& box, std::vector<std::uint8_t> before,
                     std::vector<std::uint8_t> after)
    : EditStep(std::move(label)), box_(box), before_(std::move(before)), after_(std::move(after)) {}

std::size_t CellPatch::Bytes() const {
  return sizeof(*this) + before_.capacity() + after_.capacity();
}

void CellPatch::Put(TVoxelModel& model, const std::vector<std::uint8_t>& cells) const {
  const std::size_t n = box_.Cells();
  ForEachRow(box_, [&](std::size_t at, std::size_t i, std::size_t width) {
    std::memcpy(&model.Colours[at], &cells[i], width);
    std::memcpy(&model.Normals[at], &cells[n + i], width);
  });
}

CellEdit::CellEdit(TVoxelModel& model, const CellBox& box, std::string label)
    : model_(model),
      box_(ClipToGrid(box)),
      label_(std::move(label)),
      before_(CopyCells(model, box_)) {}

void CellEdit::Set(GridKind kind, int x, int y, int z, std::uint8_t value) {
  if (x < box_.X0 || x > box_.X1 || y < box_.Y0 || y > box_.Y1 || z < box_.Z0 || z > box_.Z1)
    return;  // outside what was noted the change could not be taken back
  GridOf(model_, kind).at(unsigned(x), unsigned(y), unsigned(z)) = value;
  touched_ |= CellBox{x, y, z, x, y, z};
}

std::unique_ptr<CellPatch> CellEdit::Finish() {
  if (box_.Empty() || touched_.Empty()) return nullptr;
  const std::size_t n = box_.Cells();
  const std::size_t width = std::size_t(box_.X1 - box_.X0 + 1);
  const std::size_t height = std::size_t(box_.Y1 - box_.Y0 + 1);
  // Where the noted cells of (x, y, z) begin in before_.
  auto noted = [&](int x, int y, int z) {
    return (std::size_t(z - box_.Z0) * height + std::size_t(y - box_.Y0)) * width +
           std::size_t(x - box_.X0);
  };
  // The bounding box of the written cells that differ in either grid.
  CellBox changed;
  const std::size_t tw = std::size_t(touched_.X1 - touched_.X0 + 1);
  for (int z = touched_.Z0; z <= touched_.Z1; ++z)
    for (int y = touched_.Y0; y <= touched_.Y1; ++y) {
      const std::size_t at = CellIndex(unsigned(touched_.X0), unsigned(y), unsigned(z));
      const std::uint8_t* c = model_.Colours.data() + at;
      const std::uint8_t* nm = model_.Normals.data() + at;
      const std::uint8_t* bc = &before_[noted(touched_.X0, y, z)];
      const std::uint8_t* bn = bc + n;
      if (std::memcmp(c, bc, tw) == 0 && std::memcmp(nm, bn, tw) == 0) continue;
      std::size_t lo = 0, hi = tw - 1;
      while (c[lo] == bc[lo] && nm[lo] == bn[lo]) ++lo;
      while (c[hi] == bc[hi] && nm[hi] == bn[hi]) --hi;
      changed |= CellBox{touched_.X0 + int(lo), y, z, touched_.X0 + int(hi), y, z};
    }
  if (changed.Empty()) return nullptr;

  // The noted cells cut down to the changed box.
  const std::size_t m = changed.Cells();
  const std::size_t cw = std::size_t(changed.X1 - changed.X0 + 1);
  std::vector<std::uint8_t> before(2 * m);
  std::size_t j = 0;
  for (int z = changed.Z0; z <= changed.Z1; ++z)
    for (int y = changed.Y0; y <= changed.Y1; ++y, j += cw) {
      const std::size_t i = (std::size_t(z - box_.Z0) * std::size_t(box_.Y1 - box_.Y0 + 1) +
                             std::size_t(y - box_.Y0)) *
                                width +
                            std::size_t(changed.X0 - box_.X0);
      std::memcpy(&before[j], &before_[i], cw);
      std::memcpy(&before[m + j], &before_[n + i], cw);
    }
  before_.clear();
  before_.shrink_to_fit();
  auto step = std::make_unique<CellPatch>(std::move(label_), changed, std::move(before),
                                          CopyCells(model_, changed));
  step->SetSection(int(model_.EditedSection()));
  box_ = touched_ = CellBox{};
  return step;
}
