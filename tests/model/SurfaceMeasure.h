#pragma once
// Measuring computed normals: solid spheres whose true normals are known, a plain
// occupancy gradient to compare with, and agreement with normals set by hand. Shared by
// the tests and the benchmark.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "model/NewModel.h"
#include "model/ComputeNormals.h"
#include "model/NormalTables.h"

// A cell is filled when its colour is not 0 and it lies inside the extent.
inline bool Filled(const TVoxelModel& m, int x, int y, int z) {
  return x >= 0 && y >= 0 && z >= 0 && x < m.SizeX && y < m.SizeY && z < m.SizeZ &&
         m.Colours.at(unsigned(x), unsigned(y), unsigned(z)) != 0;
}

// A filled cell with an empty neighbour across a face.
inline bool OnSurface(const TVoxelModel& m, int x, int y, int z) {
  return Filled(m, x, y, z) &&
         (!Filled(m, x - 1, y, z) || !Filled(m, x + 1, y, z) || !Filled(m, x, y - 1, z) ||
          !Filled(m, x, y + 1, z) || !Filled(m, x, y, z - 1) || !Filled(m, x, y, z + 1));
}

inline int SphereCentre(const TVoxelModel& m) {
  return m.SizeX / 2;
}

// The cells whose centres lie within radius of the middle cell's centre, with room
// around them.
inline void MakeSolidSphere(TVoxelModel& m, int radius, int normalType) {
  const int side = 2 * radius + 13;
  ResetNewModel(m, side, side, side);
  m.NormalType = std::uint8_t(normalType);
  const int c = SphereCentre(m);
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        if ((x - c) * (x - c) + (y - c) * (y - c) + (z - c) * (z - c) <= radius * radius)
          m.Colours.at(unsigned(x), unsigned(y), unsigned(z)) = 9;
}

inline std::size_t CellOf(const TVoxelModel& m, int x, int y, int z) {
  return std::size_t(x) + std::size_t(m.SizeX) * (std::size_t(y) + std::size_t(m.SizeY) * z);
}

inline std::vector<int> EstimatedNormals(const TVoxelModel& m, int radius) {
  std::vector<int> indices;
  EstimateNormalIndices(m, radius, indices);
  return indices;
}

// The plain estimate: the filled cells within radius summed as unit vectors (weighted by
// the inverse of their distance), pointing away from them; surface cells only.
inline std::vector<int> PlainGradientNormals(const TVoxelModel& m, int radius) {
  std::vector<int> indices(std::size_t(m.SizeX) * m.SizeY * m.SizeZ, -1);
  for (int z = 0; z < m.SizeZ; ++z)
    for (int y = 0; y < m.SizeY; ++y)
      for (int x = 0; x < m.SizeX; ++x) {
        if (!OnSurface(m, x, y, z)) continue;
        double gx = 0, gy = 0, gz = 0;
        for (int c = -radius; c <= radius; ++c)
          for (int b = -radius; b <= radius; ++b)
            for (int a = -radius; a <= radius; ++a) {
              const double d = std::sqrt(double(a * a + b * b + c * c));
              if (d == 0 || d > radius || !Filled(m, x + a, y + b, z + c)) continue;
              gx += a / d, gy += b / d, gz += c / d;
            }
        indices[CellOf(m, x, y, z)] = NearestNormal(m.NormalType, -gx, -gy, -gz);
      }
  return indices;
}

inline double AngleBetween(const NormalVector& n, double x, double y, double z) {
  const double cosine = (n.X * x + n.Y * y + n.Z * z) /
                        std::sqrt((n.X * n.X + n.Y * n.Y + n.Z * n.Z) * (x * x + y * y + z * z));
  return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180 / std::numbers::pi;
}

struct SphereMeasure {
  double MeanAngle = 0;   // degrees between the chosen normal and the true one
  double FloorAngle = 0;  // the same for the set's normal nearest to the true one
  std::size_t Voxels = 0;
};

inline SphereMeasure MeasureSphere(const TVoxelModel& m, int /*radius*/,
                                   const std::vector<int>& indices) {
  SphereMeasure s;
  const auto table = NormalTable(m.NormalType);
  const int c = SphereCentre(m);
  for (int z = 0; z < m.SizeZ; ++z)
    for (int y = 0; y < m.SizeY; ++y)
      for (int x = 0; x < m.SizeX; ++x) {
        if (!OnSurface(m, x, y, z)) continue;
        const double tx = x - c, ty = y - c, tz = z - c;
        const int chosen = indices[CellOf(m, x, y, z)];
        s.MeanAngle += chosen < 0 ? 180 : AngleBetween(table[std::size_t(chosen)], tx, ty, tz);
        s.FloorAngle +=
            AngleBetween(table[std::size_t(NearestNormal(m.NormalType, tx, ty, tz))], tx, ty, tz);
        ++s.Voxels;
      }
  s.MeanAngle /= double(s.Voxels);
  s.FloorAngle /= double(s.Voxels);
  return s;
}

struct Agreement {
  std::size_t Voxels = 0, Same = 0;
  double MeanAngle = 0;
};

// Surface voxels whose own normal lies in the set, against the computed ones.
inline Agreement CompareWithModel(const TVoxelModel& m, const std::vector<int>& indices) {
  Agreement a;
  const auto table = NormalTable(m.NormalType);
  for (int z = 0; z < m.SizeZ; ++z)
    for (int y = 0; y < m.SizeY; ++y)
      for (int x = 0; x < m.SizeX; ++x) {
        const unsigned own = m.Normals.at(unsigned(x), unsigned(y), unsigned(z));
        if (!OnSurface(m, x, y, z) || own >= table.size()) continue;
        const int computed = indices[CellOf(m, x, y, z)];
        if (computed < 0) continue;
        const NormalVector& n = table[own];
        a.MeanAngle += AngleBetween(table[std::size_t(computed)], n.X, n.Y, n.Z);
        a.Same += unsigned(computed) == own;
        ++a.Voxels;
      }
  if (a.Voxels) a.MeanAngle /= double(a.Voxels);
  return a;
}
