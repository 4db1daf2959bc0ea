#include "editor/DrawOps.h"

#include <algorithm>
#include <cstring>
#include <utility>

void FillRectOnLayer(VoxelGrid& grid, int x0, int y0, int x1, int y1, int z, std::uint8_t value) {
  if (z < 0 || z >= int(GridSide)) return;
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  // A rectangle reaching past the grid would write into the neighbouring rows or layer.
  constexpr int last = int(GridSide) - 1;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, last);
  y1 = std::min(y1, last);
  if (x0 > x1 || y0 > y1) return;
  for (int y = y0; y <= y1; ++y)
    std::memset(&grid.at(unsigned(x0), unsigned(y), unsigned(z)), value,
                std::size_t(x1) - std::size_t(x0) + 1);
}

bool FloodFillLayer(VoxelGrid& grid, int sizeX, int sizeY, int z, int startX, int startY,
                    std::uint8_t value, FloodFillWork& work) {
  sizeX = std::clamp(sizeX, 0, int(GridSide));
  sizeY = std::clamp(sizeY, 0, int(GridSide));
  if (z < 0 || z >= int(GridSide)) return false;
  if (startX < 0 || startX >= sizeX || startY < 0 || startY >= sizeY) return false;

  std::uint8_t* layer = grid.layer(unsigned(z));
  const unsigned start = unsigned(startX) | (unsigned(startY) << 8);
  const std::uint8_t old = layer[start];
  if (old == value) return false;

  // A cell is marked when it is pushed and never pushed again, so the stack holds at most
  // one entry per cell of the layer and cannot overflow.
  std::uint8_t* mark = work.MarkPlane.data();
  std::uint16_t* stack = work.Stack.data();
  std::memset(mark, 0, LayerCells);
  std::size_t top = 0;
  auto visit = [&](unsigned cell) {
    if (mark[cell] == 0 && layer[cell] == old) {
      mark[cell] = 1;
      stack[top++] = std::uint16_t(cell);
    }
  };
  visit(start);
  while (top != 0) {
    const unsigned cell = stack[--top];
    layer[cell] = value;
    const int x = int(cell & 0xFF), y = int(cell >> 8);
    if (y > 0) visit(cell - 256);
    if (x > 0) visit(cell - 1);
    if (y + 1 < sizeY) visit(cell + 256);
    if (x + 1 < sizeX) visit(cell + 1);
  }
  return true;
}
