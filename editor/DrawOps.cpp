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

void FillRectOnPlane(VoxelGrid& grid, const PlaneMap& plane, int u0, int v0, int u1, int v1,
                     int layer, std::uint8_t value) {
  if (plane.Empty() || layer < 0 || layer >= plane.Layers()) return;
  if (u0 > u1) std::swap(u0, u1);
  if (v0 > v1) std::swap(v0, v1);
  u0 = std::max(u0, 0);
  v0 = std::max(v0, 0);
  u1 = std::min(u1, plane.Width() - 1);
  v1 = std::min(v1, plane.Height() - 1);
  for (int v = v0; v <= v1; ++v) {
    std::uint8_t* cell = grid.data() + plane.Offset(u0, v, layer);
    if (plane.StepU() == 1) {
      std::memset(cell, value, std::size_t(u1 - u0 + 1));
      continue;
    }
    for (int u = u0; u <= u1; ++u, cell += plane.StepU()) *cell = value;
  }
}

namespace {

// The fill over a plane whose cell (u, v) lies at origin[u * StepU + v * StepV]; the
// steps are fixed per orientation, so each instance is as tight as the plain layer fill.
template <std::ptrdiff_t StepU, std::ptrdiff_t StepV>
bool FillPlane(std::uint8_t* origin, int width, int height, int startU, int startV,
               std::uint8_t value, FloodFillWork& work) {
  if (startU < 0 || startU >= width || startV < 0 || startV >= height) return false;
  auto at = [origin](unsigned cell) -> std::uint8_t& {
    return origin[std::ptrdiff_t(cell & 0xFF) * StepU + std::ptrdiff_t(cell >> 8) * StepV];
  };
  const unsigned start = unsigned(startU) | (unsigned(startV) << 8);
  const std::uint8_t old = at(start);
  if (old == value) return false;

  // A cell is marked when it is pushed and never pushed again, so the stack holds at most
  // one entry per cell of the plane and cannot overflow.
  std::uint8_t* mark = work.MarkPlane.data();
  std::uint16_t* stack = work.Stack.data();
  std::memset(mark, 0, LayerCells);
  std::size_t top = 0;
  auto visit = [&](unsigned cell) {
    if (mark[cell] == 0 && at(cell) == old) {
      mark[cell] = 1;
      stack[top++] = std::uint16_t(cell);
    }
  };
  visit(start);
  while (top != 0) {
    const unsigned cell = stack[--top];
    at(cell) = value;
    const int u = int(cell & 0xFF), v = int(cell >> 8);
    if (v > 0) visit(cell - 256);
    if (u > 0) visit(cell - 1);
    if (v + 1 < height) visit(cell + 256);
    if (u + 1 < width) visit(cell + 1);
  }
  return true;
}

constexpr std::ptrdiff_t Row = std::ptrdiff_t(GridSide), Layer = std::ptrdiff_t(LayerCells);

}  // namespace

bool FloodFillLayer(VoxelGrid& grid, int sizeX, int sizeY, int z, int startX, int startY,
                    std::uint8_t value, FloodFillWork& work) {
  sizeX = std::clamp(sizeX, 0, int(GridSide));
  sizeY = std::clamp(sizeY, 0, int(GridSide));
  if (z < 0 || z >= int(GridSide)) return false;
  return FillPlane<1, Row>(grid.layer(unsigned(z)), sizeX, sizeY, startX, startY, value, work);
}

bool FloodFillPlane(VoxelGrid& grid, const PlaneMap& plane, int layer, int startU, int startV,
                    std::uint8_t value, FloodFillWork& work) {
  if (plane.Empty() || layer < 0 || layer >= plane.Layers()) return false;
  if (!plane.Inside(startU, startV)) return false;
  std::uint8_t* origin = grid.data() + plane.Offset(0, 0, layer);
  const int w = plane.Width(), h = plane.Height();
  switch (plane.Orientation()) {
    case SliceOrientation::Front:
      return FillPlane<1, -Layer>(origin, w, h, startU, startV, value, work);
    case SliceOrientation::Side:
      return FillPlane<Row, -Layer>(origin, w, h, startU, startV, value, work);
    case SliceOrientation::Top:
      break;
  }
  return FillPlane<1, Row>(origin, w, h, startU, startV, value, work);
}
