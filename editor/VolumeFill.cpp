#include "editor/VolumeFill.h"

#include <algorithm>
#include <bit>
#include <cstring>

VolumeFillWork::VolumeFillWork(std::size_t stackSpans)
    : Region(GridCells / 64),
      Flagged(LayerCells / 64),
      Stack(std::max<std::size_t>(stackSpans, 1)) {}

namespace {

// Rows of X are numbered y + 256 * z, so a row's first cell lies at row << 8.
class RegionSearch {
 public:
  RegionSearch(const TVoxelModel& model, const VoxelGrid& grid, VolumeFillWork& work)
      : g_(grid.data()),
        sx_(model.SizeX),
        sy_(model.SizeY),
        sz_(model.SizeZ),
        region_(work.Region.data()),
        flagged_(work.Flagged.data()),
        stack_(work.Stack.data()),
        capacity_(work.Stack.size()) {}

  CellBox Run(int x, int y, int z) {
    std::memset(region_, 0, GridCells / 8);
    std::memset(flagged_, 0, LayerCells / 8);
    const unsigned row = unsigned(y) | (unsigned(z) << 8);
    old_ = g_[(std::size_t(row) << 8) + unsigned(x)];
    Take(row, x);
    for (;;) {
      while (top_ != 0) {
        const std::uint32_t s = stack_[--top_];
        Explore(s >> 16, int((s >> 8) & 0xFF), int(s & 0xFF));
      }
      if (!SearchFlaggedRows()) break;
    }
    return box_;
  }

 private:
  bool Matches(std::size_t cell) const { return g_[cell] == old_; }
  bool InRegion(std::size_t cell) const { return (region_[cell >> 6] >> (cell & 63)) & 1; }

  // Cells a..b of a row (inclusive) that the region holds.
  bool AnyInRegion(unsigned row, int a, int b) const {
    const std::size_t base = std::size_t(row) << 8;
    for (std::size_t i = base + unsigned(a), end = base + unsigned(b); i <= end;) {
      const std::uint64_t w = region_[i >> 6] >> (i & 63);
      const std::size_t n = std::min<std::size_t>(64 - (i & 63), end - i + 1);
      if ((n == 64 ? w : w & ((std::uint64_t(1) << n) - 1)) != 0) return true;
      i += n;
    }
    return false;
  }

  // The whole run of matching cells through x joins the region: marked, boxed, stacked.
  // With the stack full its row is flagged and the run stays unmarked until then.
  int Take(unsigned row, int x) {
    const std::size_t base = std::size_t(row) << 8;
    int a = x, b = x;
    while (a > 0 && Matches(base + unsigned(a - 1))) --a;
    while (b + 1 < sx_ && Matches(base + unsigned(b + 1))) ++b;
    if (top_ == capacity_) {
      flagged_[row >> 6] |= std::uint64_t(1) << (row & 63);
      return b;
    }
    stack_[top_++] = (row << 16) | unsigned(a) << 8 | unsigned(b);
    for (std::size_t i = base + unsigned(a), end = base + unsigned(b); i <= end; ++i)
      region_[i >> 6] |= std::uint64_t(1) << (i & 63);
    const int y = int(row & 0xFF), z = int(row >> 8);
    box_ |= CellBox{a, y, z, b, y, z};
    return b;
  }

  // Matching cells of a row beside cells a..b of a neighbouring row that is in the region.
  void ScanRow(unsigned row, int a, int b) {
    const std::size_t base = std::size_t(row) << 8;
    for (int x = a; x <= b;) {
      const std::size_t i = base + unsigned(x);
      const std::uint64_t w = region_[i >> 6] >> (i & 63);
      if (w & 1) {
        x += std::countr_one(w);  // skips what is in the region already, a word at a time
        continue;
      }
      // A run in the region is a whole run of matching cells, so a matching cell outside
      // it starts a run of its own.
      x = Matches(i) ? Take(row, x) + 2 : x + 1;
    }
  }

  void Explore(unsigned row, int a, int b) {
    const int y = int(row & 0xFF), z = int(row >> 8);
    if (y > 0) ScanRow(row - 1, a, b);
    if (y + 1 < sy_) ScanRow(row + 1, a, b);
    if (z > 0) ScanRow(row - 256, a, b);
    if (z + 1 < sz_) ScanRow(row + 256, a, b);
  }

  // Runs of flagged rows that touch the region join it now. Stops once the stack is full
  // again; false when no row is left to search and nothing waits on the stack.
  bool SearchFlaggedRows() {
    bool any = false;
    for (std::size_t word = 0; word < LayerCells / 64 && top_ < capacity_; ++word) {
      while (flagged_[word] != 0 && top_ < capacity_) {
        any = true;
        const unsigned row = unsigned(word * 64) + unsigned(std::countr_zero(flagged_[word]));
        flagged_[word] &= flagged_[word] - 1;
        SearchRow(row);
      }
    }
    return any;
  }

  void SearchRow(unsigned row) {
    const std::size_t base = std::size_t(row) << 8;
    const int y = int(row & 0xFF), z = int(row >> 8);
    for (int x = 0; x < sx_;) {
      if (!Matches(base + unsigned(x)) || InRegion(base + unsigned(x))) {
        ++x;
        continue;
      }
      int b = x;
      while (b + 1 < sx_ && Matches(base + unsigned(b + 1))) ++b;
      const bool touches =
          (y > 0 && AnyInRegion(row - 1, x, b)) || (y + 1 < sy_ && AnyInRegion(row + 1, x, b)) ||
          (z > 0 && AnyInRegion(row - 256, x, b)) || (z + 1 < sz_ && AnyInRegion(row + 256, x, b));
      if (touches) Take(row, x);
      x = b + 1;
    }
  }

  const std::uint8_t* g_;
  int sx_, sy_, sz_;
  std::uint64_t* region_;
  std::uint64_t* flagged_;
  std::uint32_t* stack_;
  std::size_t capacity_;
  std::size_t top_ = 0;
  std::uint8_t old_ = 0;
  CellBox box_;
};

}  // namespace

CellBox FindVolumeRegion(const TVoxelModel& model, GridKind grid, int x, int y, int z,
                         VolumeFillWork& work) {
  if (x < 0 || x >= model.SizeX || y < 0 || y >= model.SizeY || z < 0 || z >= model.SizeZ)
    return {};
  const VoxelGrid& cells = grid == GridKind::Normals ? model.Normals : model.Colours;
  return RegionSearch(model, cells, work).Run(x, y, z);
}

std::unique_ptr<CellPatch> VolumeFill(TVoxelModel& model, GridKind grid, int x, int y, int z,
                                      std::uint8_t value, VolumeFillWork& work) {
  if (x < 0 || x >= model.SizeX || y < 0 || y >= model.SizeY || z < 0 || z >= model.SizeZ)
    return nullptr;
  if (GridOf(model, grid).at(unsigned(x), unsigned(y), unsigned(z)) == value) return nullptr;
  const CellBox box = FindVolumeRegion(model, grid, x, y, z, work);
  CellEdit edit(model, box, "Volume fill");
  std::uint8_t* cells = edit.Grid(grid).data();
  // Every run of region bits in the box becomes one run of the value.
  for (int cz = box.Z0; cz <= box.Z1; ++cz)
    for (int cy = box.Y0; cy <= box.Y1; ++cy) {
      const std::size_t base = CellIndex(0, unsigned(cy), unsigned(cz));
      for (std::size_t word = (base + unsigned(box.X0)) >> 6;
           word <= (base + unsigned(box.X1)) >> 6; ++word) {
        std::uint64_t bits = work.Region[word];
        while (bits != 0) {
          const int first = std::countr_zero(bits);
          const int run = std::countr_one(bits >> first);
          std::memset(cells + word * 64 + unsigned(first), value, std::size_t(run));
          bits = run + first == 64 ? 0 : bits & ~((std::uint64_t(1) << (first + run)) - 1);
        }
      }
    }
  return edit.Finish();
}
