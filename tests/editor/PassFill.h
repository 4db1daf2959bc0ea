#pragma once
// The flood fill as first described: full passes over the layer until a pass marks nothing
// new, each marked cell taking the value and marking its neighbours up, left, down, right.
// Slow on winding regions, but plainly right: the tests check the real fill against it and
// the benchmark measures what the real fill saves.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "model/VoxelModel.h"

inline void PassFill(VoxelGrid& g, int sx, int sy, int z, int px, int py, std::uint8_t value,
                     std::vector<std::uint8_t>& mark) {
  const std::uint8_t old = g.at(px, py, z);
  if (old == value) return;
  mark.assign(LayerCells, 0);
  mark[CellIndex(px, py, 0)] = 1;
  for (bool more = true; more;) {
    more = false;
    for (int y = 0; y < sy; ++y)
      for (int x = 0; x < sx; ++x) {
        if (!mark[CellIndex(x, y, 0)]) continue;
        g.at(x, y, z) = value;
        const int nx[4] = {x, x - 1, x, x + 1}, ny[4] = {y - 1, y, y + 1, y};
        for (int k = 0; k < 4; ++k) {
          if (nx[k] < 0 || nx[k] >= sx || ny[k] < 0 || ny[k] >= sy) continue;
          std::uint8_t& m = mark[CellIndex(nx[k], ny[k], 0)];
          if (m || g.at(nx[k], ny[k], z) != old) continue;
          m = 1;
          more = true;
        }
        mark[CellIndex(x, y, 0)] = 0;
      }
  }
}
