#pragma once
// Between a MagicaVoxel scene and the editor's sections: one scene model is one section,
// with the same axes, the same colour indices and the palette's colours without alpha.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/ComputeNormals.h"
#include "model/VoxFile.h"
#include "model/VoxelModel.h"

static_assert(MaxSections == 512, "the message below names the limit");
inline constexpr const char* MsgTooManyModels = "Too many models (at most 512)!";
inline constexpr const char* MsgModelsTooLarge = "The models are too large to import together!";
// The cells (two bytes each) the sections of one import may hold: 32 models of the
// largest size. A few bytes of file could otherwise claim many gigabytes.
constexpr std::size_t VoxImportCellBytes = std::size_t(1) << 30;

// A section name holds at most this many bytes of a node name, as many as the
// Properties dialog takes, so that it always ends in a zero byte.
constexpr std::size_t VoxNameBytes = 15;
// The section name of scene model number (from 1): the first VoxNameBytes bytes of its
// node name as the file holds them (less a UTF-8 character the cut would split), or
// "MODEL number".
std::string VoxSectionName(const VoxSceneModel& model, std::size_t number);

// Entry c is colour c without its alpha; entry 0 is black.
PaletteRGB PaletteFromVox(const VoxPalette& palette);
// Colour c with alpha 255; entry 0, which no voxel uses, is 0.
VoxPalette VoxPaletteFrom(const PaletteRGB& palette);

// Replaces section by model number (from 1) as New would make one of its size (tailer,
// NormalType as given), then its voxels with normal 0, the name and the palette.
void SectionFromVox(const VoxSceneModel& model, std::size_t number, const VoxPalette& palette,
                    TVoxelModel& section, std::uint8_t normalType = 2);

// The section's voxels with a colour, in storage order. A voxel of colour 0 (a normal
// only) has no place in the format: the count of those left out is returned.
std::size_t VoxModelFromSection(const SectionView& section, VoxSceneModel& model);

// How the sections of an imported scene get their normals: the set, and whether and
// how widely they are computed (as "Calculate Normals" computes them).
struct VoxImportOptions {
  std::uint8_t NormalType = 2;
  bool ComputeNormals = true;
  int Radius = DefaultSmoothing;
};

// Replaces the whole model by the scene: one section per scene model, in order, section
// 0 edited, the scene's palette. Returns nullptr, or the message for the user with the
// model left exactly as it was: every section is made before the model is touched.
const char* ModelFromVoxScene(const VoxScene& scene, TVoxelModel& model,
                              const VoxImportOptions& options = {});

// One scene model per section, in order, and the palette; returns the count of voxels
// left out over all sections.
std::size_t VoxSceneFromModel(const TVoxelModel& model, VoxScene& scene);
