#pragma once
// Models for the tests of the slicing orientations: random cells, and a model turned so
// that a plane of another orientation becomes its Top plane.
//
// A model holds two 16 MiB grids, so the tests draw on a few that live for the whole run
// and only ever touch the extent and a border of one cell around it.

#include <algorithm>
#include <memory>
#include <random>

#include "editor/Orientation.h"

inline TVoxelModel& Scratch(int slot) {
  static std::unique_ptr<TVoxelModel> pool[6];
  if (!pool[slot]) pool[slot] = std::make_unique<TVoxelModel>();
  return *pool[slot];
}

// Calls f(x, y, z, inside) for the extent and the border beyond its high faces.
template <typename F>
void ForExtentAndBorder(const TVoxelModel& m, F&& f) {
  const int bx = std::min(int(m.SizeX), 255), by = std::min(int(m.SizeY), 255);
  const int bz = std::min(int(m.SizeZ), 255);
  for (int z = 0; z <= bz; ++z)
    for (int y = 0; y <= by; ++y)
      for (int x = 0; x <= bx; ++x) f(x, y, z, x < m.SizeX && y < m.SizeY && z < m.SizeZ);
}

// Cells inside the extent are 0 or one of 1..values (both grids independently), so that
// regions of one value wind through the model; the border holds 1.
inline TVoxelModel& RandomModel(int slot, int sx, int sy, int sz, unsigned seed,
                                unsigned values = 255, unsigned emptyShare = 3) {
  TVoxelModel& m = Scratch(slot);
  m.SizeX = std::uint8_t(sx), m.SizeY = std::uint8_t(sy), m.SizeZ = std::uint8_t(sz);
  std::mt19937 rng(seed);
  auto value = [&] { return rng() % emptyShare == 0 ? 0 : std::uint8_t(1 + rng() % values); };
  ForExtentAndBorder(m, [&](int x, int y, int z, bool inside) {
    m.Colours.at(x, y, z) = inside ? value() : 1;
    m.Normals.at(x, y, z) = inside ? value() : 1;
  });
  for (int i = 0; i < 256; ++i) m.Palette[i] = PackRGB(i, 255 - i, (i * 7) & 0xFF);
  return m;
}

// The extent, the border and the palette of src.
inline TVoxelModel& CopyOf(int slot, const TVoxelModel& src) {
  TVoxelModel& m = Scratch(slot);
  m.SizeX = src.SizeX, m.SizeY = src.SizeY, m.SizeZ = src.SizeZ;
  m.Palette = src.Palette;
  ForExtentAndBorder(src, [&](int x, int y, int z, bool) {
    m.Colours.at(x, y, z) = src.Colours.at(x, y, z);
    m.Normals.at(x, y, z) = src.Normals.at(x, y, z);
  });
  return m;
}

// The model whose Top plane (x, y) of layer z is the plane (u, v) of layer z of m in the
// given orientation.
inline TVoxelModel& TurnedToTop(int slot, const TVoxelModel& m, SliceOrientation o) {
  const PlaneMap map(m, o);
  TVoxelModel& t = Scratch(slot);
  t.SizeX = std::uint8_t(map.Width()), t.SizeY = std::uint8_t(map.Height());
  t.SizeZ = std::uint8_t(map.Layers());
  t.Palette = m.Palette;
  ForExtentAndBorder(
      t, [&](int x, int y, int z, bool) { t.Colours.at(x, y, z) = t.Normals.at(x, y, z) = 1; });
  for (int l = 0; l < map.Layers(); ++l)
    for (int v = 0; v < map.Height(); ++v)
      for (int u = 0; u < map.Width(); ++u) {
        const ModelCell c = map.Cell(u, v, l);
        t.Colours.at(u, v, l) = m.Colours.at(c.X, c.Y, c.Z);
        t.Normals.at(u, v, l) = m.Normals.at(c.X, c.Y, c.Z);
      }
  return t;
}

// Both grids agree on every cell of the extent and the border.
inline bool SameCells(const TVoxelModel& a, const TVoxelModel& b) {
  if (a.SizeX != b.SizeX || a.SizeY != b.SizeY || a.SizeZ != b.SizeZ) return false;
  bool same = true;
  ForExtentAndBorder(a, [&](int x, int y, int z, bool) {
    same = same && a.Colours.at(x, y, z) == b.Colours.at(x, y, z) &&
           a.Normals.at(x, y, z) == b.Normals.at(x, y, z);
  });
  return same;
}
