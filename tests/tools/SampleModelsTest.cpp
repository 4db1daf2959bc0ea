#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

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
  EXPECT_EQ(m->Normals.at(10, 10, 20), FaceNormal(Face::Up));
  EXPECT_EQ(m->Normals.at(10, 10, 0), FaceNormal(Face::Down));
  EXPECT_EQ(m->Normals.at(20, 10, 10), FaceNormal(Face::Front));
  EXPECT_EQ(m->Normals.at(0, 10, 10), FaceNormal(Face::Back));

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

TEST(SampleModels, SurfaceNormalsFaceAwayFromTheInside) {
  auto m = std::make_unique<TVoxelModel>();
  MakeSphere(*m);
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
        const int n = m->Normals.at(x, y, z);
        const int dx = x - 10, dy = y - 10, dz = z - 10;
        if (n == FaceNormal(Face::Up))
          EXPECT_GT(dz, 0);
        else if (n == FaceNormal(Face::Down))
          EXPECT_LT(dz, 0);
        else if (n == FaceNormal(Face::Front))
          EXPECT_GT(dx, 0);
        else if (n == FaceNormal(Face::Back))
          EXPECT_LT(dx, 0);
        else if (n == FaceNormal(Face::Right))
          EXPECT_GT(dy, 0);
        else if (n == FaceNormal(Face::Left))
          EXPECT_LT(dy, 0);
        else
          ADD_FAILURE() << "normal " << n;
      }
  EXPECT_GT(surface, 1000u);
}
