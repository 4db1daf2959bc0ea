#pragma once
// The 3D view's render: every non-empty voxel turned by three angles and drawn as one
// pixel of a 448 x 448 bitmap, nearest wins; lit by the voxels' normals on request.

#include <array>
#include <cstdint>
#include <memory>

#include "editor/PixelBuffer.h"
#include "model/VoxelModel.h"

constexpr int ViewSide = 448;
constexpr int ViewCells = ViewSide * ViewSide;
constexpr int ViewFillSide = 384;  // the cleared square (0,0)-(384,384)

// sin(2*pi*k/256) for k = 0..63, single precision.
using SineTableType = std::array<float, 64>;
SineTableType MakeSineTable();
// Sine and cosine of an angle step (256 steps per turn); 0 outside 0..255.
float SinStep(const SineTableType& table, int n);
float CosStep(const SineTableType& table, int n);

// Buffers owned by the main window, allocated once.
struct View3DBuffers {
  View3DBuffers();
  SineTableType SineTable;
  std::unique_ptr<std::uint8_t[]> ViewIndexBuffer;   // c + 448 * r
  std::unique_ptr<float[]> DepthBuffer;              // c + 448 * r
  std::unique_ptr<std::uint8_t[]> ViewNormalBuffer;  // c + 448 * r, kept by lit renders only
  PixelBuffer ViewBitmap;                            // 448 x 448
};

// Steps 1-5: clears the fill square to background (0xFFRRGGBB), clears and fills the
// working square of the index and depth buffers and sets the voxels' pixels. With
// lighting, the normal buffer keeps the normal index of each pixel's voxel too, and a
// pixel is its colour lit by that normal (the model's set, turned like the cells; see
// LightShade); an index beyond the set, or a version without one, keeps the plain colour.
void RenderView(const TVoxelModel& model, int ax, int ay, int az, std::int16_t viewSpan,
                Pixel background, View3DBuffers& buffers, bool lighting = false);
