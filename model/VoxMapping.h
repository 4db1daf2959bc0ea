#pragma once
// Between a MagicaVoxel scene and the editor's sections: one scene model is one section,
// with the same axes, the same colour indices and the palette's colours without alpha.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/VoxFile.h"
#include "model/VoxelModel.h"

// The section name of scene model number (from 1): its node name cut to 15 bytes (never
// inside a UTF-8 sequence), or "MODEL number" when it has none.
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
std::size_t VoxModelFromSection(const TVoxelModel& section, VoxSceneModel& model);
