#pragma once
// Slicing the model from any of three sides. The slice view always shows a plane of
// columns u (left to right) and rows v (top to bottom) of one layer; the orientation says
// which model axis each of them follows:
//
//   Top   (layers along Z): u = X, v = Y (Y grows downwards), layer = Z
//   Front (layers along Y): u = X, v = Z (Z grows upwards: z = SizeZ - 1 is the top row),
//                           layer = Y
//   Side  (layers along X): u = Y, v = Z (Z grows upwards, as in Front), layer = X
//
// A layer's number is the cell's own coordinate on the layer axis. The underlay of a
// layer L is what lies on the layers before it (0 to L - 1) along that axis, the
// nearest non-empty one winning, just as Top shows what lies below.

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "model/EditStep.h"

enum class SliceOrientation : std::uint8_t { Top, Front, Side };

constexpr std::array<SliceOrientation, 3> AllOrientations = {
    SliceOrientation::Top, SliceOrientation::Front, SliceOrientation::Side};

// The name the orientation dialog offers.
const char* OrientationText(SliceOrientation orientation);

struct ModelCell {
  int X = 0, Y = 0, Z = 0;
  bool operator==(const ModelCell&) const = default;
};

struct PlaneCell {
  int U = 0, V = 0, Layer = 0;
  bool operator==(const PlaneCell&) const = default;
};

// The slicing of a model of given sizes in one orientation.
class PlaneMap {
 public:
  PlaneMap() = default;
  PlaneMap(int sizeX, int sizeY, int sizeZ, SliceOrientation orientation);
  PlaneMap(const TVoxelModel& model, SliceOrientation orientation)
      : PlaneMap(model.SizeX, model.SizeY, model.SizeZ, orientation) {}

  SliceOrientation Orientation() const { return orientation_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Layers() const { return layers_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0 || layers_ <= 0; }
  bool Inside(int u, int v) const { return u >= 0 && u < width_ && v >= 0 && v < height_; }
  // A layer number kept inside 0 to Layers() - 1 (0 for an empty model).
  int ClampLayer(int layer) const;
  // Rows run against their model axis (Z upwards) in Front and Side.
  bool RowsReversed() const { return orientation_ != SliceOrientation::Top; }

  ModelCell Cell(int u, int v, int layer) const;
  PlaneCell Plane(int x, int y, int z) const;

  // Grid index of (u, v, layer), and how far one step along each plane axis moves in the
  // grid; valid for cells of a non-empty map.
  std::ptrdiff_t Offset(int u, int v, int layer) const {
    return origin_ + u * stepU_ + v * stepV_ + layer * stepLayer_;
  }
  std::ptrdiff_t StepU() const { return stepU_; }
  std::ptrdiff_t StepV() const { return stepV_; }
  std::ptrdiff_t StepLayer() const { return stepLayer_; }

  // The model box of the plane cells u0..u1, v0..v1 on layers l0..l1 (inclusive, low
  // corners first); empty when any range is.
  CellBox Box(int u0, int v0, int u1, int v1, int l0, int l1) const;
  // The first and last layer a model box reaches along the layer axis.
  std::pair<int, int> LayerRange(const CellBox& box) const;
  // The whole plane of one layer.
  CellBox LayerBox(int layer) const { return Box(0, 0, width_ - 1, height_ - 1, layer, layer); }

 private:
  SliceOrientation orientation_ = SliceOrientation::Top;
  int width_ = 0, height_ = 0, layers_ = 0;
  int sizeZ_ = 0;
  std::ptrdiff_t origin_ = 0, stepU_ = 1, stepV_ = 256, stepLayer_ = 65536;
};
