#pragma once
// The surface-normal sets of the two games: unit vectors in the model's own axes
// (x along SizeX, y along SizeY, z up the layers), pointing out of the surface. A
// voxel's normal byte is an index into the set of its model's NormalType.

#include <cstdint>
#include <optional>
#include <span>

struct NormalVector {
  double X, Y, Z;
};

constexpr int TiberianSunNormals = 2;  // 36 vectors
constexpr int RedAlert2Normals = 4;    // 244 vectors

// The set of a normal version; empty for any version but 2 and 4.
std::span<const NormalVector> NormalTable(int normalType);

// The index of the set's vector nearest in direction to (x, y, z): the largest dot
// product, the lowest index among equals. -1 for an empty set, a zero vector or one
// that is not finite. Fast enough to be asked once per voxel.
int NearestNormal(int normalType, double x, double y, double z);

// The normal of an index as a colour (red low, as palette entries): each component v
// becomes round(255 * (v + 1) / 2). None for an index beyond the set.
std::optional<std::int32_t> DirectionColour(int normalType, int index);
