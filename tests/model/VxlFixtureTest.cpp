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

TEST(VxlFixtures, RealFilesLoadAndSaveBackByteForByte) {
  if (!std::filesystem::exists(Fixture("cc.vxl")))
    GTEST_SKIP() << "no fixtures at " << KOBALTINE_FIXTURES;
  const struct {
    const char* file;
    std::size_t sections;
    std::size_t shown;  // a section to check
    const char* name;
    unsigned x, y, z;
  } files[] = {{"cc.vxl", 1, 0, "Body", 69, 39, 17}, {"hmec.vxl", 13, 12, "BODY", 53, 31, 20}};
  ScratchDir dir;
  auto m = std::make_unique<TVoxelModel>();
  auto again = std::make_unique<TVoxelModel>();
  for (const auto& f : files) {
    SCOPED_TRACE(f.file);
    ASSERT_EQ(ReadVoxelFile(Fixture(f.file), *m), LoadStatus::Ok);
    ASSERT_EQ(m->SectionCount(), f.sections);
    m->SelectSection(f.shown);
    EXPECT_EQ(NameText(m->Name), f.name);
    EXPECT_EQ(m->SizeX, f.x);
    EXPECT_EQ(m->SizeY, f.y);
    EXPECT_EQ(m->SizeZ, f.z);
    EXPECT_EQ(m->NormalType, 2);
    unsigned voxels = 0;
    for (unsigned z = 0; z < f.z; ++z)
      for (unsigned y = 0; y < f.y; ++y)
        for (unsigned x = 0; x < f.x; ++x) voxels += m->IsVoxel(x, y, z);
    EXPECT_GT(voxels, 1000u);

    // Whichever section is being edited, and after visiting every one, the file
    // written is the file read: header values, section numbers, spans and all.
    for (std::size_t i = f.sections; i-- > 0;) m->SelectSection(i);
    m->SelectSection(f.shown);
    const std::string out = dir.File(f.file);
    ASSERT_TRUE(WriteVoxelFile(out, *m));
    EXPECT_EQ(ReadBytes(out), ReadBytes(Fixture(f.file)));
    ASSERT_EQ(ReadVoxelFile(out, *again), LoadStatus::Ok);
    m->SelectSection(0);
    EXPECT_TRUE(SameModel(*m, *again));
  }
  // The single section's last header value is 2, kept as read.
  ASSERT_EQ(ReadVoxelFile(Fixture("cc.vxl"), *m), LoadStatus::Ok);
  EXPECT_EQ(m->SectionHeader, (SectionHeaderValues{0, 1, 2}));
}
