#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <random>

#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace {

struct Layout {
  std::size_t n;
  Bytes file;
  std::int32_t Start(std::size_t c) const { return std::int32_t(GetLE32(file, 830 + 4 * c)); }
  std::int32_t End(std::size_t c) const { return std::int32_t(GetLE32(file, 830 + 4 * n + 4 * c)); }
  std::size_t DataAt() const { return 830 + 8 * n; }
  std::uint32_t BodySize() const { return GetLE32(file, 28); }
  Bytes Column(std::size_t c) const {
    if (Start(c) < 0) return {};
    return Bytes(file.begin() + std::ptrdiff_t(DataAt() + std::size_t(Start(c))),
                 file.begin() + std::ptrdiff_t(DataAt() + std::size_t(End(c)) + 1));
  }
};

Layout Save(const TVoxelModel& m) {
  ScratchDir dir;
  EXPECT_TRUE(WriteVoxelFile(dir.File("out.vxl"), m));
  return Layout{std::size_t(m.SizeX) * m.SizeY, ReadBytes(dir.File("out.vxl"))};
}

// A column string like "vvv......." read bottom first; voxel i gets colour 10+i, normal 20+i.
void SetColumn(TVoxelModel& m, unsigned x, const char* cells) {
  for (unsigned z = 0; cells[z]; ++z) {
    m.Colours.at(x, 0, z) = cells[z] == 'v' ? std::uint8_t(10 + z) : 0;
    m.Normals.at(x, 0, z) = cells[z] == 'v' ? std::uint8_t(20 + z) : 0;
  }
}

Bytes Pairs(unsigned from, unsigned count) {
  Bytes b;
  for (unsigned z = from; z < from + count; ++z) {
    b.push_back(std::uint8_t(10 + z));
    b.push_back(std::uint8_t(20 + z));
  }
  return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace

TEST(VxlWriter, EncodesTheExampleColumnsByteForByte) {
  auto m = std::make_unique<TVoxelModel>();
  m->SizeX = 5;
  m->SizeY = 1;
  m->SizeZ = 10;
  std::memset(m->Colours.data(), 0xEE, GridCells);  // stale cells outside the extent
  SetColumn(*m, 0, "..........");
  SetColumn(*m, 1, "vvv.......");
  SetColumn(*m, 2, "..vv.v....");
  SetColumn(*m, 3, "........vv");
  SetColumn(*m, 4, "vvvvvvvvvv");
  const Layout f = Save(*m);

  EXPECT_EQ(f.Start(0), -1);
  EXPECT_EQ(f.End(0), -1);
  EXPECT_EQ(f.Column(1), Cat({{0, 3}, Pairs(0, 3), {3, 7, 0, 0}}));
  EXPECT_EQ(f.Column(2), Cat({{2, 2}, Pairs(2, 2), {2, 1, 1}, Pairs(5, 1), {1, 4, 0, 0}}));
  EXPECT_EQ(f.Column(3), Cat({{8, 2}, Pairs(8, 2), {2}}));
  EXPECT_EQ(f.Column(4), Cat({{0, 10}, Pairs(0, 10), {10}}));
  // Column data in column order with no gaps, then the tailer right after them.
  EXPECT_EQ(f.Start(1), 0);
  for (std::size_t c = 2; c < 5; ++c) EXPECT_EQ(f.Start(c), f.End(c - 1) + 1);
  const std::size_t spanLength = std::size_t(f.End(4)) + 1;
  EXPECT_EQ(f.BodySize(), 8 * 5 + spanLength);
  EXPECT_EQ(f.file.size(), 830 + 8 * 5 + spanLength + 92);
}

TEST(VxlWriter, WritesTheFixedHeaderTailerAndTheModelFields) {
  auto m = std::make_unique<TVoxelModel>();
  m->SizeX = 1;
  m->SizeY = 1;
  m->SizeZ = 1;
  m->NormalType = 4;
  m->Colours.at(0, 0, 0) = 5;
  m->Normals.at(0, 0, 0) = 7;
  m->Palette[1] = PackRGB(0x11, 0x22, 0x33);
  m->Palette[255] = PackRGB(0xAA, 0xBB, 0xCC);
  const std::uint8_t name[16] = {'D', 'o', 't', 0, 0xFF, 'q', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7F};
  std::memcpy(m->Name.data(), name, 16);
  for (std::size_t i = 0; i < TailerValueCount; ++i) m->Tailer[i] = 0xA0B0C0D0u + std::uint32_t(i);
  const Layout f = Save(*m);

  ASSERT_EQ(f.file.size(), 830u + 8 + 5 + 92);
  EXPECT_EQ(std::memcmp(f.file.data(), "Voxel Animation", 16), 0);
  EXPECT_EQ(GetLE32(f.file, 16), 1u);
  EXPECT_EQ(GetLE32(f.file, 20), 1u);
  EXPECT_EQ(GetLE32(f.file, 24), 1u);
  EXPECT_EQ(f.BodySize(), 13u);
  EXPECT_EQ(f.file[32], 16);
  EXPECT_EQ(f.file[33], 31);
  EXPECT_EQ(f.file[34], 0);
  EXPECT_EQ(Bytes(f.file.begin() + 37, f.file.begin() + 40), (Bytes{0x11, 0x22, 0x33}));
  EXPECT_EQ(Bytes(f.file.begin() + 799, f.file.begin() + 802), (Bytes{0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(std::memcmp(f.file.data() + 802, name, 16), 0);
  EXPECT_EQ(GetLE32(f.file, 818), 0u);
  EXPECT_EQ(GetLE32(f.file, 822), 1u);
  EXPECT_EQ(GetLE32(f.file, 826), 0u);
  EXPECT_EQ(f.Start(0), 0);
  EXPECT_EQ(f.End(0), 4);
  EXPECT_EQ(f.Column(0), (Bytes{0, 1, 5, 7, 1}));
  const std::size_t t = 830 + 8 + 5;
  EXPECT_EQ(GetLE32(f.file, t), 0u);
  EXPECT_EQ(GetLE32(f.file, t + 4), 4u);
  EXPECT_EQ(GetLE32(f.file, t + 8), 8u);
  for (std::size_t i = 0; i < 19; ++i) EXPECT_EQ(GetLE32(f.file, t + 12 + 4 * i), 0xA0B0C0D0u + i);
  EXPECT_EQ(Bytes(f.file.end() - 4, f.file.end()), (Bytes{1, 1, 1, 4}));
}

TEST(VxlWriter, EmptyModelAndColourZeroVoxels) {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 6, 4, 3);
  Layout f = Save(*m);
  const std::size_t n = 24;
  EXPECT_EQ(f.file.size(), 830 + 8 * n + 92);
  EXPECT_EQ(f.BodySize(), 8 * n);
  for (std::size_t c = 0; c < n; ++c) {
    EXPECT_EQ(f.Start(c), -1);
    EXPECT_EQ(f.End(c), -1);
  }

  // Colour 0 with normal 9 is a voxel; a voxel in the top cell has no closing span.
  m->Normals.at(2, 1, 0) = 9;
  m->Colours.at(3, 1, 2) = 4;
  f = Save(*m);
  EXPECT_EQ(f.Column(6 + 2), (Bytes{0, 1, 0, 9, 1, 2, 0, 0}));
  EXPECT_EQ(f.Column(6 + 3), (Bytes{2, 1, 4, 0, 1}));
  EXPECT_EQ(f.BodySize(), 8 * n + 13);
}

TEST(VxlWriter, SaveThenLoadGivesTheSameModel) {
  std::mt19937 rng(7);
  auto source = std::make_unique<TVoxelModel>();
  auto loaded = std::make_unique<TVoxelModel>();
  const std::uint32_t tailerPatterns[] = {0x3DAAAAABu, 0x7FC00000u, 0x7FC00001u,
                                          0xFFFFFFFFu, 0x7F800001u, 0x80000000u,
                                          0x00000001u, 0x7F800000u, 0xFF800000u};
  ScratchDir dir;
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    // Widths around cache-line multiples, where rows end inside or at a line's end.
    static constexpr unsigned widths[] = {1, 255, 63, 64, 65, 127, 128, 129, 192, 200, 7, 33};
    const unsigned sx = widths[round];
    const unsigned sy = round == 0 ? 1 : round == 1 ? 3 : 1 + rng() % 12;
    const unsigned sz = round == 0 ? 1 : round == 1 ? 255 : 1 + rng() % 70;
    source->SizeX = std::uint8_t(sx);
    source->SizeY = std::uint8_t(sy);
    source->SizeZ = std::uint8_t(sz);
    source->NormalType = std::uint8_t(round == 2 ? 3 : rng());
    for (auto& p : source->Palette) p = std::int32_t(rng() & 0xFFFFFF);
    for (auto& b : source->Name) b = std::uint8_t(rng());
    source->Name[5] = 0;  // bytes after the terminator survive too
    for (std::size_t i = 0; i < TailerValueCount; ++i)
      source->Tailer[i] = i < std::size(tailerPatterns)
                              ? tailerPatterns[(i + round) % std::size(tailerPatterns)]
                              : std::uint32_t(rng());
    const unsigned density = rng() % 4;  // 0: empty ... 3: nearly full
    for (unsigned z = 0; z < sz; ++z)
      for (unsigned y = 0; y < sy; ++y)
        for (unsigned x = 0; x < sx; ++x) {
          const bool voxel = density > 0 && rng() % 4 < density;
          source->Colours.at(x, y, z) = voxel ? std::uint8_t(rng()) : 0;
          source->Normals.at(x, y, z) = voxel ? std::uint8_t(rng()) : 0;
        }
    const std::string path = dir.File("round.vxl");
    ASSERT_TRUE(WriteVoxelFile(path, *source));
    ASSERT_EQ(ReadVoxelFile(path, *loaded), LoadStatus::Ok);
    EXPECT_TRUE(SameModel(*source, *loaded));
    if (round == 2) {
      EXPECT_EQ(loaded->NormalType, 3);
    }
  }
  EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary files left behind
}

TEST(VxlWriter, LargeModelReplacedBySmallShowsNoneOfTheOldVoxels) {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 200, 200, 200);
  for (unsigned z = 0; z < 200; ++z)
    for (unsigned y = 0; y < 200; ++y) std::memset(m->Colours.layer(z) + 256 * y, 3, 200);
  ScratchDir dir;
  ASSERT_TRUE(WriteVoxelFile(dir.File("big.vxl"), *m));

  auto small = std::make_unique<TVoxelModel>();
  ResetNewModel(*small, 10, 10, 10);
  small->Colours.at(9, 9, 9) = 1;
  ASSERT_TRUE(WriteVoxelFile(dir.File("small.vxl"), *small));

  ASSERT_EQ(ReadVoxelFile(dir.File("big.vxl"), *m), LoadStatus::Ok);
  ASSERT_EQ(ReadVoxelFile(dir.File("small.vxl"), *m), LoadStatus::Ok);
  unsigned voxels = 0;
  for (unsigned z = 0; z < 10; ++z)
    for (unsigned y = 0; y < 10; ++y)
      for (unsigned x = 0; x < 10; ++x) voxels += m->IsVoxel(x, y, z);
  EXPECT_EQ(voxels, 1u);
  ASSERT_TRUE(WriteVoxelFile(dir.File("again.vxl"), *m));
  EXPECT_EQ(ReadBytes(dir.File("again.vxl")), ReadBytes(dir.File("small.vxl")));
}

TEST(VxlWriter, AFailedSaveLeavesThePreviousFileWhole) {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 100, 100, 100);
  for (unsigned z = 0; z < 100; z += 2) std::memset(m->Colours.layer(z), 1, 100);
  ScratchDir dir;
  const std::string target = dir.File("model.vxl");
  const Bytes old = {'o', 'l', 'd'};
  WriteBytes(target, old);
  ::chmod(target.c_str(), 0640);

  EXPECT_FALSE(WriteVoxelFile(dir.File("no/such/folder/x.vxl"), *m));
  EXPECT_FALSE(WriteVoxelFile("", *m));
  std::filesystem::create_directory(dir.path() / "folder.vxl");
  EXPECT_FALSE(WriteVoxelFile(dir.File("folder.vxl"), *m));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder.vxl"));

  // The disk fills up part-way: a file size limit makes the writes fail as root too.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved4k = WriteVoxelFile(target, *m).ok;
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved4k);
  EXPECT_EQ(ReadBytes(target), old);

  if (::geteuid() != 0) {  // root writes into read-only folders and files regardless
    ::chmod(target.c_str(), 0444);
    EXPECT_FALSE(WriteVoxelFile(target, *m));
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(WriteVoxelFile(target, *m));
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(ReadBytes(target), old);
  }
  EXPECT_EQ(dir.EntryCount(), 2u);  // the old file and the folder: no temporary left

  // A save that works replaces the file and keeps its permissions.
  ASSERT_TRUE(WriteVoxelFile(target, *m));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  auto back = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(target, *back), LoadStatus::Ok);
  EXPECT_TRUE(SameModel(*m, *back));

  // A new file gets 0666 less the umask; saving through a link keeps the link.
  const mode_t mask = ::umask(022);
  ::umask(mask);
  ASSERT_TRUE(WriteVoxelFile(dir.File("fresh.vxl"), *m));
  ASSERT_EQ(::stat(dir.File("fresh.vxl").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
  std::filesystem::create_symlink("fresh.vxl", dir.path() / "link.vxl");
  m->Colours.at(0, 0, 1) = 9;
  ASSERT_TRUE(WriteVoxelFile(dir.File("link.vxl"), *m));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.vxl"));
  ASSERT_EQ(ReadVoxelFile(dir.File("fresh.vxl"), *back), LoadStatus::Ok);
  EXPECT_EQ(back->Colours.at(0, 0, 1), 9);
}
