#pragma once
// Small models that the project ships as samples, made with its own writer.

#include <cstdint>

#include "model/VoxelModel.h"

// The start-up sixteen colours, then shaded ramps the samples paint with.
PaletteRGB SamplePalette();

// The face a surface voxel shows most. A voxel with no empty neighbour counts as facing
// up.
enum class Face { Up, Down, Front, Back, Left, Right };
Face DominantFace(const TVoxelModel& model, unsigned x, unsigned y, unsigned z);

// A face's outward direction: +Z, -Z, +X, -X, +Y, -Y in the order of Face.
struct FaceDirection {
  int X, Y, Z;
};
FaceDirection DirectionOf(Face face);

// The normal of the set of normalType nearest to the face's direction, so that the
// samples look right lit as the games light them; 0 for a version without a set.
std::uint8_t FaceNormal(int normalType, Face face);

// Each replaces the whole model: extent, cells, palette, name, normal version, tailer.
void MakeTank(TVoxelModel& model);    // 34 x 16 x 10: tracks, hull, turret and barrel
void MakeSphere(TVoxelModel& model);  // 21 x 21 x 21, radius 10
void MakeDot(TVoxelModel& model);     // 1 x 1 x 1, one voxel
