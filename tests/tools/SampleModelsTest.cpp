#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "model/NormalTables.h"
#include "model/VxlReader.h"
#include "tools/SampleModels.h"

namespace {

std::string Sample(const char* name) {
  return std::string(KOBALTINE_SAMPLES) + "/" + name;
}

}  // namespace

TEST(SampleModels, TheBuildWritesLoadableSamples) {
  if (!std::filesystem::exists(Sample("tank.vxl")))
    GTEST_SKIP() << "no samples in " << KOBALTINE_SAMPLES;
  auto m = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(Sample("dot.vxl"), *m), LoadStatus::Ok);
  EXPECT_EQ(m->SizeX + m->SizeY + m->SizeZ, 3);
  EXPECT_TRUE(m->IsVoxel(0, 0, 0));

  ASSERT_EQ(ReadVoxelFile(Sample("sphere.vxl"), *m), LoadStatus::Ok);
  EXPECT_EQ(m->SizeX, 21);
  EXPECT_TRUE(m->IsVoxel(10, 10, 0));
  EXPECT_TRUE(m->IsVoxel(10, 10, 20));
  EXPECT_FALSE(m->IsVoxel(0, 0, 0));
  EXPECT_EQ(m->Normals.at(10, 10, 20), FaceNormal(2, Face::Up));
  EXPECT_EQ(m->Normals.at(10, 10, 0), FaceNormal(2, Face::Down));
  EXPECT_EQ(m->Normals.at(20, 10, 10), FaceNormal(2, Face::Front));
  EXPECT_EQ(m->Normals.at(0, 10, 10), FaceNormal(2, Face::Back));

  ASSERT_EQ(ReadVoxelFile(Sample("tank.vxl"), *m), LoadStatus::Ok);
  EXPECT_EQ(NameText(m->Name), "Tank");
  EXPECT_EQ(m->NormalType, 2);
  unsigned voxels = 0;
  for (unsigned z = 0; z < m->SizeZ; ++z)
    for (unsigned y = 0; y < m->SizeY; ++y)
      for (unsigned x = 0; x < m->SizeX; ++x) {
        if (!m->IsVoxel(x, y, z)) continue;
        ++voxels;
        EXPECT_NE(m->Colours.at(x, y, z), 0);  // every voxel shows a colour
        EXPECT_LE(m->Normals.at(x, y, z), 35);
        EXPECT_NE(m->Palette[m->Colours.at(x, y, z)], 0);  // and the palette has it
      }
  EXPECT_GT(voxels, 500u);
  EXPECT_TRUE(m->IsVoxel(m->SizeX - 1, 7, 7));  // the muzzle reaches the front
}

// Lit as the games light them, a face looks right only when its normal really points
// the way the face does in the model's set; every sphere voxel's normal points outward.
TEST(SampleModels, SurfaceNormalsFaceAwayFromTheInside) {
  struct Row {
    Face face;
    double x, y, z;
    int vx, vy, vz;  // a sphere voxel showing that face
  } rows[] = {{Face::Up, 0, 0, 1, 10, 10, 20},    {Face::Down, 0, 0, -1, 10, 10, 0},
              {Face::Front, 1, 0, 0, 20, 10, 10}, {Face::Back, -1, 0, 0, 0, 10, 10},
              {Face::Right, 0, 1, 0, 10, 20, 10}, {Face::Left, 0, -1, 0, 10, 0, 10}};
  auto m = std::make_unique<TVoxelModel>();
  MakeSphere(*m);
  for (const Row& r : rows) {
    for (int type : {2, 4}) {
      const NormalVector n = NormalTable(type)[FaceNormal(type, r.face)];
      EXPECT_GT(n.X * r.x + n.Y * r.y + n.Z * r.z, 0.9)
          << "type " << type << " face " << int(r.face);
    }
    EXPECT_EQ(m->Normals.at(r.vx, r.vy, r.vz), FaceNormal(m->NormalType, r.face)) << int(r.face);
  }
  const auto table = NormalTable(m->NormalType);
  unsigned surface = 0;
  for (int z = 0; z < 21; ++z)
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x) {
        if (!m->IsVoxel(x, y, z)) continue;
        auto voxel = [&](int nx, int ny, int nz) {
          return nx >= 0 && ny >= 0 && nz >= 0 && nx < 21 && ny < 21 && nz < 21 &&
                 m->IsVoxel(nx, ny, nz);
        };
        if (voxel(x - 1, y, z) && voxel(x + 1, y, z) && voxel(x, y - 1, z) && voxel(x, y + 1, z) &&
            voxel(x, y, z - 1) && voxel(x, y, z + 1))
          continue;
        ++surface;
        const int index = m->Normals.at(x, y, z);
        ASSERT_LT(std::size_t(index), table.size());
        const NormalVector& n = table[std::size_t(index)];
        EXPECT_GT(n.X * (x - 10) + n.Y * (y - 10) + n.Z * (z - 10), 0)
            << "normal " << index << " at " << x << "," << y << "," << z;
      }
  EXPECT_GT(surface, 1000u);
}
