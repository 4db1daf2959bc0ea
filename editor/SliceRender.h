#pragma once
// The slice view's render: the plane of one layer of the model in the current
// orientation, enlarged, with its underlay.

#include <array>
#include <cstdint>
#include <optional>

#include "editor/Orientation.h"
#include "editor/PixelBuffer.h"
#include "model/VoxelModel.h"

// View state that the render reads. Only CurrentLayer changes with a new model.
struct SliceViewState {
  std::int32_t CurrentLayer = 0;
  std::int32_t Zoom = 8;
  bool NormalsMode = false;
  bool UnderlayHidden = false;
  std::uint8_t LeftColor = 15;
  std::uint8_t RightColor = 0;
  std::int32_t BackgroundColour = PackRGB(46, 84, 112);  // a fixed deep slate; model colour layout
  SliceOrientation Orientation = SliceOrientation::Top;  // CurrentLayer counts along its axis
  // Normals mode shows each coloured voxel's normal by the colour of its direction.
  bool DirectionColours = false;
};

// Rebuilt by every render; indexed u + 256 * v in plane coordinates (x + 256 * y in Top).
struct SlicePlanes {
  std::array<std::uint8_t, LayerCells> UnderlayPlane{};
  std::array<std::uint8_t, LayerCells> ColourBelowPlane{};
};

// Steps 1-3 of the render: sizes the buffer to the plane's width*Zoom by height*Zoom, fills
// the background, rebuilds the planes and draws every cell. A model with no extent gives
// an empty image.
void RenderSlice(const TVoxelModel& model, const SliceViewState& view, SlicePlanes& planes,
                 PixelBuffer& slice);

// The colour the plane cell (u, v) of the current layer is drawn in (model colour layout),
// or nothing.
std::optional<std::int32_t> CellColour(const TVoxelModel& model, const SliceViewState& view,
                                       const SlicePlanes& planes, unsigned u, unsigned v);

// How a coloured voxel with normal index n is drawn in normals mode: grey(n), or with
// direction colours the colour of its vector in the model's set (grey for an index
// beyond the set).
std::int32_t NormalIndexColour(const TVoxelModel& model, const SliceViewState& view, unsigned n);

// The colour the cell would show if value were stored in the edited grid (Colours in
// colours mode, Normals in normals mode); the background where nothing is drawn.
std::int32_t PreviewColour(const TVoxelModel& model, const SliceViewState& view,
                           const SlicePlanes& planes, unsigned u, unsigned v, std::uint8_t value);
