#include "tools/SampleModels.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "model/NewModel.h"
#include "model/NormalTables.h"

namespace {

// Ramps of eight shades, darkest first.
constexpr unsigned OliveRamp = 16;
constexpr unsigned TrackRamp = 24;
constexpr unsigned SteelRamp = 32;
constexpr unsigned SkyRamp = 40;

// Lit from above and ahead: the shade a face gets within its ramp.
unsigned Shade(Face face) {
  switch (face) {
    case Face::Up:
      return 7;
    case Face::Front:
      return 5;
    case Face::Left:
      return 4;
    case Face::Right:
      return 3;
    case Face::Back:
      return 2;
    case Face::Down:
      return 0;
  }
  return 4;
}

void Begin(TVoxelModel& model, unsigned sx, unsigned sy, unsigned sz, const char* name) {
  ResetNewModel(model, std::uint8_t(sx), std::uint8_t(sy), std::uint8_t(sz));
  model.Palette = SamplePalette();
  model.Name.fill(0);
  StoreNameText(model.Name, name);
}

// Colours every voxel by the ramp its solid gave it (kept in Colours meanwhile) and the
// face it shows, and sets its normal.
void Paint(TVoxelModel& model) {
  struct Cell {
    std::uint8_t colour, normal;
  };
  auto cells = std::make_unique<Cell[]>(std::size_t(model.SizeX) * model.SizeY * model.SizeZ);
  std::size_t i = 0;
  for (unsigned z = 0; z < model.SizeZ; ++z)
    for (unsigned y = 0; y < model.SizeY; ++y)
      for (unsigned x = 0; x < model.SizeX; ++x, ++i) {
        const std::uint8_t ramp = model.Colours.at(x, y, z);
        if (ramp == 0) continue;
        const Face face = DominantFace(model, x, y, z);
        cells[i] = {std::uint8_t(ramp + Shade(face)), FaceNormal(model.NormalType, face)};
      }
  i = 0;
  for (unsigned z = 0; z < model.SizeZ; ++z)
    for (unsigned y = 0; y < model.SizeY; ++y)
      for (unsigned x = 0; x < model.SizeX; ++x, ++i) {
        model.Colours.at(x, y, z) = cells[i].colour;
        model.Normals.at(x, y, z) = cells[i].normal;
      }
}

void Box(TVoxelModel& m, unsigned ramp, int x0, int x1, int y0, int y1, int z0, int z1) {
  for (int z = z0; z <= z1; ++z)
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        m.Colours.at(unsigned(x), unsigned(y), unsigned(z)) = std::uint8_t(ramp);
}

}  // namespace

PaletteRGB SamplePalette() {
  PaletteRGB p = DefaultPalette();
  for (unsigned s = 0; s < 8; ++s) {
    p[OliveRamp + s] = PackRGB(52 + 18 * s, 64 + 20 * s, 28 + 9 * s);
    p[TrackRamp + s] = PackRGB(30 + 10 * s, 30 + 10 * s, 28 + 9 * s);
    p[SteelRamp + s] = PackRGB(70 + 20 * s, 74 + 20 * s, 80 + 20 * s);
    p[SkyRamp + s] = PackRGB(20 + 14 * s, 60 + 22 * s, 120 + 16 * s);
  }
  return p;
}

Face DominantFace(const TVoxelModel& model, unsigned x, unsigned y, unsigned z) {
  // Sum the directions towards empty neighbours; the extent's border counts as empty.
  auto empty = [&](int nx, int ny, int nz) {
    if (nx < 0 || ny < 0 || nz < 0 || nx >= model.SizeX || ny >= model.SizeY || nz >= model.SizeZ)
      return true;
    return IsEmptyCell(model.Colours.at(unsigned(nx), unsigned(ny), unsigned(nz)),
                       model.Normals.at(unsigned(nx), unsigned(ny), unsigned(nz)));
  };
  int dx = 0, dy = 0, dz = 0;
  for (int oz = -1; oz <= 1; ++oz)
    for (int oy = -1; oy <= 1; ++oy)
      for (int ox = -1; ox <= 1; ++ox)
        if ((ox || oy || oz) && empty(int(x) + ox, int(y) + oy, int(z) + oz)) {
          dx += ox;
          dy += oy;
          dz += oz;
        }
  if (dx == 0 && dy == 0 && dz == 0) return Face::Up;
  // Ties favour up and down, then the length axis: the shapes are wider than tall.
  if (std::abs(dz) >= std::abs(dx) && std::abs(dz) >= std::abs(dy))
    return dz > 0 ? Face::Up : Face::Down;
  if (std::abs(dx) >= std::abs(dy)) return dx > 0 ? Face::Front : Face::Back;
  return dy > 0 ? Face::Right : Face::Left;
}

FaceDirection DirectionOf(Face face) {
  switch (face) {
    case Face::Up:
      return {0, 0, 1};
    case Face::Down:
      return {0, 0, -1};
    case Face::Front:
      return {1, 0, 0};
    case Face::Back:
      return {-1, 0, 0};
    case Face::Right:
      return {0, 1, 0};
    case Face::Left:
      return {0, -1, 0};
  }
  return {0, 0, 1};
}

std::uint8_t FaceNormal(int normalType, Face face) {
  const FaceDirection d = DirectionOf(face);
  const int index = NearestNormal(normalType, d.X, d.Y, d.Z);
  return std::uint8_t(index < 0 ? 0 : index);
}

void MakeTank(TVoxelModel& m) {
  Begin(m, 34, 16, 10, "Tank");
  // Tracks along both sides, their ends rounded off at the bottom.
  for (int y0 : {1, 12}) {
    Box(m, TrackRamp, 4, 27, y0, y0 + 2, 0, 0);
    Box(m, TrackRamp, 3, 28, y0, y0 + 2, 1, 1);
    Box(m, TrackRamp, 2, 29, y0, y0 + 2, 2, 3);
  }
  // Hull between the tracks, then a deck over everything with a sloped front.
  Box(m, OliveRamp, 3, 28, 4, 11, 1, 3);
  Box(m, OliveRamp, 2, 28, 1, 14, 4, 4);
  Box(m, OliveRamp, 3, 26, 1, 14, 5, 5);
  // A turret with cut corners, a hatch on top.
  for (int z = 6; z <= 8; ++z)
    for (int y = 3; y <= 12; ++y)
      for (int x = 9; x <= 20; ++x) {
        const double dx = std::abs(x - 14.5), dy = std::abs(y - 7.5);
        const double shrink = z == 8 ? 1.0 : 0.0;
        if (dx <= 5.5 - shrink && dy <= 4.5 - shrink && dx + dy <= 8.0 - shrink)
          m.Colours.at(unsigned(x), unsigned(y), unsigned(z)) = OliveRamp;
      }
  Box(m, OliveRamp, 12, 13, 6, 7, 9, 9);
  // The barrel and its muzzle brake.
  Box(m, SteelRamp, 20, 33, 7, 8, 7, 7);
  Box(m, SteelRamp, 31, 33, 6, 9, 6, 8);
  Paint(m);
}

void MakeSphere(TVoxelModel& m) {
  Begin(m, 21, 21, 21, "Sphere");
  for (int z = 0; z < 21; ++z)
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x) {
        const int dx = x - 10, dy = y - 10, dz = z - 10;
        if (dx * dx + dy * dy + dz * dz <= 108)  // radius 10, rounded to whole cells
          m.Colours.at(unsigned(x), unsigned(y), unsigned(z)) = SkyRamp;
      }
  Paint(m);
}

void MakeDot(TVoxelModel& m) {
  Begin(m, 1, 1, 1, "Dot");
  m.Colours.at(0, 0, 0) = 5;
  m.Normals.at(0, 0, 0) = 7;
}
