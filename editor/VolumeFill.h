#pragma once
// The volume fill: the 6-connected region of cells that hold the pressed cell's value in
// one grid, through all layers, takes the drawing value.
//
// Rows of X are filled as whole spans; spans waiting to be looked at sit on a stack of
// fixed size. When it is full, the row a span lies in is flagged instead and searched
// again once the stack has drained, so the memory stays bounded whatever the region's
// shape, and the work stays linear in its size unless the stack overflows.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/CellPatch.h"

struct VolumeFillWork {
  static constexpr std::size_t DefaultStackSpans = std::size_t(1) << 16;  // 256 KiB
  explicit VolumeFillWork(std::size_t stackSpans = DefaultStackSpans);

  std::vector<std::uint64_t> Region;   // a bit per grid cell (2 MiB): the region found
  std::vector<std::uint64_t> Flagged;  // a bit per row of X (8 KiB): rows to search again
  std::vector<std::uint32_t> Stack;    // spans: row << 16 | first x << 8 | last x
};

// Marks in work.Region the region of (x, y, z) inside the model's extent and returns its
// bounding box; empty when the cell lies outside.
CellBox FindVolumeRegion(const TVoxelModel& model, GridKind grid, int x, int y, int z,
                         VolumeFillWork& work);

// The fill as one step, noting only the region's bounding box; null when the cell lies
// outside the model or already holds value.
std::unique_ptr<CellPatch> VolumeFill(TVoxelModel& model, GridKind grid, int x, int y, int z,
                                      std::uint8_t value, VolumeFillWork& work);
