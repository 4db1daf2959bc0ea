#include "editor/SliceRender.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::int32_t Red = PackRGB(255, 0, 0);
constexpr std::int32_t Black = 0;

// The layer shown; writers keep CurrentLayer in range, but a stray value must never
// make the render read past the grid.
int ShownLayer(const TVoxelModel& model, const SliceViewState& view) {
  if (model.SizeZ == 0) return 0;
  return std::clamp<int>(view.CurrentLayer, 0, model.SizeZ - 1);
}

bool InsideLayer(const TVoxelModel& model, unsigned x, unsigned y) {
  return model.SizeZ != 0 && x < model.SizeX && y < model.SizeY;
}

// Normals mode codes presence the same way on the layer and in the underlay: value v
// (a normal index) and whether a coloured voxel is there.
std::optional<std::int32_t> NormalCode(unsigned v, bool coloured) {
  if (v != 0) return coloured ? Grey(v) : Red;
  if (coloured) return Black;
  return std::nullopt;
}

std::optional<std::int32_t> ColourOf(const TVoxelModel& model, const SliceViewState& view,
                                     std::uint8_t c, std::uint8_t n, std::uint8_t u,
                                     std::uint8_t b) {
  if (!view.NormalsMode) {
    if (c != 0) return model.Palette[c];
    if (!view.UnderlayHidden && u != 0) return model.Palette[u];
    return std::nullopt;
  }
  if (n != 0 || c != 0) return NormalCode(n, c != 0);
  if (view.UnderlayHidden) return std::nullopt;
  return NormalCode(u, b != 0);
}

// Rows of the planes are rebuilt layer by layer in storage order. The fixed-size blocks let
// the compiler turn each into a few vector operations at any optimisation level.
constexpr int Block = 16;

// Keeps the last non-zero value seen, so the highest voxel below wins.
void KeepNonZero(std::uint8_t* __restrict plane, const std::uint8_t* __restrict row, int n) {
  int x = 0;
  for (; x + Block <= n; x += Block)
    for (int k = 0; k < Block; ++k) plane[x + k] = row[x + k] != 0 ? row[x + k] : plane[x + k];
  for (; x < n; ++x) plane[x] = row[x] != 0 ? row[x] : plane[x];
}

void MarkNonZero(std::uint8_t* __restrict plane, const std::uint8_t* __restrict row, int n) {
  int x = 0;
  for (; x + Block <= n; x += Block)
    for (int k = 0; k < Block; ++k) plane[x + k] |= std::uint8_t(row[x + k] != 0);
  for (; x < n; ++x) plane[x] |= std::uint8_t(row[x] != 0);
}

void RebuildPlanes(const TVoxelModel& model, const SliceViewState& view, int layer,
                   SlicePlanes& planes) {
  const int sx = model.SizeX, sy = model.SizeY;
  std::uint8_t* under = planes.UnderlayPlane.data();
  std::uint8_t* below = planes.ColourBelowPlane.data();
  for (int y = 0; y < sy; ++y) {
    std::memset(under + (y << 8), 0, std::size_t(sx));
    if (view.NormalsMode) std::memset(below + (y << 8), 0, std::size_t(sx));
  }
  const VoxelGrid& shown = view.NormalsMode ? model.Normals : model.Colours;
  for (int z = 0; z < layer; ++z) {
    const std::uint8_t* s = shown.layer(unsigned(z));
    for (int y = 0; y < sy; ++y) KeepNonZero(under + (y << 8), s + (y << 8), sx);
    if (!view.NormalsMode) continue;
    const std::uint8_t* c = model.Colours.layer(unsigned(z));
    for (int y = 0; y < sy; ++y) MarkNonZero(below + (y << 8), c + (y << 8), sx);
  }
}

void Repeat(Pixel* out, Pixel p, int zoom) {
  for (int k = 0; k < zoom; ++k) out[k] = p;
}

}  // namespace

void RenderSlice(const TVoxelModel& model, const SliceViewState& view, SlicePlanes& planes,
                 PixelBuffer& slice) {
  const int zoom = std::clamp<int>(view.Zoom, 1, 16);
  const int sx = model.SizeX, sy = model.SizeY;
  const Pixel background = ToPixel(view.BackgroundColour);
  slice.Resize(sx * zoom, sy * zoom);
  if (model.SizeZ == 0) {
    slice.Fill(background);
    return;
  }
  const int layer = ShownLayer(model, view);
  RebuildPlanes(model, view, layer, planes);

  // Every pixel of the image belongs to exactly one cell, so each is written once here
  // instead of filling the background first and drawing over it.
  //
  // Colours mode looks up Palette by the index shown (entry 0 stands for the background).
  // Normals mode looks up by (coloured << 8 | normal): grey, black, red or background.
  Pixel table[512];
  if (!view.NormalsMode) {
    table[0] = background;
    for (int i = 1; i < 256; ++i) table[i] = ToPixel(model.Palette[i]);
  } else {
    table[0] = background;
    table[256] = ToPixel(Black);
    for (int i = 1; i < 256; ++i) {
      table[i] = ToPixel(Red);
      table[256 + i] = ToPixel(Grey(unsigned(i)));
    }
  }
  const bool underlay = !view.UnderlayHidden;
  const int width = sx * zoom;
  const std::uint8_t* colours = model.Colours.layer(unsigned(layer));
  const std::uint8_t* normals = model.Normals.layer(unsigned(layer));
  for (int y = 0; y < sy; ++y) {
    const std::uint8_t* c = colours + (y << 8);
    const std::uint8_t* n = normals + (y << 8);
    const std::uint8_t* u = planes.UnderlayPlane.data() + (y << 8);
    const std::uint8_t* b = planes.ColourBelowPlane.data() + (y << 8);
    Pixel* out = slice.Row(y * zoom);
    if (!view.NormalsMode) {
      for (int x = 0; x < sx; ++x) {
        const unsigned shown = c[x] != 0 ? c[x] : (underlay ? u[x] : 0u);
        Repeat(out + x * zoom, table[shown], zoom);
      }
    } else {
      for (int x = 0; x < sx; ++x) {
        unsigned key = 0;
        if (n[x] != 0 || c[x] != 0)
          key = (c[x] != 0 ? 256u : 0u) | n[x];
        else if (underlay)
          key = (b[x] != 0 ? 256u : 0u) | u[x];
        Repeat(out + x * zoom, table[key], zoom);
      }
    }
    for (int r = 1; r < zoom; ++r)
      std::memcpy(slice.Row(y * zoom + r), out, std::size_t(width) * sizeof(Pixel));
  }
}

std::optional<std::int32_t> CellColour(const TVoxelModel& model, const SliceViewState& view,
                                       const SlicePlanes& planes, unsigned x, unsigned y) {
  if (!InsideLayer(model, x, y)) return std::nullopt;
  const std::size_t cell = CellIndex(x, y, unsigned(ShownLayer(model, view)));
  const std::size_t flat = CellIndex(x, y, 0);
  return ColourOf(model, view, model.Colours[cell], model.Normals[cell], planes.UnderlayPlane[flat],
                  planes.ColourBelowPlane[flat]);
}

std::int32_t PreviewColour(const TVoxelModel& model, const SliceViewState& view,
                           const SlicePlanes& planes, unsigned x, unsigned y, std::uint8_t value) {
  if (!InsideLayer(model, x, y)) return view.BackgroundColour;
  const std::size_t cell = CellIndex(x, y, unsigned(ShownLayer(model, view)));
  const std::size_t flat = CellIndex(x, y, 0);
  std::uint8_t c = model.Colours[cell];
  std::uint8_t n = model.Normals[cell];
  (view.NormalsMode ? n : c) = value;
  return ColourOf(model, view, c, n, planes.UnderlayPlane[flat], planes.ColourBelowPlane[flat])
      .value_or(view.BackgroundColour);
}
