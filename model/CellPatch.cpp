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
  // Appended row by row: filling the buffer with zeros first would double the cost.
  std::vector<std::uint8_t> cells;
  cells.reserve(2 * box.Cells());
  for (const VoxelGrid* grid : {&model.Colours, &model.Normals})
    ForEachRow(box, [&](std::size_t at, std::size_t, std::size_t width) {
      cells.insert(cells.end(), grid->data() + at, grid->data() + at + width);
    });
  return cells;
}

CellPatch::CellPatch(std::string label, const CellBox& box, std::vector<std::uint8_t> before,
                     std::vector<std::uint8_t> after)
    : EditStep(std::move(label)), box_(box), before_(std::move(before)), after_(std::move(after)) {}

CellPatch::CellPatch(std::string label, const CellBox& box, std::vector<std::uint32_t> cells,
                     std::vector<std::uint8_t> before, std::vector<std::uint8_t> after)
    : EditStep(std::move(label)),
      box_(box),
      cells_(std::move(cells)),
      before_(std::move(before)),
      after_(std::move(after)) {}

std::size_t CellPatch::Bytes() const {
  return sizeof(*this) + cells_.capacity() * sizeof(std::uint32_t) + before_.capacity() +
         after_.capacity();
}

void CellPatch::Put(TVoxelModel& model, const std::vector<std::uint8_t>& cells) const {
  if (!cells_.empty()) {
    const std::size_t k = cells_.size();
    for (std::size_t i = 0; i < k; ++i) {
      model.Colours[cells_[i]] = cells[i];
      model.Normals[cells_[i]] = cells[k + i];
    }
    return;
  }
  const std::size_t n = box_.Cells();
  ForEachRow(box_, [&](std::size_t at, std::size_t i, std::size_t width) {
    std::memcpy(&model.Colours[at], &cells[i], width);
    std::memcpy(&model.Normals[at], &cells[n + i], width);
  });
}

CellEdit::CellEdit(TVoxelModel& model, const CellBox& box, std::string label)
    : model_(model), box_(ClipToGrid(box)), label_(std::move(label)) {}

std::size_t CellEdit::InBox(int x, int y, int z) const {
  const std::size_t width = std::size_t(box_.X1 - box_.X0 + 1);
  const std::size_t height = std::size_t(box_.Y1 - box_.Y0 + 1);
  return (std::size_t(z - box_.Z0) * height + std::size_t(y - box_.Y0)) * width +
         std::size_t(x - box_.X0);
}

VoxelGrid& CellEdit::Grid(GridKind kind) {
  NoteWholeBox();
  return GridOf(model_, kind);
}

void CellEdit::NoteWholeBox() {
  if (whole_ || box_.Empty()) return;
  before_ = CopyCells(model_, box_);
  // Cells written already hold their new values: what they held is in noted_.
  const std::size_t n = box_.Cells();
  for (const NotedCell& c : noted_) {
    const std::size_t i = InBox(c.X, c.Y, c.Z);
    before_[i] = c.Colour;
    before_[n + i] = c.Normal;
  }
  noted_ = {};
  seen_ = {};
  whole_ = true;
}

void CellEdit::Set(GridKind kind, int x, int y, int z, std::uint8_t value) {
  if (x < box_.X0 || x > box_.X1 || y < box_.Y0 || y > box_.Y1 || z < box_.Z0 || z > box_.Z1)
    return;  // outside what was noted the change could not be taken back
  const std::size_t at = CellIndex(unsigned(x), unsigned(y), unsigned(z));
  if (!whole_) {
    if (seen_.empty()) seen_.assign((box_.Cells() + 63) / 64, 0);
    const std::size_t i = InBox(x, y, z);
    std::uint64_t& word = seen_[i / 64];
    const std::uint64_t bit = std::uint64_t(1) << (i % 64);
    if ((word & bit) == 0) {
      word |= bit;
      noted_.push_back({std::uint8_t(x), std::uint8_t(y), std::uint8_t(z), model_.Colours[at],
                        model_.Normals[at]});
    }
  }
  GridOf(model_, kind)[at] = value;
}

std::unique_ptr<CellPatch> CellEdit::Finish() {
  std::unique_ptr<CellPatch> step = whole_ ? FinishWholeBox() : FinishCells();
  box_ = CellBox{};
  noted_ = {};
  seen_ = {};
  before_ = {};
  whole_ = false;
  return step;
}

std::unique_ptr<CellPatch> CellEdit::FinishCells() {
  // The noted cells that changed, and their bounding box.
  std::size_t k = 0;
  int x0 = 255, y0 = 255, z0 = 255, x1 = 0, y1 = 0, z1 = 0;
  for (const NotedCell& c : noted_) {
    const std::size_t at = CellIndex(c.X, c.Y, c.Z);
    if (model_.Colours[at] == c.Colour && model_.Normals[at] == c.Normal) continue;
    noted_[k++] = c;
    x0 = std::min<int>(x0, c.X), y0 = std::min<int>(y0, c.Y), z0 = std::min<int>(z0, c.Z);
    x1 = std::max<int>(x1, c.X), y1 = std::max<int>(y1, c.Y), z1 = std::max<int>(z1, c.Z);
  }
  if (k == 0) return nullptr;
  noted_.resize(k);
  const CellBox changed{x0, y0, z0, x1, y1, z1};

  // Scattered cells are kept one by one, which is smaller than their box and costs what
  // the stroke touched rather than what its box spans.
  if (2 * k < changed.Cells()) {
    std::vector<std::uint32_t> cells(k);
    std::vector<std::uint8_t> before(2 * k), after(2 * k);
    for (std::size_t i = 0; i < k; ++i) {
      const NotedCell& c = noted_[i];
      const std::size_t at = CellIndex(c.X, c.Y, c.Z);
      cells[i] = std::uint32_t(at);
      before[i] = c.Colour;
      before[k + i] = c.Normal;
      after[i] = model_.Colours[at];
      after[k + i] = model_.Normals[at];
    }
    return Made(std::make_unique<CellPatch>(std::move(label_), changed, std::move(cells),
                                            std::move(before), std::move(after)));
  }
  // Every cell of the box that was not written holds what it held before; the written
  // ones get back what was noted.
  std::vector<std::uint8_t> after = CopyCells(model_, changed);
  std::vector<std::uint8_t> before = after;
  const std::size_t m = changed.Cells();
  const std::size_t width = std::size_t(x1 - x0 + 1);
  const std::size_t height = std::size_t(y1 - y0 + 1);
  for (const NotedCell& c : noted_) {
    const std::size_t j =
        (std::size_t(c.Z - z0) * height + std::size_t(c.Y - y0)) * width + std::size_t(c.X - x0);
    before[j] = c.Colour;
    before[m + j] = c.Normal;
  }
  return Made(
      std::make_unique<CellPatch>(std::move(label_), changed, std::move(before), std::move(after)));
}

std::unique_ptr<CellPatch> CellEdit::FinishWholeBox() {
  const std::size_t n = box_.Cells();
  const std::size_t width = std::size_t(box_.X1 - box_.X0 + 1);
  // The bounding box of the cells that differ in either grid.
  CellBox changed;
  for (int z = box_.Z0; z <= box_.Z1; ++z)
    for (int y = box_.Y0; y <= box_.Y1; ++y) {
      const std::size_t at = CellIndex(unsigned(box_.X0), unsigned(y), unsigned(z));
      const std::uint8_t* c = model_.Colours.data() + at;
      const std::uint8_t* nm = model_.Normals.data() + at;
      const std::uint8_t* bc = &before_[InBox(box_.X0, y, z)];
      const std::uint8_t* bn = bc + n;
      if (std::memcmp(c, bc, width) == 0 && std::memcmp(nm, bn, width) == 0) continue;
      std::size_t lo = 0, hi = width - 1;
      while (c[lo] == bc[lo] && nm[lo] == bn[lo]) ++lo;
      while (c[hi] == bc[hi] && nm[hi] == bn[hi]) --hi;
      changed |= CellBox{box_.X0 + int(lo), y, z, box_.X0 + int(hi), y, z};
    }
  if (changed.Empty()) return nullptr;

  // The noted cells cut down to the changed box.
  const std::size_t cw = std::size_t(changed.X1 - changed.X0 + 1);
  std::vector<std::uint8_t> before;
  before.reserve(2 * changed.Cells());
  for (std::size_t grid : {std::size_t(0), n})
    for (int z = changed.Z0; z <= changed.Z1; ++z)
      for (int y = changed.Y0; y <= changed.Y1; ++y) {
        const std::uint8_t* row = &before_[grid + InBox(changed.X0, y, z)];
        before.insert(before.end(), row, row + cw);
      }
  before_ = {};
  return Made(std::make_unique<CellPatch>(std::move(label_), changed, std::move(before),
                                          CopyCells(model_, changed)));
}

std::unique_ptr<CellPatch> CellEdit::Made(std::unique_ptr<CellPatch> step) const {
  step->SetSection(int(model_.EditedSection()));
  return step;
}
