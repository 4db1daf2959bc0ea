#pragma once
// The file keeps each column's voxels bottom to top, the grids keep layers of x-rows:
// turning one into the other is a transpose, done one row of columns (fixed y) at a
// time through a small buffer of voxel pairs.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/VoxelModel.h"

// Pairs of one row: column x, cell z at x * PairStride + z, holding colour | normal << 8
// (the byte order the file stores them in). The stride is padded so that neighbouring
// columns do not compete for the same cache sets.
constexpr std::size_t PairStride = 264;
constexpr std::size_t PairRowCells = 256 * PairStride;

class RowTranspose {
 public:
  RowTranspose();
  RowTranspose(const RowTranspose&) = delete;
  RowTranspose& operator=(const RowTranspose&) = delete;

  // A zeroed pair buffer of PairRowCells cells.
  static std::unique_ptr<std::uint16_t[]> NewPairRow();

  // Cells x < sizeX, z < sizeZ of row y become the pairs; nothing else of the grids changes.
  void PairsToGrids(const std::uint16_t* pairs, unsigned sizeX, unsigned sizeZ, unsigned y,
                    VoxelGrid& colours, VoxelGrid& normals);
  void PairsToPlanes(const std::uint16_t* pairs, unsigned sizeX, unsigned sizeZ, unsigned y,
                     const CellPlanes& to);
  // The pairs of row y for x < sizeX, z < sizeZ.
  void GridsToPairs(const VoxelGrid& colours, const VoxelGrid& normals, unsigned sizeX,
                    unsigned sizeZ, unsigned y, std::uint16_t* pairs);
  void PlanesToPairs(const ConstCellPlanes& from, unsigned sizeX, unsigned sizeZ, unsigned y,
                     std::uint16_t* pairs);

 private:
  // Layer-ordered copies of the row: z-row at z * StageStride, padded like the pairs.
  static constexpr std::size_t StageStride = 320;
  std::unique_ptr<std::uint8_t[]> colours_;
  std::unique_ptr<std::uint8_t[]> normals_;
};
