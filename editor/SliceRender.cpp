#include "editor/SliceRender.h"

#include <algorithm>
#include <cstring>

#include "model/NormalTables.h"

namespace {

constexpr std::int32_t Red = PackRGB(255, 0, 0);

// The layer shown; writers keep CurrentLayer in range, but a stray value must never
// make the render read past the grid.
int ShownLayer(const PlaneMap& map, const SliceViewState& view) {
  return map.ClampLayer(view.CurrentLayer);
}

// Normals mode codes presence the same way on the layer and in the underlay: value v
// (a normal index) and whether a coloured voxel is there.
std::optional<std::int32_t> NormalCode(const TVoxelModel& model, const SliceViewState& view,
                                       unsigned v, bool coloured) {
  if (coloured) return NormalIndexColour(model, view, v);
  if (v != 0) return Red;
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
  if (n != 0 || c != 0) return NormalCode(model, view, n, c != 0);
  if (view.UnderlayHidden) return std::nullopt;
  return NormalCode(model, view, u, b != 0);
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

// For each of the count rows of one layer, the nearest non-zero value before position n
// (the last one in storage order), or 0. Searching backwards stops at once inside solid
// parts and skips empty runs a word at a time. Where more than a line of each row is
// searched, the row's lines beyond n are touched first: with whole rows read, the reads
// form one unbroken stream, which the memory serves several times faster than rows with
// gaps.
void LastNonZeroRows(const std::uint8_t* first, int count, int n, std::uint8_t* out) {
  for (int r = 0; r < count; ++r) {
    const std::uint8_t* row = first + (std::size_t(r) << 8);
    const volatile std::uint8_t* touch = row;
    if (n > 64)
      for (int k = (n + 63) & ~63; k < int(GridSide); k += 64) (void)touch[k];
    int end = n;
    for (; end >= 8; end -= 8) {
      std::uint64_t w;
      std::memcpy(&w, row + end - 8, sizeof w);
      if (w != 0) break;
    }
    out[r] = 0;
    for (int k = end - 1; k >= 0; --k)
      if (row[k] != 0) {
        out[r] = row[k];
        break;
      }
  }
}

bool AnyNonZero(const std::uint8_t* row, int n) {
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    std::uint64_t w;
    std::memcpy(&w, row + k, sizeof w);
    if (w != 0) return true;
  }
  for (; k < n; ++k)
    if (row[k] != 0) return true;
  return false;
}

// The planes cover the map's width x height. Each orientation walks the grid in storage
// order: Top and Front stack whole rows of X, Side scans along X within each row.
void RebuildPlanes(const TVoxelModel& model, const SliceViewState& view, const PlaneMap& map,
                   int layer, SlicePlanes& planes) {
  const int w = map.Width(), h = map.Height();
  std::uint8_t* under = planes.UnderlayPlane.data();
  std::uint8_t* below = planes.ColourBelowPlane.data();
  const VoxelGrid& shown = view.NormalsMode ? model.Normals : model.Colours;
  if (map.Orientation() == SliceOrientation::Side) {
    for (int v = 0; v < h; ++v) {
      const unsigned z = unsigned(map.Cell(0, v, 0).Z);
      const std::size_t row = CellIndex(0, 0, z);
      LastNonZeroRows(shown.data() + row, w, layer, under + (v << 8));
      if (!view.NormalsMode) continue;
      for (int u = 0; u < w; ++u)
        below[(v << 8) + u] =
            std::uint8_t(AnyNonZero(model.Colours.data() + row + (std::size_t(u) << 8), layer));
    }
    return;
  }
  for (int v = 0; v < h; ++v) {
    std::memset(under + (v << 8), 0, std::size_t(w));
    if (view.NormalsMode) std::memset(below + (v << 8), 0, std::size_t(w));
  }
  if (map.Orientation() == SliceOrientation::Front) {
    for (int v = 0; v < h; ++v) {
      const unsigned z = unsigned(map.Cell(0, v, 0).Z);
      for (int y = 0; y < layer; ++y) {
        const std::size_t row = CellIndex(0, unsigned(y), z);
        KeepNonZero(under + (v << 8), shown.data() + row, w);
        if (view.NormalsMode) MarkNonZero(below + (v << 8), model.Colours.data() + row, w);
      }
    }
    return;
  }
  for (int z = 0; z < layer; ++z) {
    const std::uint8_t* s = shown.layer(unsigned(z));
    for (int y = 0; y < h; ++y) KeepNonZero(under + (y << 8), s + (y << 8), w);
    if (!view.NormalsMode) continue;
    const std::uint8_t* c = model.Colours.layer(unsigned(z));
    for (int y = 0; y < h; ++y) MarkNonZero(below + (y << 8), c + (y << 8), w);
  }
}

void Repeat(Pixel* out, Pixel p, int zoom) {
  for (int k = 0; k < zoom; ++k) out[k] = p;
}

// One row of cells, StepU apart in the grid (1 along X, 256 along Y), each zoom pixels wide.
template <std::ptrdiff_t StepU>
void DrawRow(Pixel* out, const std::uint8_t* c, const std::uint8_t* n, const std::uint8_t* u,
             const std::uint8_t* b, int w, int zoom, bool normalsMode, bool underlay,
             const Pixel* table) {
  if (!normalsMode) {
    for (int x = 0; x < w; ++x) {
      const unsigned cell = c[x * StepU];
      const unsigned shown = cell != 0 ? cell : (underlay ? u[x] : 0u);
      Repeat(out + x * zoom, table[shown], zoom);
    }
  } else {
    for (int x = 0; x < w; ++x) {
      const unsigned cc = c[x * StepU], nn = n[x * StepU];
      unsigned key = 0;
      if (nn != 0 || cc != 0)
        key = (cc != 0 ? 256u : 0u) | nn;
      else if (underlay)
        key = (b[x] != 0 ? 256u : 0u) | u[x];
      Repeat(out + x * zoom, table[key], zoom);
    }
  }
}

}  // namespace

void RenderSlice(const TVoxelModel& model, const SliceViewState& view, SlicePlanes& planes,
                 PixelBuffer& slice) {
  const int zoom = std::clamp<int>(view.Zoom, 1, 16);
  const PlaneMap map(model, view.Orientation);
  const int w = map.Width(), h = map.Height();
  const Pixel background = ToPixel(view.BackgroundColour);
  slice.Resize(w * zoom, h * zoom);
  if (map.Empty()) {
    slice.Fill(background);
    return;
  }
  const int layer = ShownLayer(map, view);
  RebuildPlanes(model, view, map, layer, planes);

  // Every pixel of the image belongs to exactly one cell, so each is written once here
  // instead of filling the background first and drawing over it.
  //
  // Colours mode looks up Palette by the index shown (entry 0 stands for the background).
  // Normals mode looks up by (coloured << 8 | normal): the normal's colour, red or background.
  Pixel table[512];
  if (!view.NormalsMode) {
    table[0] = background;
    for (int i = 1; i < 256; ++i) table[i] = ToPixel(model.Palette[i]);
  } else {
    table[0] = background;
    table[256] = ToPixel(NormalIndexColour(model, view, 0));
    for (int i = 1; i < 256; ++i) {
      table[i] = ToPixel(Red);
      table[256 + i] = ToPixel(NormalIndexColour(model, view, unsigned(i)));
    }
  }
  const bool underlay = !view.UnderlayHidden;
  const int width = w * zoom;
  const bool alongY = map.StepU() != 1;
  for (int v = 0; v < h; ++v) {
    const std::ptrdiff_t at = map.Offset(0, v, layer);
    const std::uint8_t* c = model.Colours.data() + at;
    const std::uint8_t* n = model.Normals.data() + at;
    const std::uint8_t* u = planes.UnderlayPlane.data() + (v << 8);
    const std::uint8_t* b = planes.ColourBelowPlane.data() + (v << 8);
    Pixel* out = slice.Row(v * zoom);
    if (alongY)
      DrawRow<std::ptrdiff_t(GridSide)>(out, c, n, u, b, w, zoom, view.NormalsMode, underlay,
                                        table);
    else
      DrawRow<1>(out, c, n, u, b, w, zoom, view.NormalsMode, underlay, table);
    for (int r = 1; r < zoom; ++r)
      std::memcpy(slice.Row(v * zoom + r), out, std::size_t(width) * sizeof(Pixel));
  }
}

std::int32_t NormalIndexColour(const TVoxelModel& model, const SliceViewState& view, unsigned n) {
  if (view.DirectionColours)
    if (const auto colour = DirectionColour(model.NormalType, int(n))) return *colour;
  return Grey(n);
}

std::optional<std::int32_t> CellColour(const TVoxelModel& model, const SliceViewState& view,
                                       const SlicePlanes& planes, unsigned u, unsigned v) {
  const PlaneMap map(model, view.Orientation);
  if (map.Empty() || !map.Inside(int(u), int(v))) return std::nullopt;
  const std::ptrdiff_t cell = map.Offset(int(u), int(v), ShownLayer(map, view));
  const std::size_t flat = u + (std::size_t(v) << 8);
  return ColourOf(model, view, model.Colours[std::size_t(cell)], model.Normals[std::size_t(cell)],
                  planes.UnderlayPlane[flat], planes.ColourBelowPlane[flat]);
}

std::int32_t PreviewColour(const TVoxelModel& model, const SliceViewState& view,
                           const SlicePlanes& planes, unsigned u, unsigned v, std::uint8_t value) {
  const PlaneMap map(model, view.Orientation);
  if (map.Empty() || !map.Inside(int(u), int(v))) return view.BackgroundColour;
  const std::size_t cell = std::size_t(map.Offset(int(u), int(v), ShownLayer(map, view)));
  const std::size_t flat = u + (std::size_t(v) << 8);
  std::uint8_t c = model.Colours[cell];
  std::uint8_t n = model.Normals[cell];
  (view.NormalsMode ? n : c) = value;
  return ColourOf(model, view, c, n, planes.UnderlayPlane[flat], planes.ColourBelowPlane[flat])
      .value_or(view.BackgroundColour);
}
