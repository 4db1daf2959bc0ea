#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "model/VxlReader.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace {

std::string Fixture(const char* name) {
  return std::string(KOBALTINE_FIXTURES) + "/" + name;
}

}  // namespace

TEST(VxlFixtures, RealSingleSectionFileSurvivesLoadSaveLoad) {
  if (!std::filesystem::exists(Fixture("cc.vxl")))
    GTEST_SKIP() << "no fixtures at " << KOBALTINE_FIXTURES;
  auto first = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(Fixture("cc.vxl"), *first), LoadStatus::Ok);
  EXPECT_EQ(first->SizeX, 69);
  EXPECT_EQ(first->SizeY, 39);
  EXPECT_EQ(first->SizeZ, 17);
  EXPECT_EQ(NameText(first->Name), "Body");
  EXPECT_EQ(first->NormalType, 2);
  unsigned voxels = 0;
  for (unsigned z = 0; z < 17; ++z)
    for (unsigned y = 0; y < 39; ++y)
      for (unsigned x = 0; x < 69; ++x) voxels += first->IsVoxel(x, y, z);
  EXPECT_GT(voxels, 1000u);

  ScratchDir dir;
  ASSERT_TRUE(WriteVoxelFile(dir.File("cc.vxl"), *first));
  auto second = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(dir.File("cc.vxl"), *second), LoadStatus::Ok);
  EXPECT_TRUE(SameModel(*first, *second));

  // The file made elsewhere differs from ours only where the writer fixes a value the
  // reader ignores (the section header's last value); everything else is identical.
  const Bytes original = ReadBytes(Fixture("cc.vxl"));
  Bytes resaved = ReadBytes(dir.File("cc.vxl"));
  ASSERT_EQ(resaved.size(), original.size());
  std::vector<std::size_t> differing;
  for (std::size_t i = 0; i < original.size(); ++i)
    if (original[i] != resaved[i]) differing.push_back(i);
  EXPECT_EQ(differing, (std::vector<std::size_t>{826}));

  // Our own file saves back byte for byte.
  ASSERT_TRUE(WriteVoxelFile(dir.File("again.vxl"), *second));
  EXPECT_EQ(ReadBytes(dir.File("again.vxl")), resaved);
}

TEST(VxlFixtures, MultiSectionFileIsRejected) {
  if (!std::filesystem::exists(Fixture("hmec.vxl")))
    GTEST_SKIP() << "no fixtures at " << KOBALTINE_FIXTURES;
  auto m = std::make_unique<TVoxelModel>();
  EXPECT_EQ(ReadVoxelFile(Fixture("hmec.vxl"), *m), LoadStatus::MultiLimbed);
  EXPECT_EQ(m->SizeX, 0);
}
