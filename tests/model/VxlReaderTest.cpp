#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "model/FileFormats.h"
#include "model/Messages.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"
#include "model/VxlTestFiles.h"

namespace {

// A model with something in every field and in cells inside and outside any extent.
void FillWithOldContent(TVoxelModel& m) {
  m.SizeX = 7;
  m.SizeY = 6;
  m.SizeZ = 5;
  m.NormalType = 4;
  for (std::size_t i = 0; i < GridCells; i += 97) {
    m.Colours[i] = std::uint8_t(i * 7 + 1);
    m.Normals[i] = std::uint8_t(i * 3 + 2);
  }
  for (unsigned z = 0; z < 5; ++z)
    for (unsigned y = 0; y < 6; ++y)
      for (unsigned x = 0; x < 7; ++x) m.Colours.at(x, y, z) = std::uint8_t(1 + x + y + z);
  m.Palette[3] = PackRGB(1, 2, 3);
  for (int i = 0; i < 16; ++i) m.Name[i] = std::uint8_t('a' + i);
  for (std::size_t i = 0; i < TailerValueCount; ++i)
    m.Tailer[i] = 0x01020304u * std::uint32_t(i + 1);
  // A second section after the edited one, which a rejected file must keep too.
  SectionValues second;
  second.SizeX = 2;
  second.SizeY = 3;
  second.SizeZ = 4;
  VoxelSection kept = VoxelSection::Dense(second);
  kept.Cells[5] = 9;
  m.InsertSection(1, std::move(kept));
  m.FileHeader.Value16 = 77;
}

// Grids are compared whole: a rejected file may not touch a single byte anywhere.
bool Identical(const TVoxelModel& a, const TVoxelModel& b) {
  return SameModel(a, b) && std::memcmp(a.Colours.data(), b.Colours.data(), GridCells) == 0 &&
         std::memcmp(a.Normals.data(), b.Normals.data(), GridCells) == 0;
}

LoadStatus LoadBytes(const Bytes& b, TVoxelModel& m) {
  ScratchDir dir;
  WriteBytes(dir.File("f.vxl"), b);
  return ReadVoxelFile(dir.File("f.vxl"), m);
}

Bytes ValidFile() {
  VxlFile f;
  f.sizeX = 2;
  f.sizeY = 1;
  f.sizeZ = 3;
  f.columns = {{0, 1, 5, 7, 1, 2, 0, 0}, {}};
  return f.Build();
}

// Three sections of different extents, each with its own values and spans that take
// every path of the decoder: closing spans, an empty column, a voxel above the top.
VxlFile ThreeSections() {
  VxlFile f;
  f.sizeX = 2;
  f.sizeY = 1;
  f.sizeZ = 3;
  f.columns = {{0, 1, 5, 7, 1, 2, 0, 0}, {}};
  f.header[2] = 2;
  VxlFile s1;
  s1.sizeX = 3;
  s1.sizeY = 2;
  s1.sizeZ = 4;
  s1.normalType = 4;
  s1.header[0] = 1;
  std::memcpy(s1.name, "LEG\0xyz\1\2\3\4\5\6\7\10", 16);
  s1.tailer[0] = 0x3DAAAAABu;
  s1.tailer[18] = 0x7FC00001u;
  s1.columns = {{0, 2, 1, 11, 2, 12, 2, 1, 1, 3, 13, 1},
                {},
                {1, 1, 4, 14, 1, 2, 0, 0},
                {2, 1, 5, 15, 1, 0, 0, 0},
                {3, 2, 6, 16, 7, 17, 2},
                {0, 1, 0, 9, 1, 3, 0, 0}};
  VxlFile s2;
  s2.sizeX = 1;
  s2.sizeY = 1;
  s2.sizeZ = 9;
  s2.normalType = 7;
  s2.header[0] = 40;
  s2.header[1] = 5;
  s2.header[2] = 6;
  std::memcpy(s2.name, "SIXTEEN BYTES!!!", 16);
  s2.columns = {{8, 1, 200, 201, 1}};
  f.more = {s1, s2};
  return f;
}

}  // namespace

TEST(VxlReader, EachRejectionHasItsMessageInCheckOrderAndLeavesTheModelAlone) {
  auto model = std::make_unique<TVoxelModel>();
  auto before = std::make_unique<TVoxelModel>();
  FillWithOldContent(*model);
  FillWithOldContent(*before);

  ScratchDir dir;
  EXPECT_EQ(ReadVoxelFile(dir.File("missing.vxl"), *model), LoadStatus::FileNotFound);
  EXPECT_EQ(ReadVoxelFile(dir.path().string(), *model), LoadStatus::FileNotFound);
  EXPECT_EQ(ReadVoxelFile("", *model), LoadStatus::FileNotFound);

  struct Case {
    const char* what;
    Bytes bytes;
    LoadStatus expected;
  };
  std::vector<Case> cases;
  auto counts = [](std::int32_t sections, std::int32_t tailers) {
    Bytes b = ValidFile();
    PutLE32(b, 20, std::uint32_t(sections));
    PutLE32(b, 24, std::uint32_t(tailers));
    return b;
  };
  cases.push_back({"counts 513/513", counts(513, 513), LoadStatus::IncorrectFormat});
  cases.push_back({"counts 1/2", counts(1, 2), LoadStatus::IncorrectFormat});
  cases.push_back({"counts 2/1", counts(2, 1), LoadStatus::IncorrectFormat});
  cases.push_back({"counts 0/0", counts(0, 0), LoadStatus::IncorrectFormat});
  cases.push_back({"counts -3/-3", counts(-3, -3), LoadStatus::IncorrectFormat});
  {
    Bytes b = ValidFile();
    b[15] = 'X';
    cases.push_back({"byte 15 non-zero", b, LoadStatus::IncorrectFormat});
    b = ValidFile();
    b[6] = 'a';
    cases.push_back({"signature lower case", b, LoadStatus::IncorrectFormat});
    b = counts(2, 2);
    b[0] = 'v';
    cases.push_back({"signature is checked before the counts", b, LoadStatus::IncorrectFormat});
    b = ValidFile();
    b[TailerAt(b) + 90] = 0;
    PutLE32(b, 20, 513);
    PutLE32(b, 24, 513);
    cases.push_back({"counts are checked before the sizes", b, LoadStatus::IncorrectFormat});
  }
  for (int axis = 0; axis < 3; ++axis) {
    Bytes b = ValidFile();
    b[TailerAt(b) + 88 + axis] = 0;
    cases.push_back({"a size byte of 0", b, LoadStatus::TooSmall});
  }
  {
    Bytes b = ValidFile();
    cases.push_back(
        {"cut before the tailer", Bytes(b.begin(), b.begin() + TailerAt(b)), LoadStatus::TooSmall});
    cases.push_back({"cut before the size bytes", Bytes(b.begin(), b.begin() + TailerAt(b) + 89),
                     LoadStatus::TooSmall});
    cases.push_back({"only the counts", Bytes(b.begin(), b.begin() + 28), LoadStatus::TooSmall});
    cases.push_back(
        {"only the signature", Bytes(b.begin(), b.begin() + 16), LoadStatus::IncorrectFormat});
    cases.push_back({"empty file", Bytes(), LoadStatus::IncorrectFormat});
    Bytes neg = b;
    PutLE32(neg, 28, 0x80000000u);
    cases.push_back({"BodySize INT32_MIN", neg, LoadStatus::TooSmall});
    PutLE32(neg, 28, 0x7FFFFFFFu);
    cases.push_back({"BodySize INT32_MAX", neg, LoadStatus::TooSmall});
    // Damaged past the sizes: the file promises bytes it does not have.
    cases.push_back({"only the normal version missing", Bytes(b.begin(), b.end() - 1),
                     LoadStatus::IncorrectFormat});
    Bytes longer = b;
    PutLE32(longer, 28, GetLE32(b, 28) + 1);
    cases.push_back({"BodySize one too large", longer, LoadStatus::IncorrectFormat});
    Bytes inHeader(b.begin(), b.begin() + 192);  // its tailer at 100, sizes 2 x 2 x 2
    PutLE32(inHeader, 28, std::uint32_t(100 - 830));
    inHeader[188] = inHeader[189] = inHeader[190] = 2;
    cases.push_back({"a tailer inside the header", inHeader, LoadStatus::IncorrectFormat});
    for (int field = 0; field < 3; ++field) {
      Bytes table = b;
      PutLE32(table, TailerAt(b) + 4 * field, std::uint32_t(b.size()));
      cases.push_back({"a table past the end", table, LoadStatus::IncorrectFormat});
    }
    Bytes span = b;
    PutLE32(span, 830, std::uint32_t(b.size()));
    cases.push_back({"a column's spans past the end", span, LoadStatus::IncorrectFormat});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadBytes(c.bytes, *model), c.expected);
    EXPECT_TRUE(Identical(*model, *before));
  }

  EXPECT_STREQ(LoadStatusMessage(LoadStatus::FileNotFound), "File not found!");
  EXPECT_STREQ(LoadStatusMessage(LoadStatus::IncorrectFormat), "Incorrect Format!");
  EXPECT_STREQ(LoadStatusMessage(LoadStatus::MultiLimbed),
               "Multi-limbed voxels are currently not supported!");
  EXPECT_STREQ(LoadStatusMessage(LoadStatus::TooSmall), "Image is too small!");
  EXPECT_STREQ(LoadStatusMessage(LoadStatus::NoMemory), "Not enough memory to open the model!");
  EXPECT_STREQ(LoadStatusMessage(LoadStatus::Cancelled), "");
  EXPECT_STREQ(LoadStatusMessage(LoadStatus::Ok), "");
}

TEST(VxlReader, SeveralSectionsPassTheSameChecksWithTheSameMessages) {
  auto model = std::make_unique<TVoxelModel>();
  auto before = std::make_unique<TVoxelModel>();
  FillWithOldContent(*model);
  FillWithOldContent(*before);
  const Bytes valid = ThreeSections().Build();
  auto with = [&valid](auto&& bend) {
    Bytes b = valid;
    bend(b);
    return b;
  };
  auto counts = [&](std::uint32_t sections, std::uint32_t tailers) {
    return with([&](Bytes& b) { PutLE32(b, 20, sections), PutLE32(b, 24, tailers); });
  };
  struct Case {
    const char* what;
    Bytes bytes;
    LoadStatus expected;
  };
  std::vector<Case> cases = {
      {"counts 3/2", counts(3, 2), LoadStatus::IncorrectFormat},
      {"counts 2/3", counts(2, 3), LoadStatus::IncorrectFormat},
      {"counts 513/513", counts(513, 513), LoadStatus::IncorrectFormat},
      {"counts -1/-1", counts(0xFFFFFFFFu, 0xFFFFFFFFu), LoadStatus::IncorrectFormat},
      {"counts 512/512, tailers beyond the file", counts(512, 512), LoadStatus::TooSmall},
      {"signature first", with([](Bytes& b) { b[15] = 1; }), LoadStatus::IncorrectFormat},
      {"counts before sizes", with([](Bytes& b) { PutLE32(b, 24, 2), b[TailerAt(b, 2) + 88] = 0; }),
       LoadStatus::IncorrectFormat},
      {"cut before the last size bytes", Bytes(valid.begin(), valid.end() - 2),
       LoadStatus::TooSmall},
      {"cut before the last tailer", Bytes(valid.begin(), valid.begin() + TailerAt(valid, 2)),
       LoadStatus::TooSmall},
      {"BodySize INT32_MIN", with([](Bytes& b) { PutLE32(b, 28, 0x80000000u); }),
       LoadStatus::TooSmall},
      {"the last normal version missing", Bytes(valid.begin(), valid.end() - 1),
       LoadStatus::IncorrectFormat},
      // Kept sections need memory the file cannot describe: 255^3 cells each from 2 KB.
      {"kept sections larger than the file allows",
       with([](Bytes& b) { b[TailerAt(b, 2) + 88] = b[TailerAt(b, 2) + 89] = 255; }),
       LoadStatus::IncorrectFormat},
  };
  for (std::size_t s = 0; s < 3; ++s)
    for (int axis = 0; axis < 3; ++axis)
      cases.push_back({"a size of 0", with([&](Bytes& b) { b[TailerAt(b, s) + 88 + axis] = 0; }),
                       LoadStatus::TooSmall});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadBytes(c.bytes, *model), c.expected);
    EXPECT_TRUE(Identical(*model, *before));
  }
}

TEST(VxlReader, EverySectionDecodesAsItWouldAlone) {
  const VxlFile f = ThreeSections();
  Bytes bytes = f.Build();
  PutLE32(bytes, 16, 0xDEADBEEFu);
  bytes[32] = 3;
  bytes[33] = 250;
  auto m = std::make_unique<TVoxelModel>();
  FillWithOldContent(*m);
  ASSERT_EQ(LoadBytes(bytes, *m), LoadStatus::Ok);
  ASSERT_EQ(m->SectionCount(), 3u);
  EXPECT_EQ(m->EditedSection(), 0u);
  EXPECT_EQ(m->FileHeader, (FileHeaderValues{0xDEADBEEFu, 3, 250}));
  EXPECT_EQ(m->Palette[255], PackRGB(255, 254, 253));

  auto alone = std::make_unique<TVoxelModel>();
  const VxlFile* sections[] = {&f, &f.more[0], &f.more[1]};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    VxlFile single = *sections[i];
    single.more.clear();
    ASSERT_EQ(LoadBytes(single.Build(), *alone), LoadStatus::Ok);
    const SectionView s = m->Section(i);
    EXPECT_EQ(s.Header,
              (SectionHeaderValues{single.header[0], single.header[1], single.header[2]}));
    EXPECT_EQ(std::memcmp(s.Name.data(), single.name, 16), 0);
    alone->SectionHeader = s.Header;
    EXPECT_TRUE(SameSection(s, alone->Section(0)));
  }
}

TEST(VxlReader, TablesOfLaterSectionsOutsideTheFileAreRefused) {
  const Bytes valid = ThreeSections().Build();
  auto m = std::make_unique<TVoxelModel>();
  const std::uint32_t offsets[] = {0x80000000u, 0xFFFFFFF0u, 0x7FFFFFFFu, 100000u, 0u};
  for (std::uint32_t o : offsets)
    for (std::size_t s = 1; s < 3; ++s)
      for (int field = 0; field < 3; ++field) {
        SCOPED_TRACE(o);
        Bytes b = valid;
        PutLE32(b, TailerAt(b, s) + 4 * field, o);
        const LoadStatus status = LoadBytes(b, *m);
        // Offset 0 points inside the body: any spans, but nothing read from outside.
        if (o != 0) {
          EXPECT_EQ(status, LoadStatus::IncorrectFormat);
        }
      }
}

TEST(VxlReader, DecodesSpansIntoTheExtent) {
  VxlFile f;
  f.sizeX = 3;
  f.sizeY = 2;
  f.sizeZ = 4;
  f.normalType = 3;
  f.tailer[0] = 0x3DAAAAABu;
  f.tailer[18] = 0x7FC00001u;  // a NaN pattern kept bit for bit
  const std::uint8_t name[16] = {'B', 'o', 'd', 'y', 0, 'x', 'y', 'z', 1, 2, 3, 4, 5, 6, 7, 8};
  std::memcpy(f.name, name, 16);
  f.columns = {
      {0, 2, 1, 11, 2, 12, 2, 1, 1, 3, 13, 1},  // two spans: z 0, 1 and z 3
      {},                                       // empty column amid full ones
      {1, 1, 4, 14, 1, 2, 0, 0},                // ends with a closing span of count 0
      {2, 1, 5, 15, 1, 0, 0, 0},                // closing span with skip 0
      {3, 2, 6, 16, 7, 17, 2},                  // second voxel at z = 4 >= SizeZ: dropped
      {0, 1, 0, 9, 1, 0, 1, 8, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0},  // colour 0 normal 9, an empty pair
  };
  auto m = std::make_unique<TVoxelModel>();
  FillWithOldContent(*m);
  m->Colours.at(1, 0, 2) = 55;  // inside the new, empty column
  ASSERT_EQ(LoadBytes(f.Build(), *m), LoadStatus::Ok);

  EXPECT_EQ(m->SizeX, 3);
  EXPECT_EQ(m->SizeY, 2);
  EXPECT_EQ(m->SizeZ, 4);
  EXPECT_EQ(m->NormalType, 3);
  EXPECT_EQ(std::memcmp(m->Name.data(), name, 16), 0);
  EXPECT_EQ(m->Tailer[0], 0x3DAAAAABu);
  EXPECT_EQ(m->Tailer[18], 0x7FC00001u);
  EXPECT_EQ(m->Tailer[5], 0u);
  EXPECT_EQ(m->Palette[0], PackRGB(0, 0, 0));
  EXPECT_EQ(m->Palette[255], PackRGB(255, 254, 253));
  for (std::int32_t p : m->Palette) EXPECT_EQ(std::uint32_t(p) >> 24, 0u);

  struct Voxel {
    unsigned x, y, z, c, n;
  };
  const Voxel expected[] = {{0, 0, 0, 1, 11}, {0, 0, 1, 2, 12}, {0, 0, 3, 3, 13}, {2, 0, 1, 4, 14},
                            {0, 1, 2, 5, 15}, {1, 1, 3, 6, 16}, {2, 1, 0, 0, 9},  {2, 1, 1, 8, 0}};
  unsigned voxels = 0;
  for (unsigned z = 0; z < 4; ++z)
    for (unsigned y = 0; y < 2; ++y)
      for (unsigned x = 0; x < 3; ++x) {
        if (!m->IsVoxel(x, y, z)) continue;
        ++voxels;
        bool found = false;
        for (const Voxel& v : expected)
          if (v.x == x && v.y == y && v.z == z) {
            found = true;
            EXPECT_EQ(m->Colours.at(x, y, z), v.c) << x << " " << y << " " << z;
            EXPECT_EQ(m->Normals.at(x, y, z), v.n) << x << " " << y << " " << z;
          }
        EXPECT_TRUE(found) << "unexpected voxel at " << x << " " << y << " " << z;
      }
  EXPECT_EQ(voxels, 8u);
}

TEST(VxlReader, OneByOneByOneFile) {
  VxlFile f;
  f.columns = {{0, 1, 5, 7, 1}};
  auto m = std::make_unique<TVoxelModel>();
  ASSERT_EQ(LoadBytes(f.Build(), *m), LoadStatus::Ok);
  EXPECT_EQ(m->SizeX, 1);
  EXPECT_EQ(m->SizeZ, 1);
  EXPECT_EQ(m->Colours.at(0, 0, 0), 5);
  EXPECT_EQ(m->Normals.at(0, 0, 0), 7);
  EXPECT_EQ(NameText(m->Name), "Test");
}

TEST(VxlReader, HostileOffsetsAreRefusedWithoutReachingOutsideTheFile) {
  auto m = std::make_unique<TVoxelModel>();
  const Bytes valid = ValidFile();
  const std::size_t t = TailerAt(valid);
  std::vector<Bytes> damaged;
  // SpanEnd 2^31-1: the walk would go on into the tailer and past the end of the file.
  Bytes b = valid;
  PutLE32(b, 830 + 8, 0x7FFFFFFFu);
  damaged.push_back(b);
  // Starts before the body and far past the file, and table offsets outside the body.
  for (std::uint32_t s : {0x80000000u, 0xFFFFFFF0u, 0x7FFFFFFFu, 100000u}) {
    b = valid;
    PutLE32(b, 830, s == 0xFFFFFFF0u ? std::uint32_t(-1000) : s);
    damaged.push_back(b);
    for (int field = 0; field < 3; ++field) {
      b = valid;
      PutLE32(b, t + 4 * field, s);
      damaged.push_back(b);
    }
  }
  // A tailer read from inside the header (BodySize -830).
  b = valid;
  PutLE32(b, 28, std::uint32_t(-830));
  damaged.push_back(b);
  // Every cut of a valid file, and spans running into the end of the file.
  VxlFile f;
  f.sizeX = 2;
  f.sizeY = 2;
  f.sizeZ = 6;
  f.normalType = 9;
  f.columns = {{0, 3, 1, 1, 2, 2, 3, 3, 3, 3, 0, 0}, {}, {5, 1, 9, 9, 1}, {1, 1, 4, 4, 1, 4, 0, 0}};
  const Bytes full = f.Build();
  for (std::size_t len = 0; len < full.size(); ++len)
    damaged.emplace_back(full.begin(), full.begin() + std::ptrdiff_t(len));
  b = full;
  PutLE32(b, 830, std::uint32_t(b.size() - 5 - (830 + 8 * 4)));
  damaged.push_back(b);

  for (std::size_t i = 0; i < damaged.size(); ++i) EXPECT_NE(LoadBytes(damaged[i], *m), LoadStatus::Ok) << i;
  EXPECT_EQ(LoadBytes(full, *m), LoadStatus::Ok);
}

TEST(VxlReader, HostileTablesOverAFullExtentFinishQuickly) {
  // 255^2 columns whose table entries point: all at the same 1 MB run of zero spans with
  // SpanEnd 2^31-1 (a naive walk takes tens of billions of steps); all outside the file;
  // and each somewhere else in it, so that no read-ahead is ever reused.
  const std::size_t n = 255 * 255;
  VxlFile f;
  f.sizeX = 255;
  f.sizeY = 255;
  f.sizeZ = 255;
  f.columns.assign(n, Bytes());
  f.columns[0] = Bytes(1 << 20, 0);
  const Bytes base = f.Build();
  auto m = std::make_unique<TVoxelModel>();
  for (int layout = 0; layout < 3; ++layout) {
    SCOPED_TRACE(layout);
    Bytes b = base;
    for (std::size_t c = 0; c < n; ++c) {
      const std::uint32_t start = layout == 0   ? 0
                                  : layout == 1 ? 0x40000000u
                                                : std::uint32_t(c * 4099 % (1 << 20));
      PutLE32(b, 830 + 4 * c, start);
      PutLE32(b, 830 + 4 * n + 4 * c, 0x7FFFFFFFu);
    }
    m->Colours.at(3, 3, 3) = 1;
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(LoadBytes(b, *m), LoadStatus::IncorrectFormat);  // the walks leave the file
    const auto elapsed = std::chrono::steady_clock::now() - t0;
    EXPECT_LT(std::chrono::duration<double>(elapsed).count(), 20.0);
    EXPECT_TRUE(m->IsVoxel(3, 3, 3));
  }
}

TEST(VxlReader, RandomlyCorruptedFilesNeverCrash) {
  VxlFile f;
  f.sizeX = 4;
  f.sizeY = 3;
  f.sizeZ = 9;
  std::mt19937 rng(12345);
  for (int c = 0; c < 12; ++c) {
    Bytes spans;
    if (c % 4 != 1) {
      spans = {std::uint8_t(c % 3), 2, std::uint8_t(c), 1, std::uint8_t(c + 1), 2, 2};
      spans.insert(spans.end(), {1, 1, 9, 9, 1});
    }
    f.columns.push_back(spans);
  }
  const Bytes valid = f.Build();
  auto m = std::make_unique<TVoxelModel>();
  ScratchDir dir;
  const std::string path = dir.File("fuzz.vxl");
  for (int round = 0; round < 3000; ++round) {
    Bytes b = valid;
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = rng() % b.size();
      switch (rng() % 4) {
        case 0:
          b[at] = std::uint8_t(rng());
          break;
        case 1:
          b[at] = 0xFF;
          break;
        case 2:
          b.resize(at);
          break;
        default:
          PutLE32(b, at & ~std::size_t(3), std::uint32_t(rng()));
          break;
      }
      if (b.empty()) break;
    }
    WriteBytes(path, b);
    const LoadStatus s = ReadVoxelFile(path, *m);
    if (s == LoadStatus::Ok) {
      ASSERT_GT(m->SizeX, 0);
      ASSERT_GT(m->SizeY, 0);
      ASSERT_GT(m->SizeZ, 0);
    }
  }

  // And the files the fuzzers kept, each through the reader of its format.
  std::size_t kept = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(KOBALTINE_FUZZ_SEEDS)) {
    const FileFormat* format = FormatForPath(e.path().string());
    if (!e.is_regular_file() || format == nullptr) continue;
    ++kept;
    if (ReadWith(*format, e.path().string(), *m) != nullptr) continue;
    for (std::size_t i = 0; i < m->SectionCount(); ++i)
      EXPECT_GT(m->Section(i).CellCount(), 0u) << e.path();
  }
  EXPECT_GE(kept, 6u);
}

// Columns that share their spans are read once; what cannot be read whole is refused.
TEST(VxlReader, SharedSpanChainsLoadWholeAndOverlapsBeyondTheBudgetAreRefused) {
  // 4,096 columns, one chain of 40,000 empty spans and then a voxel.
  VxlFile f;
  f.sizeX = f.sizeY = 64;
  f.sizeZ = 1;
  Bytes chain;
  for (int i = 0; i < 40000; ++i) chain.insert(chain.end(), {0, 0, 0});
  chain.insert(chain.end(), {0, 1, 7, 3, 1});
  f.columns.assign(64 * 64, Bytes());
  f.columns[0] = chain;
  const Bytes base = f.Build();
  const std::size_t n = 64 * 64;
  const struct {
    const char* what;
    bool overlapping;  // each column starts one span further into the chain
    LoadStatus expected;
  } cases[] = {{"all share one chain", false, LoadStatus::Ok},
               {"every column its own overlapping walk", true, LoadStatus::IncorrectFormat}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = base;
    for (std::size_t col = 0; col < n; ++col) {
      PutLE32(b, 830 + 4 * col, std::uint32_t(c.overlapping ? 3 * col : 0));
      PutLE32(b, 830 + 4 * n + 4 * col, std::uint32_t(chain.size() - 1));
    }
    auto m = std::make_unique<TVoxelModel>();
    ASSERT_EQ(LoadBytes(b, *m), c.expected);
    if (c.expected != LoadStatus::Ok) continue;
    std::size_t voxels = 0;
    for (unsigned y = 0; y < 64; ++y)
      for (unsigned x = 0; x < 64; ++x) voxels += m->Colours.at(x, y, 0) == 7;
    EXPECT_EQ(voxels, n);
  }
}

// Sections that declare a huge extent cost memory by the voxels they hold.
TEST(VxlReader, KeptSectionsCostTheirVoxelsNotTheirExtent) {
  for (const bool oneVoxel : {false, true}) {
    SCOPED_TRACE(oneVoxel);
    VxlFile f;
    f.sizeX = f.sizeY = f.sizeZ = 255;
    f.columns.assign(255 * 255, Bytes());
    if (oneVoxel) f.columns[300] = {254, 1, 9, 4, 1};
    f.more.assign(32, f);
    for (std::size_t i = 0; i < 32; ++i) f.more[i].header[0] = std::uint32_t(i + 1);
    const Bytes bytes = f.Build();
    auto m = std::make_unique<TVoxelModel>();
    ASSERT_EQ(LoadBytes(bytes, *m), LoadStatus::Ok);
    ASSERT_EQ(m->SectionCount(), 33u);
    std::size_t kept = 0;
    for (std::size_t i = 1; i < 33; ++i) kept += m->KeptSection(i)->Bytes();
    EXPECT_LE(kept, bytes.size());
    EXPECT_EQ(m->Section(32).Colour(45, 1, 254), oneVoxel ? 9 : 0);
    // Saved again, the file is the same.
    ScratchDir dir;
    ASSERT_TRUE(WriteVoxelFile(dir.File("again.vxl"), *m));
    EXPECT_EQ(ReadBytes(dir.File("again.vxl")), bytes);
  }
}
