#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/FileFormats.h"
#include "model/Messages.h"
#include "model/NewModel.h"
#include "model/VoxFile.h"
#include "model/VoxMapping.h"
#include "model/VoxTestFiles.h"

TEST(VoxFile, ReadsModelsWithTheirPaletteOrTheDefaultOne) {
  Bytes rgba;
  for (std::uint32_t i = 0; i < 256; ++i) PutLE32(rgba, rgba.size(), 0x80000000u + i * 0x010203u);
  // (3, 0, 0) lies outside the size, and colour 0 is no voxel.
  const Bytes model =
      Size(3, 2, 1) + Xyzi({{0, 0, 0, 5}, {3, 0, 0, 6}, {2, 1, 0, 255}, {1, 1, 0, 0}});
  VoxScene scene;
  ASSERT_EQ(ReadVoxBytes(VoxBytes(Chunk("PACK", Ints({2})) + model + Size(1, 1, 1) + Xyzi({}) +
                                  Chunk("RGBA", rgba)),
                         scene),
            VoxStatus::Ok);
  ASSERT_EQ(scene.Models.size(), 2u);
  EXPECT_EQ(SizeOf(scene.Models[0]), (std::array<std::uint8_t, 3>{3, 2, 1}));
  EXPECT_EQ(scene.Models[0].Voxels, (std::vector<VoxVoxel>{{0, 0, 0, 5}, {2, 1, 0, 255}}));
  // The chunk's entry i is colour i + 1; colour 0 has none.
  EXPECT_TRUE(scene.PaletteInFile);
  EXPECT_EQ((std::array{scene.Palette[0], scene.Palette[1], scene.Palette[255]}),
            (std::array<std::uint32_t, 3>{0, 0x80000000u, 0x80000000u + 254 * 0x010203u}));

  ASSERT_EQ(ReadVoxBytes(VoxBytes(model), scene), VoxStatus::Ok);
  EXPECT_FALSE(scene.PaletteInFile);
  EXPECT_EQ(scene.Palette, VoxDefaultPalette());
  const std::pair<int, std::uint32_t> known[] = {
      {0, 0}, {1, 0xffffffff}, {15, 0xff9999ff}, {216, 0xff0000ee}, {255, 0xff111111}};
  for (auto [c, v] : known) EXPECT_EQ(VoxDefaultPalette()[std::size_t(c)], v) << c;
  // Red sits in the low byte: colour 216 is a dark red.
  EXPECT_EQ(PaletteFromVox(VoxDefaultPalette())[216], PackRGB(0xee, 0, 0));
}

TEST(VoxFile, TheLastRecordOfACellDecidesItAndColourZeroEmptiesIt) {
  using V = std::vector<VoxVoxel>;
  const struct {
    V records, cells;  // the cells x fastest, then y, then z
  } cases[] = {
      {{{1, 0, 0, 5}, {0, 0, 0, 6}}, {{0, 0, 0, 6}, {1, 0, 0, 5}}},
      {{{1, 1, 1, 5}, {1, 1, 1, 9}}, {{1, 1, 1, 9}}},
      {{{1, 1, 1, 5}, {1, 1, 1, 0}}, {}},
      {{{1, 1, 1, 0}, {1, 1, 1, 5}}, {{1, 1, 1, 5}}},
      {{{0, 2, 0, 3}, {1, 1, 1, 5}, {0, 2, 0, 0}, {1, 1, 1, 7}, {1, 1, 1, 8}}, {{1, 1, 1, 8}}},
      {{{0, 0, 0, 4}, {2, 0, 0, 0}, {0, 0, 3, 0}}, {{0, 0, 0, 4}}},  // outside: no cell
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    VoxScene scene;
    ASSERT_EQ(ReadVoxBytes(VoxBytes(Size(2, 3, 2) + Xyzi(cases[i].records)), scene), VoxStatus::Ok);
    const VoxSceneModel& read = scene.Models.at(0);
    EXPECT_EQ(read.Voxels, cases[i].cells) << "case " << i;
    // Import holds those cells and nothing else; export and a second read give them back.
    auto section = std::make_unique<TVoxelModel>();
    SectionFromVox(read, 1, scene.Palette, *section);
    VoxSceneModel back;
    EXPECT_EQ(VoxModelFromSection(section->Section(0), back), 0u);
    EXPECT_EQ(back.Voxels, cases[i].cells) << "case " << i;
    VoxScene again;
    ASSERT_EQ(ReadVoxBytes(EncodeVox(scene), again), VoxStatus::Ok);
    EXPECT_EQ(again.Models.at(0).Voxels, cases[i].cells) << "case " << i;
  }
}

TEST(VoxFile, SceneFilesNameTheirModelsAndSkipEveryOtherChunk) {
  // A nesting deeper than any recursion could take, inside a chunk nobody knows.
  const std::uint32_t depth = 20000;
  Bytes nested;
  for (std::uint32_t i = 0; i < depth; ++i) {
    const Bytes header = Bytes{'z', 'z', 'z', 'z'} + Ints({0, 12 * (depth - 1 - i)});
    nested.insert(nested.end(), header.begin(), header.end());
  }
  // The second transform above shape 7, a dictionary cut short and a count beyond its
  // chunk change nothing.
  const Bytes scene = Transform(0, "", 1) + Chunk("nGRP", Ints({1}) + Dict() + Ints({3, 2, 4, 6})) +
                      Transform(2, "Left turret barrel", 3) + Shape(3, {0}) + Transform(4, "", 5) +
                      Shape(5, {1}) + Transform(6, "hull", 7) + Shape(7, {2, 99}) +
                      Transform(8, "second", 7) + Chunk("nTRN", Ints({9, 5})) +
                      Chunk("nSHP", Ints({10, 0, 0x7FFFFFFF}));
  const Bytes others = Chunk("LAYR", Ints({0}) + Dict("_name", "layer") + Ints({0xFFFFFFFFu})) +
                       Chunk("MATL", Ints({1}) + Dict("_type", "_metal")) +
                       Chunk("MATT", Ints({1, 0, 0})) + Chunk("rOBJ", Dict("_type", "_bg")) +
                       Chunk("rCAM", Ints({0}) + Dict("_mode", "pers")) +
                       Chunk("NOTE", Ints({1}) + Text("dark")) + Chunk("IMAP", Bytes(1024, 1));
  const Bytes models = Size(1, 1, 1) + Xyzi({{0, 0, 0, 1}}) + Size(2, 1, 1) + Xyzi({{1, 0, 0, 2}}) +
                       Size(1, 1, 1) + Xyzi({});
  VoxScene read;
  ASSERT_EQ(ReadVoxBytes(VoxBytes(models + scene + others + nested, 200), read), VoxStatus::Ok);
  EXPECT_EQ(read.Version, 200);
  ASSERT_EQ(read.Models.size(), 3u);
  EXPECT_EQ(read.Models[0].Name, "Left turret barrel");
  EXPECT_EQ(read.Models[1].Name, "");
  EXPECT_EQ(read.Models[2].Name, "hull");
  EXPECT_EQ(read.Models[1].Voxels, (std::vector<VoxVoxel>{{1, 0, 0, 2}}));
}

TEST(VoxFile, BadFilesAreRejectedAndLeaveTheSceneAlone) {
  const Bytes model = Size(2, 2, 2) + Xyzi({{1, 1, 1, 3}});
  Bytes vxl(830, 0);
  std::memcpy(vxl.data(), "Voxel Animation", 16);
  Bytes mainTooLong = VoxBytes(model);
  PutLE32(mainTooLong, 16, 0xFFFFFFF0u);
  constexpr VoxStatus Bad = VoxStatus::IncorrectFormat, Large = VoxStatus::TooLarge;
  const std::pair<Bytes, VoxStatus> cases[] = {
      {{}, Bad},
      {vxl, Bad},
      {Bytes{'V', 'O', 'X', ' '} + Ints({150}) + model, Bad},  // no MAIN
      {mainTooLong, Bad},
      {VoxBytes(Chunk("RGBA", Bytes(1024, 7))), Bad},  // no model
      {VoxBytes(Xyzi({})), Bad},
      {VoxBytes(model + Size(1, 1, 1)), Bad},
      {VoxBytes(Size(1, 1, 1) + model), Bad},
      {VoxBytes(Size(1, 0, 1) + Xyzi({})), Bad},
      {VoxBytes(Size(1, 1, 0xFFFFFFFFu) + Xyzi({})), Bad},
      {VoxBytes(Size(256, 1, 1) + Xyzi({})), Large},
      {VoxBytes(Size(1, 1, 100000) + Xyzi({})), Large},
      {VoxBytes(Chunk("SIZE", Ints({1, 1})) + Xyzi({})), Bad},
      {VoxBytes(Size(1, 1, 1) + Chunk("XYZI", Ints({2, 0x01000000}))), Bad},
      {VoxBytes(Size(1, 1, 1) + Chunk("XYZI", Ints({0xFFFFFFFFu, 0}))), Bad},
      {VoxBytes(model + Bytes{'R', 'G', 'B', 'A'} + Ints({1024, 0})), Bad},  // past MAIN
      {VoxBytes(model + Chunk("RGBA", Bytes(1020, 1))), Bad},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    VoxScene scene;
    scene.Version = -7;
    EXPECT_EQ(ReadVoxBytes(cases[i].first, scene), cases[i].second) << "case " << i;
    EXPECT_EQ(scene.Version, -7) << "case " << i;
  }
  // Every cut of a good file is refused.
  const Bytes whole = VoxBytes(model + Transform(0, "a", 1) + Chunk("RGBA", Bytes(1024, 9)));
  for (std::size_t n = 0; n < whole.size(); ++n) {
    VoxScene scene;
    EXPECT_EQ(ReadVoxBytes({whole.data(), n}, scene), Bad) << n;
  }

  ScratchDir dir;
  VoxScene scene;
  EXPECT_EQ(ReadVoxFile(dir.File("missing.vox"), scene), VoxStatus::FileNotFound);
  EXPECT_EQ(ReadVoxFile(dir.path().string(), scene), VoxStatus::FileNotFound);
  EXPECT_STREQ(VoxStatusMessage(Large), "Model is too large (at most 255 per side)!");
  EXPECT_STREQ(VoxStatusMessage(Bad), "Incorrect Format!");
}

TEST(VoxMapping, SceneModelBecomesASectionAsNewWouldMakeIt) {
  VoxSceneModel vox{3, 2, 4, {{0, 0, 0, 1}, {2, 1, 3, 255}, {1, 0, 2, 77}}, ""};
  VoxPalette palette = VoxDefaultPalette();
  palette[0] = 0x12345678;
  palette[77] = 0x40A0B0C0;
  auto section = std::make_unique<TVoxelModel>();
  std::memset(section->Colours.data(), 9, GridCells);  // an earlier model's voxels
  std::memset(section->Normals.data(), 9, GridCells);
  section->Name.fill('#');
  SectionFromVox(vox, 1, palette, *section);

  auto expected = std::make_unique<TVoxelModel>();
  ResetNewModel(*expected, 3, 2, 4);
  expected->Colours.at(0, 0, 0) = 1;
  expected->Colours.at(2, 1, 3) = 255;
  expected->Colours.at(1, 0, 2) = 77;
  expected->Palette = PaletteFromVox(palette);
  expected->Name = {'M', 'O', 'D', 'E', 'L', ' ', '1'};
  EXPECT_TRUE(SameModel(*section, *expected));
  EXPECT_EQ(section->NormalType, 2);
  EXPECT_EQ((std::array{section->Palette[0], section->Palette[1], section->Palette[77]}),
            (std::array{0, PackRGB(255, 255, 255), PackRGB(0xC0, 0xB0, 0xA0)}));
  SectionFromVox(vox, 1, palette, *section, 4);
  EXPECT_EQ(section->NormalType, 4);

  const std::tuple<const char*, std::size_t, const char*> names[] = {
      {"", 1, "MODEL 1"},
      {"", 12, "MODEL 12"},
      {"hull", 3, "hull"},
      {"ABCDEFGHIJKLMNOPQRS", 1, "ABCDEFGHIJKLMNO"},
      // The file's bytes, fifteen at most; a character the cut would split goes whole.
      {"K\xC3\xB6rper-\xC3\x84\xC3\x84\xC3\x84\xC3\x84", 1,
       "K\xC3\xB6rper-\xC3\x84\xC3\x84\xC3\x84"},
      {"ABCDEFGHIJKLM\xE2\x82\xAC", 1, "ABCDEFGHIJKLM"},
      {"ABCDEFGHIJKL\xF0\x9F\x98\x80", 1, "ABCDEFGHIJKL"},
      {"ABCDEFGHIJKLMN\x80\x80", 1, "ABCDEFGHIJKLMN\x80"},  // no character to keep whole
      {"\xE2\x82\xAC 5 \xF0\x9F\x98\x80\xC3", 1, "\xE2\x82\xAC 5 \xF0\x9F\x98\x80\xC3"},
      // Control characters too: vxltool escapes them when it prints a name.
      {"\x1B]0;owned\x07\x1B[2J", 1, "\x1B]0;owned\x07\x1B[2J"},
  };
  for (const auto& [name, number, text] : names) {
    vox.Name = name;
    EXPECT_EQ(VoxSectionName(vox, number), text);
  }
}

TEST(VoxMapping, SectionBecomesASceneModelWithoutItsColourlessVoxels) {
  auto section = std::make_unique<TVoxelModel>();
  ResetNewModel(*section, 4, 3, 2);
  section->Colours.at(3, 2, 1) = 200;
  section->Normals.at(3, 2, 1) = 17;
  section->Colours.at(1, 0, 0) = 1;
  section->Normals.at(0, 1, 1) = 5;  // normals alone: nothing to export
  section->Normals.at(2, 1, 0) = 6;
  section->Colours.at(4, 0, 0) = 9;  // outside the extent
  VoxSceneModel vox;
  EXPECT_EQ(VoxModelFromSection(section->Section(0), vox), 2u);
  EXPECT_EQ(SizeOf(vox), (std::array<std::uint8_t, 3>{4, 3, 2}));
  EXPECT_EQ(vox.Voxels, (std::vector<VoxVoxel>{{1, 0, 0, 1}, {3, 2, 1, 200}}));
  section->Palette[0] = PackRGB(1, 2, 3);
  section->Palette[200] = PackRGB(10, 20, 30);
  const VoxPalette palette = VoxPaletteFrom(section->Palette);
  EXPECT_EQ((std::array{palette[0], palette[200]}), (std::array<std::uint32_t, 2>{0, 0xFF1E140A}));
}
