#include "editor/LayerClipboard.h"

#include <algorithm>
#include <cstring>

#include "editor/DrawOps.h"
#include "editor/PixelBuffer.h"

namespace {

constexpr std::uint8_t Magic[8] = {'K', 'O', 'B', 'L', 'A', 'Y', 'E', 'R'};
constexpr unsigned Version = 1;
constexpr std::size_t HeaderBytes = 16;

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(std::uint8_t(v & 0xFF));
  out.push_back(std::uint8_t((v >> 8) & 0xFF));
}

unsigned Get16(const std::uint8_t* p) {
  return unsigned(p[0]) | unsigned(p[1]) << 8;
}

// The part of a width x height clip that lands in the plane: columns 0 to Columns - 1,
// clip rows FirstRow to LastRow, clip row r on plane row r + Shift.
struct Fit {
  int Columns = 0, FirstRow = 0, LastRow = -1, Shift = 0;

  Fit(const PlaneMap& plane, int width, int height) {
    if (plane.Empty() || width <= 0 || height <= 0) return;
    Columns = std::min(width, plane.Width());
    // Rows that run against Z line up at the bottom, the lowest z.
    Shift = plane.RowsReversed() ? plane.Height() - height : 0;
    FirstRow = std::max(0, -Shift);
    LastRow = std::min(height - 1, plane.Height() - 1 - Shift);
  }
  bool Empty() const { return Columns <= 0 || FirstRow > LastRow; }
  CellBox Box(const PlaneMap& plane, int layer) const {
    return Empty() ? CellBox{}
                   : plane.Box(0, FirstRow + Shift, Columns - 1, LastRow + Shift, layer, layer);
  }
};

}  // namespace

LayerClip CopyLayer(const TVoxelModel& model, SliceOrientation orientation, int layer) {
  const PlaneMap plane(model, orientation);
  LayerClip clip;
  if (plane.Empty()) return clip;
  layer = plane.ClampLayer(layer);
  clip.Width = plane.Width();
  clip.Height = plane.Height();
  clip.Colours.resize(std::size_t(clip.Width) * std::size_t(clip.Height));
  clip.Normals.resize(clip.Colours.size());
  std::size_t i = 0;
  for (int v = 0; v < clip.Height; ++v)
    for (int u = 0; u < clip.Width; ++u, ++i) {
      const std::size_t cell = std::size_t(plane.Offset(u, v, layer));
      clip.Colours[i] = model.Colours[cell];
      clip.Normals[i] = model.Normals[cell];
    }
  return clip;
}

std::vector<std::uint8_t> EncodeLayerClip(const LayerClip& clip) {
  std::vector<std::uint8_t> out(Magic, Magic + sizeof Magic);
  Put16(out, Version);
  Put16(out, unsigned(clip.Width));
  Put16(out, unsigned(clip.Height));
  Put16(out, 0);
  out.insert(out.end(), clip.Colours.begin(), clip.Colours.end());
  out.insert(out.end(), clip.Normals.begin(), clip.Normals.end());
  return out;
}

std::optional<LayerClip> DecodeLayerClip(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < HeaderBytes) return std::nullopt;
  if (std::memcmp(data, Magic, sizeof Magic) != 0) return std::nullopt;
  if (Get16(data + 8) != Version || Get16(data + 14) != 0) return std::nullopt;
  const unsigned w = Get16(data + 10), h = Get16(data + 12);
  if (w < 1 || w > 255 || h < 1 || h > 255) return std::nullopt;
  const std::size_t cells = std::size_t(w) * h;
  if (size != HeaderBytes + 2 * cells) return std::nullopt;
  LayerClip clip;
  clip.Width = int(w);
  clip.Height = int(h);
  clip.Colours.assign(data + HeaderBytes, data + HeaderBytes + cells);
  clip.Normals.assign(data + HeaderBytes + cells, data + size);
  return clip;
}

std::vector<std::uint32_t> LayerClipImage(const LayerClip& clip, const PaletteRGB& palette) {
  std::vector<std::uint32_t> image(clip.Colours.size());
  for (std::size_t i = 0; i < image.size(); ++i) {
    const std::uint8_t c = clip.Colours[i];
    image[i] = c == 0 ? 0u : ToPixel(palette[c]);
  }
  return image;
}

std::uint8_t NearestPaletteIndex(const PaletteRGB& palette, unsigned red, unsigned green,
                                 unsigned blue) {
  unsigned best = 1;
  long bestDistance = -1;
  for (unsigned i = 1; i < 256; ++i) {
    const long dr = long(RedOf(palette[i])) - long(red);
    const long dg = long(GreenOf(palette[i])) - long(green);
    const long db = long(BlueOf(palette[i])) - long(blue);
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) best = i, bestDistance = d;
  }
  return std::uint8_t(best);
}

std::unique_ptr<CellPatch> PasteLayerClip(TVoxelModel& model, SliceOrientation orientation,
                                          int layer, const LayerClip& clip) {
  const PlaneMap plane(model, orientation);
  const std::size_t cells =
      std::size_t(std::max(clip.Width, 0)) * std::size_t(std::max(clip.Height, 0));
  if (clip.Colours.size() < cells || clip.Normals.size() < cells) return nullptr;
  const Fit fit(plane, clip.Width, clip.Height);
  if (fit.Empty()) return nullptr;
  layer = plane.ClampLayer(layer);
  CellEdit edit(model, fit.Box(plane, layer), "Paste");
  VoxelGrid& colours = edit.Grid(GridKind::Colours);
  VoxelGrid& normals = edit.Grid(GridKind::Normals);
  for (int r = fit.FirstRow; r <= fit.LastRow; ++r)
    for (int u = 0; u < fit.Columns; ++u) {
      const std::size_t cell = std::size_t(plane.Offset(u, r + fit.Shift, layer));
      const std::size_t from = std::size_t(r) * std::size_t(clip.Width) + std::size_t(u);
      colours[cell] = clip.Colours[from];
      normals[cell] = clip.Normals[from];
    }
  return edit.Finish();
}

std::unique_ptr<CellPatch> PasteImage(TVoxelModel& model, SliceOrientation orientation, int layer,
                                      const std::uint32_t* pixels, int width, int height,
                                      int stride) {
  const PlaneMap plane(model, orientation);
  if (pixels == nullptr || stride < width) return nullptr;
  const Fit fit(plane, width, height);
  if (fit.Empty()) return nullptr;
  layer = plane.ClampLayer(layer);
  CellEdit edit(model, fit.Box(plane, layer), "Paste");
  VoxelGrid& colours = edit.Grid(GridKind::Colours);
  VoxelGrid& normals = edit.Grid(GridKind::Normals);
  // Images come in runs of one colour; the search is repeated only when the colour changes.
  std::uint32_t lastRgb = 0;
  std::uint8_t lastIndex = NearestPaletteIndex(model.Palette, 0, 0, 0);
  for (int r = fit.FirstRow; r <= fit.LastRow; ++r)
    for (int u = 0; u < fit.Columns; ++u) {
      const std::uint32_t p = pixels[std::size_t(r) * std::size_t(stride) + std::size_t(u)];
      const std::size_t cell = std::size_t(plane.Offset(u, r + fit.Shift, layer));
      if ((p >> 24) == 0) {
        colours[cell] = 0;
        normals[cell] = 0;
        continue;
      }
      const std::uint32_t rgb = p & 0xFFFFFFu;
      if (rgb != lastRgb) {
        lastRgb = rgb;
        lastIndex =
            NearestPaletteIndex(model.Palette, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
      }
      colours[cell] = lastIndex;
    }
  return edit.Finish();
}

std::unique_ptr<CellPatch> CutLayer(TVoxelModel& model, SliceOrientation orientation, int layer,
                                    LayerClip& clip) {
  clip = CopyLayer(model, orientation, layer);
  const PlaneMap plane(model, orientation);
  if (plane.Empty()) return nullptr;
  layer = plane.ClampLayer(layer);
  CellEdit edit(model, plane.LayerBox(layer), "Cut");
  for (GridKind grid : {GridKind::Colours, GridKind::Normals})
    FillRectOnPlane(edit.Grid(grid), plane, 0, 0, plane.Width() - 1, plane.Height() - 1, layer, 0);
  return edit.Finish();
}
