#pragma once
// MagicaVoxel model files (*.vox): a chunked file of models, each a size and a list of
// coloured voxels, with one 256-colour palette. Read into, and written from, a plain
// scene that knows nothing of the editor's model; VoxMapping.h turns one into the other.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/SafeFile.h"

inline constexpr const char* MsgModelTooLarge = "Model is too large (at most 255 per side)!";

// One voxel exactly as the file stores it.
struct VoxVoxel {
  std::uint8_t X = 0, Y = 0, Z = 0;
  std::uint8_t Colour = 0;  // 1-255; a record of 0 in a file empties its cell
  bool operator==(const VoxVoxel&) const = default;
};
static_assert(sizeof(VoxVoxel) == 4, "voxels are read and written as the file's bytes");

struct VoxSceneModel {
  std::uint8_t SizeX = 0, SizeY = 0, SizeZ = 0;  // 1-255 once read
  // Once read: inside the size, colours 1-255, one a cell (the file's last record for
  // it, none where that has colour 0), x fastest, then y, then z.
  std::vector<VoxVoxel> Voxels;
  std::string Name;                              // from the scene graph; empty when none
};

// Colour index c is entry c, as 0xAABBGGRR (red in the low byte, as in the file).
// Entry 0 is never used by a voxel.
using VoxPalette = std::array<std::uint32_t, 256>;

struct VoxScene {
  std::int32_t Version = 150;
  std::vector<VoxSceneModel> Models;  // in file order
  VoxPalette Palette{};
  bool PaletteInFile = false;  // false: the default palette stands in
};

// The palette a file without an 'RGBA' chunk uses.
const VoxPalette& VoxDefaultPalette();

enum class VoxStatus {
  Ok,
  FileNotFound,     // "File not found!"
  IncorrectFormat,  // "Incorrect Format!"
  TooLarge,         // "Model is too large (at most 255 per side)!"
};

// The user-facing text of a rejection; empty for Ok.
const char* VoxStatusMessage(VoxStatus status);

// Replaces scene by the file's contents, or leaves it as it was and says why. Any bytes
// are taken: every size is checked against the bytes really there before it is used.
// error, when given, receives the system's reason a file could not be opened (errno;
// EISDIR for a folder), and 0 otherwise.
VoxStatus ReadVoxFile(const std::string& path, VoxScene& scene, int* error = nullptr);
VoxStatus ReadVoxBytes(std::span<const std::uint8_t> bytes, VoxScene& scene);

// The version-150 layout every reader takes: 'SIZE' and 'XYZI' per model in order, then
// 'RGBA' (entry c - 1 = palette entry c, the last entry opaque black). Names are not
// written. The voxels are written as they stand, so they must lie inside their model's
// size.
std::vector<std::uint8_t> EncodeVox(const VoxScene& scene);
// The same through SafeFileWriter: a failed write leaves the previous file whole.
FileResult WriteVoxFile(const std::string& path, const VoxScene& scene);
