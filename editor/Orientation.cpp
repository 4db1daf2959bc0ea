#include "editor/Orientation.h"

#include <algorithm>

const char* OrientationText(SliceOrientation orientation) {
  switch (orientation) {
    case SliceOrientation::Front:
      return "Front (layers along Y)";
    case SliceOrientation::Side:
      return "Side (layers along X)";
    case SliceOrientation::Top:
      break;
  }
  return "Top (layers along Z)";
}

PlaneMap::PlaneMap(int sizeX, int sizeY, int sizeZ, SliceOrientation orientation)
    : orientation_(orientation), sizeZ_(sizeZ) {
  constexpr std::ptrdiff_t row = std::ptrdiff_t(GridSide), layer = std::ptrdiff_t(LayerCells);
  // Rows from the top of the screen: the highest z first.
  const std::ptrdiff_t topZ = std::ptrdiff_t(std::max(sizeZ - 1, 0)) * layer;
  switch (orientation) {
    case SliceOrientation::Top:
      width_ = sizeX, height_ = sizeY, layers_ = sizeZ;
      origin_ = 0, stepU_ = 1, stepV_ = row, stepLayer_ = layer;
      break;
    case SliceOrientation::Front:
      width_ = sizeX, height_ = sizeZ, layers_ = sizeY;
      origin_ = topZ, stepU_ = 1, stepV_ = -layer, stepLayer_ = row;
      break;
    case SliceOrientation::Side:
      width_ = sizeY, height_ = sizeZ, layers_ = sizeX;
      origin_ = topZ, stepU_ = row, stepV_ = -layer, stepLayer_ = 1;
      break;
  }
}

int PlaneMap::ClampLayer(int layer) const {
  return layers_ <= 0 ? 0 : std::clamp(layer, 0, layers_ - 1);
}

ModelCell PlaneMap::Cell(int u, int v, int layer) const {
  switch (orientation_) {
    case SliceOrientation::Front:
      return {u, layer, sizeZ_ - 1 - v};
    case SliceOrientation::Side:
      return {layer, u, sizeZ_ - 1 - v};
    case SliceOrientation::Top:
      break;
  }
  return {u, v, layer};
}

PlaneCell PlaneMap::Plane(int x, int y, int z) const {
  switch (orientation_) {
    case SliceOrientation::Front:
      return {x, sizeZ_ - 1 - z, y};
    case SliceOrientation::Side:
      return {y, sizeZ_ - 1 - z, x};
    case SliceOrientation::Top:
      break;
  }
  return {x, y, z};
}

CellBox PlaneMap::Box(int u0, int v0, int u1, int v1, int l0, int l1) const {
  if (u0 > u1 || v0 > v1 || l0 > l1) return {};
  const ModelCell a = Cell(u0, v0, l0), b = Cell(u1, v1, l1);
  return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::min(a.Z, b.Z),
          std::max(a.X, b.X), std::max(a.Y, b.Y), std::max(a.Z, b.Z)};
}

std::pair<int, int> PlaneMap::LayerRange(const CellBox& box) const {
  switch (orientation_) {
    case SliceOrientation::Front:
      return {box.Y0, box.Y1};
    case SliceOrientation::Side:
      return {box.X0, box.X1};
    case SliceOrientation::Top:
      break;
  }
  return {box.Z0, box.Z1};
}
