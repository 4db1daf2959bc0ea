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
#include "model/VxlTestFiles.h"

namespace {

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Ints(std::initializer_list<std::uint32_t> values) {
  Bytes b;
  for (std::uint32_t v : values) PutLE32(b, b.size(), v);
  return b;
}
Bytes Text(const std::string& s) {
  return Ints({std::uint32_t(s.size())}) + Bytes(s.begin(), s.end());
}
Bytes Chunk(const char* id, const Bytes& content, const Bytes& children = {}) {
  return Bytes(id, id + 4) + Ints({std::uint32_t(content.size()), std::uint32_t(children.size())}) +
         content + children;
}
Bytes Size(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  return Chunk("SIZE", Ints({x, y, z}));
}
Bytes Xyzi(const std::vector<VoxVoxel>& voxels) {
  Bytes b = Ints({std::uint32_t(voxels.size())});
  for (const VoxVoxel& v : voxels) b.insert(b.end(), {v.X, v.Y, v.Z, v.Colour});
  return Chunk("XYZI", b);
}
// A DICT of one pair, or an empty one.
Bytes Dict(const std::string& key = "", const std::string& value = "") {
  return key.empty() ? Ints({0}) : Ints({1}) + Text(key) + Text(value);
}
Bytes VoxBytes(const Bytes& children, std::uint32_t version = 150) {
  return Bytes{'V', 'O', 'X', ' '} + Ints({version}) + Chunk("MAIN", {}, children);
}
Bytes Transform(std::uint32_t id, const std::string& name, std::uint32_t child) {
  return Chunk("nTRN", Ints({id}) + (name.empty() ? Dict() : Dict("_name", name)) +
                           Ints({child, 0xFFFFFFFFu, 0, 1}) + Dict("_t", "1 2 3"));
}
Bytes Shape(std::uint32_t id, std::initializer_list<std::uint32_t> models) {
  Bytes b = Ints({id}) + Dict() + Ints({std::uint32_t(models.size())});
  for (std::uint32_t m : models) b = b + Ints({m}) + Dict();
  return Chunk("nSHP", b);
}
std::array<std::uint8_t, 3> SizeOf(const VoxSceneModel& m) {
  return {m.SizeX, m.SizeY, m.SizeZ};
}

}  // namespace

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
      // never half a letter
      {"\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84", 1,
       "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84"},
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
  EXPECT_EQ(VoxModelFromSection(*section, vox), 2u);
  EXPECT_EQ(SizeOf(vox), (std::array<std::uint8_t, 3>{4, 3, 2}));
  EXPECT_EQ(vox.Voxels, (std::vector<VoxVoxel>{{1, 0, 0, 1}, {3, 2, 1, 200}}));
  section->Palette[0] = PackRGB(1, 2, 3);
  section->Palette[200] = PackRGB(10, 20, 30);
  const VoxPalette palette = VoxPaletteFrom(section->Palette);
  EXPECT_EQ((std::array{palette[0], palette[200]}), (std::array<std::uint32_t, 2>{0, 0xFF1E140A}));
}

TEST(FileFormats, ExportedSectionImportsBackWithTheSameCellsAndPalette) {
  auto section = std::make_unique<TVoxelModel>();
  ResetNewModel(*section, 17, 5, 9);
  for (unsigned z = 0; z < 9; ++z)
    for (unsigned y = 0; y < 5; ++y)
      for (unsigned x = 0; x < 17; ++x)
        section->Colours.at(x, y, z) = std::uint8_t((x + y + z) % 5 == 0 ? 0 : x + 16 * y + z);
  section->Normals.at(3, 3, 3) = 4;
  section->Colours.at(3, 3, 3) = 0;
  for (std::size_t c = 1; c < 256; ++c) section->Palette[c] = PackRGB(c, 255 - c, c * 3);
  section->Palette[0] = 0;

  ScratchDir dir;
  const FileFormat* vox = FormatForPath(dir.File("tank.VOX"));
  ASSERT_NE(vox, nullptr);
  const ExportResult written = vox->Write(dir.File("tank.VOX"), *section);
  ASSERT_TRUE(written);
  EXPECT_EQ(written.LeftOut, 1u);
  // The plain layout: SIZE, XYZI, then RGBA with opaque colours and a last entry of 0.
  const Bytes b = ReadBytes(dir.File("tank.VOX"));
  const std::size_t rgba = b.size() - 1036;
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 12),
            (Bytes{'V', 'O', 'X', ' ', 150, 0, 0, 0, 'M', 'A', 'I', 'N'}));
  EXPECT_EQ(std::string(b.begin() + 20, b.begin() + 24), "SIZE");
  EXPECT_EQ(std::string(b.begin() + 44, b.begin() + 48), "XYZI");
  EXPECT_EQ(GetLE32(b, rgba), GetLE32(Bytes{'R', 'G', 'B', 'A'}, 0));
  EXPECT_EQ(GetLE32(b, rgba + 12), 0xFF000000u | std::uint32_t(PackRGB(1, 254, 3)));
  EXPECT_EQ(GetLE32(b, b.size() - 4), 0u);

  auto back = std::make_unique<TVoxelModel>();
  ASSERT_EQ(vox->Read(dir.File("tank.VOX"), *back), nullptr);
  section->Normals.at(3, 3, 3) = 0;  // the one voxel left out
  StoreNameText(section->Name, "MODEL 1");
  EXPECT_TRUE(SameModel(*section, *back));

  // One section per document for now: several models are refused, not cut down.
  WriteBytes(dir.File("two.vox"), VoxBytes(Size(1, 1, 1) + Xyzi({}) + Size(1, 1, 1) + Xyzi({})));
  EXPECT_STREQ(vox->Read(dir.File("two.vox"), *back), MsgMultiLimbed);
  EXPECT_TRUE(SameModel(*section, *back));
  EXPECT_FALSE(vox->Write(dir.File("none/x.vox"), *section));
  EXPECT_EQ(dir.EntryCount(), 2u);

  // The table's other entry is the editor's own format; paths match in any case.
  const FileFormat* vxl = FormatForPath("B.VXL");
  ASSERT_TRUE(vxl && vxl->Write(dir.File("x.vxl"), *section));
  EXPECT_EQ(vxl->Read(dir.File("x.vxl"), *back), nullptr);
  EXPECT_TRUE(SameModel(*section, *back));
  EXPECT_STREQ(vxl->Read(dir.File("none.vxl"), *back), MsgFileNotFound);
  EXPECT_STREQ(FileFormats()[1].Filter, "MagicaVoxel model (*.vox)");
  for (const char* other : {"c.vox.pal", "vox", ""}) EXPECT_EQ(FormatForPath(other), nullptr);
}

TEST(VoxFixtures, RealFilesReadWithTheirModels) {
  const std::string folder = std::string(KOBALTINE_FIXTURES) + "/vox/";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no fixtures at " << folder;
  const struct {
    const char* file;
    std::array<std::uint8_t, 3> size;
    std::vector<std::size_t> voxels;
    bool palette;
  } files[] = {
      {"chr_knight.vox", {20, 21, 20}, {398}, true},
      {"chr_fox.vox", {20, 21, 20}, {565}, true},
      {"chr_bow.vox", {20, 20, 20}, {399}, false},
      {"deer.vox", {26, 9, 27}, {355, 351, 358, 351}, true},
      {"monu9.vox", {97, 97, 79}, {32832}, true},
  };
  auto section = std::make_unique<TVoxelModel>();
  for (const auto& f : files) {
    VoxScene scene;
    ASSERT_EQ(ReadVoxFile(folder + f.file, scene), VoxStatus::Ok) << f.file;
    EXPECT_EQ(scene.PaletteInFile, f.palette) << f.file;
    ASSERT_EQ(scene.Models.size(), f.voxels.size()) << f.file;
    for (std::size_t i = 0; i < scene.Models.size(); ++i) {
      EXPECT_EQ(SizeOf(scene.Models[i]), f.size) << f.file;
      SectionFromVox(scene.Models[i], i + 1, scene.Palette, *section);
      std::size_t cells = 0;
      for (unsigned z = 0; z < f.size[2]; ++z)
        for (unsigned y = 0; y < f.size[1]; ++y)
          for (unsigned x = 0; x < f.size[0]; ++x) cells += section->IsVoxel(x, y, z);
      EXPECT_EQ(cells, f.voxels[i]) << f.file << " model " << i + 1;
    }
  }
}
