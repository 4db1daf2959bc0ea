#pragma once
// The current layer on the clipboard, in two flavours: a private format that keeps every
// colour index and normal exactly, and an image of the layer's colours for other programs.
//
// A layer is held as its plane looked on the screen in the orientation it was copied in:
// cell (u, v) at u + Width * v, row 0 at the top. Pasting keeps that look in any
// orientation, as pasting its picture must, and lays its edge on the plane's low edge
// (where the model's coordinates start: the top left in Top, the bottom left in Front and
// Side, where Z grows upwards), dropping what lies beyond the model's extent. Within one
// orientation that is low corner on low corner; across Top and an upright orientation the
// rows keep their screen order rather than their model axis.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "editor/Orientation.h"
#include "model/CellPatch.h"

// The clipboard's name for the private flavour.
constexpr const char* LayerClipMimeType = "application/x-kobaltine-layer";

struct LayerClip {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Colours, Normals;
};

// The plane of one layer; empty for a model with no extent.
LayerClip CopyLayer(const TVoxelModel& model, SliceOrientation orientation, int layer);

// The private flavour: a 16-byte header ("KOBLAYER", then version 1, width, height and a
// zero, each 16 bits little-endian) followed by every colour index, then every normal.
std::vector<std::uint8_t> EncodeLayerClip(const LayerClip& clip);
// The clip the bytes hold; nothing unless they are exactly one well-formed clip of 1 to
// 255 cells a side.
std::optional<LayerClip> DecodeLayerClip(const std::uint8_t* data, std::size_t size);

// The image flavour: 0xAARRGGBB pixels row by row, each cell its palette colour at 1x
// with no underlay, fully transparent where the cell shows no colour (index 0).
std::vector<std::uint32_t> LayerClipImage(const LayerClip& clip, const PaletteRGB& palette);

// The palette entry among 1 to 255 nearest to the colour by plain RGB distance; the
// lowest index of equally near ones.
std::uint8_t NearestPaletteIndex(const PaletteRGB& palette, unsigned red, unsigned green,
                                 unsigned blue);

// Writes the clip's colours and normals into the layer, one step; null when nothing changed.
std::unique_ptr<CellPatch> PasteLayerClip(TVoxelModel& model, SliceOrientation orientation,
                                          int layer, const LayerClip& clip);

// An image from another program: width x height pixels 0xAARRGGBB, not premultiplied,
// rows stride pixels apart. Each pixel becomes its nearest palette colour and keeps the
// normal its cell had; a fully transparent one empties its cell. One step.
std::unique_ptr<CellPatch> PasteImage(TVoxelModel& model, SliceOrientation orientation, int layer,
                                      const std::uint32_t* pixels, int width, int height,
                                      int stride);

// Copies the layer into clip and empties it, one step (null when it was empty already).
std::unique_ptr<CellPatch> CutLayer(TVoxelModel& model, SliceOrientation orientation, int layer,
                                    LayerClip& clip);
