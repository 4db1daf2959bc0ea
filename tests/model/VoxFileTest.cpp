#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/FileFormats.h"
#include "model/Messages.h"
#include "model/NewModel.h"
#include "model/VoxFile.h"
#include "model/VoxMapping.h"
#include "model/VxlTestFiles.h"

namespace {

void Put(Bytes& b, std::uint32_t v) {
  PutLE32(b, b.size(), v);
}
void Put(Bytes& b, const std::string& s) {
  Put(b, std::uint32_t(s.size()));
  b.insert(b.end(), s.begin(), s.end());
}
Bytes Chunk(const char* id, const Bytes& content, const Bytes& children = {}) {
  Bytes b(id, id + 4);
  Put(b, std::uint32_t(content.size()));
  Put(b, std::uint32_t(children.size()));
  b.insert(b.end(), content.begin(), content.end());
  b.insert(b.end(), children.begin(), children.end());
  return b;
}
Bytes Ints(std::initializer_list<std::uint32_t> values) {
  Bytes b;
  for (std::uint32_t v : values) Put(b, v);
  return b;
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
  Bytes b = Ints({key.empty() ? 0u : 1u});
  if (!key.empty()) Put(b, key), Put(b, value);
  return b;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}
Bytes VoxBytes(const Bytes& children, std::uint32_t version = 150) {
  Bytes b{'V', 'O', 'X', ' '};
  Put(b, version);
  return Cat({b, Chunk("MAIN", {}, children)});
}

Bytes Transform(std::uint32_t id, const std::string& name, std::uint32_t child) {
  return Chunk("nTRN", Cat({Ints({id}), name.empty() ? Dict() : Dict("_name", name),
                            Ints({child, 0xFFFFFFFFu, 0, 1}), Dict("_t", "1 2 3")}));
}
Bytes Shape(std::uint32_t id, std::initializer_list<std::uint32_t> models) {
  Bytes b = Cat({Ints({id}), Dict(), Ints({std::uint32_t(models.size())})});
  for (std::uint32_t m : models) b = Cat({b, Ints({m}), Dict()});
  return Chunk("nSHP", b);
}

VoxStatus Read(const Bytes& b, VoxScene& scene) {
  return ReadVoxBytes(b, scene);
}

}  // namespace

TEST(VoxFile, ReadsModelsAndPaletteAndDropsVoxelsWithoutACell) {
  Bytes rgba;
  for (std::uint32_t i = 0; i < 256; ++i) Put(rgba, 0x80000000u + i * 0x010203u);
  const Bytes file = VoxBytes(Cat({Chunk("PACK", Ints({2})), Size(3, 2, 1),
                                   // (3, 0, 0) lies outside the size, colour 0 is no voxel
                                   Xyzi({{0, 0, 0, 5}, {3, 0, 0, 6}, {2, 1, 0, 255}, {1, 1, 0, 0}}),
                                   Size(1, 1, 1), Xyzi({}), Chunk("RGBA", rgba)}));
  VoxScene scene;
  ASSERT_EQ(Read(file, scene), VoxStatus::Ok);
  ASSERT_EQ(scene.Models.size(), 2u);
  EXPECT_EQ(scene.Version, 150);
  EXPECT_EQ(scene.Models[0].SizeX, 3);
  EXPECT_EQ(scene.Models[0].SizeY, 2);
  EXPECT_EQ(scene.Models[0].SizeZ, 1);
  EXPECT_EQ(scene.Models[0].Voxels, (std::vector<VoxVoxel>{{0, 0, 0, 5}, {2, 1, 0, 255}}));
  EXPECT_TRUE(scene.Models[1].Voxels.empty());
  // The chunk's entry i is colour i + 1; colour 0 has none.
  EXPECT_TRUE(scene.PaletteInFile);
  EXPECT_EQ(scene.Palette[0], 0u);
  EXPECT_EQ(scene.Palette[1], 0x80000000u);
  EXPECT_EQ(scene.Palette[255], 0x80000000u + 254 * 0x010203u);
}

TEST(VoxFile, DefaultPaletteStandsInWithoutAPaletteChunk) {
  VoxScene scene;
  ASSERT_EQ(Read(VoxBytes(Cat({Size(1, 1, 1), Xyzi({{0, 0, 0, 1}})})), scene), VoxStatus::Ok);
  EXPECT_FALSE(scene.PaletteInFile);
  EXPECT_EQ(scene.Palette, VoxDefaultPalette());
  const std::pair<int, std::uint32_t> known[] = {
      {0, 0x00000000},   {1, 0xffffffff},   {2, 0xffccffff},  {15, 0xff9999ff},
      {216, 0xff0000ee}, {246, 0xffeeeeee}, {255, 0xff111111}};
  for (auto [c, v] : known) EXPECT_EQ(VoxDefaultPalette()[std::size_t(c)], v) << c;
  // Red sits in the low byte: colour 216 is a dark red.
  EXPECT_EQ(PaletteFromVox(VoxDefaultPalette())[216], PackRGB(0xee, 0, 0));
  EXPECT_EQ(PaletteFromVox(VoxDefaultPalette())[2], PackRGB(0xff, 0xff, 0xcc));
}

TEST(VoxFile, SceneFilesNameTheirModelsAndSkipEveryOtherChunk) {
  // A nesting deeper than any recursion could take, inside a chunk nobody knows.
  const std::size_t depth = 20000;
  Bytes nested;
  for (std::size_t i = 0; i < depth; ++i) {
    nested.insert(nested.end(), {'z', 'z', 'z', 'z'});
    Put(nested, 0);
    Put(nested, std::uint32_t(12 * (depth - 1 - i)));
  }
  const Bytes file =
      VoxBytes(Cat({Size(1, 1, 1),
                    Xyzi({{0, 0, 0, 1}}),
                    Size(2, 1, 1),
                    Xyzi({{1, 0, 0, 2}}),
                    Size(1, 1, 1),
                    Xyzi({}),
                    Transform(0, "", 1),
                    Chunk("nGRP", Cat({Ints({1}), Dict(), Ints({3, 2, 4, 6})})),
                    Transform(2, "Left turret barrel", 3),
                    Shape(3, {0}),
                    Transform(4, "", 5),
                    Shape(5, {1}),
                    Transform(6, "hull", 7),
                    Shape(7, {2, 99}),
                    Transform(8, "second", 7),    // the first transform above a shape names it
                    Chunk("nTRN", Ints({9, 5})),  // a dictionary cut short loses only a name
                    Chunk("nSHP", Ints({10, 0, 0x7FFFFFFF})),  // a count far beyond the chunk
                    Chunk("LAYR", Cat({Ints({0}), Dict("_name", "layer"), Ints({0xFFFFFFFFu})})),
                    Chunk("MATL", Cat({Ints({1}), Dict("_type", "_metal")})),
                    Chunk("MATT", Ints({1, 0, 0})),
                    Chunk("rOBJ", Dict("_type", "_bg")),
                    Chunk("rCAM", Cat({Ints({0}), Dict("_mode", "pers")})),
                    Chunk("NOTE", Cat({Ints({1}), Dict("", "")})),
                    Chunk("IMAP", Bytes(1024, 1)),
                    nested}),
               200);
  VoxScene scene;
  ASSERT_EQ(Read(file, scene), VoxStatus::Ok);
  EXPECT_EQ(scene.Version, 200);
  ASSERT_EQ(scene.Models.size(), 3u);
  EXPECT_EQ(scene.Models[0].Name, "Left turret barrel");
  EXPECT_EQ(scene.Models[1].Name, "");
  EXPECT_EQ(scene.Models[2].Name, "hull");
  EXPECT_EQ(scene.Models[1].Voxels, (std::vector<VoxVoxel>{{1, 0, 0, 2}}));
}

TEST(VoxFile, BadFilesAreRejectedAndLeaveTheSceneAlone) {
  const Bytes model = Cat({Size(2, 2, 2), Xyzi({{1, 1, 1, 3}})});
  Bytes vxl(830, 0);
  std::memcpy(vxl.data(), "Voxel Animation", 16);
  Bytes mainTooLong = VoxBytes(model);
  PutLE32(mainTooLong, 16, 0xFFFFFFF0u);
  const struct {
    const char* what;
    Bytes file;
    VoxStatus status;
  } cases[] = {
      {"empty", {}, VoxStatus::IncorrectFormat},
      {"a voxel animation file", vxl, VoxStatus::IncorrectFormat},
      {"no MAIN", Cat({Bytes{'V', 'O', 'X', ' '}, Ints({150}), model}), VoxStatus::IncorrectFormat},
      {"MAIN longer than the file", mainTooLong, VoxStatus::IncorrectFormat},
      {"no model", VoxBytes(Chunk("RGBA", Bytes(1024, 7))), VoxStatus::IncorrectFormat},
      {"voxels without a size", VoxBytes(Xyzi({})), VoxStatus::IncorrectFormat},
      {"a size without voxels", VoxBytes(Cat({model, Size(1, 1, 1)})), VoxStatus::IncorrectFormat},
      {"two sizes", VoxBytes(Cat({Size(1, 1, 1), model})), VoxStatus::IncorrectFormat},
      {"size 0", VoxBytes(Cat({Size(1, 0, 1), Xyzi({})})), VoxStatus::IncorrectFormat},
      {"negative size", VoxBytes(Cat({Size(1, 1, 0xFFFFFFFFu), Xyzi({})})),
       VoxStatus::IncorrectFormat},
      {"256 along x", VoxBytes(Cat({Size(256, 1, 1), Xyzi({})})), VoxStatus::TooLarge},
      {"too high", VoxBytes(Cat({Size(1, 1, 100000), Xyzi({})})), VoxStatus::TooLarge},
      {"short size", VoxBytes(Cat({Chunk("SIZE", Ints({1, 1})), Xyzi({})})),
       VoxStatus::IncorrectFormat},
      {"more voxels than the chunk holds",
       VoxBytes(Cat({Size(1, 1, 1), Chunk("XYZI", Ints({2, 0x01000000}))})),
       VoxStatus::IncorrectFormat},
      {"a count of 2^32 - 1", VoxBytes(Cat({Size(1, 1, 1), Chunk("XYZI", Ints({0xFFFFFFFFu, 0}))})),
       VoxStatus::IncorrectFormat},
      {"a chunk past MAIN",
       VoxBytes(Cat({model, Bytes{'R', 'G', 'B', 'A', 0, 4, 0, 0, 0, 0, 0, 0}})),
       VoxStatus::IncorrectFormat},
      {"short palette", VoxBytes(Cat({model, Chunk("RGBA", Bytes(1020, 1))})),
       VoxStatus::IncorrectFormat},
  };
  for (const auto& c : cases) {
    VoxScene scene;
    scene.Version = -7;
    EXPECT_EQ(Read(c.file, scene), c.status) << c.what;
    EXPECT_EQ(scene.Version, -7) << c.what;
  }

  // Every cut of a good file is refused, none reads past the end.
  const Bytes whole = VoxBytes(Cat({model, Transform(0, "a", 1), Chunk("RGBA", Bytes(1024, 9))}));
  for (std::size_t n = 0; n < whole.size(); ++n) {
    VoxScene scene;
    const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
    EXPECT_EQ(Read(cut, scene), VoxStatus::IncorrectFormat) << n;
  }

  ScratchDir dir;
  VoxScene scene;
  EXPECT_EQ(ReadVoxFile(dir.File("missing.vox"), scene), VoxStatus::FileNotFound);
  EXPECT_EQ(ReadVoxFile(dir.path().string(), scene), VoxStatus::FileNotFound);
  EXPECT_STREQ(VoxStatusMessage(VoxStatus::TooLarge), "Model is too large (at most 255 per side)!");
  EXPECT_STREQ(VoxStatusMessage(VoxStatus::IncorrectFormat), "Incorrect Format!");
}

TEST(VoxMapping, SceneModelBecomesASectionAsNewWouldMakeIt) {
  VoxSceneModel vox;
  vox.SizeX = 3;
  vox.SizeY = 2;
  vox.SizeZ = 4;
  vox.Voxels = {{0, 0, 0, 1}, {2, 1, 3, 255}, {1, 0, 2, 77}};
  VoxPalette palette = VoxDefaultPalette();
  palette[0] = 0x12345678;
  palette[77] = 0x40A0B0C0;

  auto section = std::make_unique<TVoxelModel>();
  for (unsigned z = 0; z < 4; ++z)  // an earlier model's voxels must not show through
    for (unsigned y = 0; y < 2; ++y)
      for (unsigned x = 0; x < 3; ++x)
        section->Colours.at(x, y, z) = section->Normals.at(x, y, z) = 9;
  section->Name.fill('#');
  SectionFromVox(vox, 1, palette, *section);

  auto fresh = std::make_unique<TVoxelModel>();
  ResetNewModel(*fresh, 3, 2, 4);
  EXPECT_EQ(section->Tailer, fresh->Tailer);
  EXPECT_EQ(section->NormalType, 2);
  EXPECT_EQ((std::array{section->SizeX, section->SizeY, section->SizeZ}),
            (std::array<std::uint8_t, 3>{3, 2, 4}));
  unsigned coloured = 0;
  for (unsigned z = 0; z < 4; ++z)
    for (unsigned y = 0; y < 2; ++y)
      for (unsigned x = 0; x < 3; ++x) {
        EXPECT_EQ(section->Normals.at(x, y, z), 0);
        coloured += section->Colours.at(x, y, z) != 0;
      }
  EXPECT_EQ(coloured, 3u);
  EXPECT_EQ(section->Colours.at(2, 1, 3), 255);
  EXPECT_EQ(section->Colours.at(1, 0, 2), 77);
  EXPECT_EQ(section->Palette[0], 0);
  EXPECT_EQ(section->Palette[77], PackRGB(0xC0, 0xB0, 0xA0));
  EXPECT_EQ(section->Palette[1], PackRGB(255, 255, 255));
  EXPECT_EQ(section->Name, (std::array<std::uint8_t, 16>{'M', 'O', 'D', 'E', 'L', ' ', '1'}));

  SectionFromVox(vox, 1, palette, *section, 4);
  EXPECT_EQ(section->NormalType, 4);

  const struct {
    const char* name;
    std::size_t number;
    const char* section;
  } names[] = {
      {"", 1, "MODEL 1"},
      {"", 12, "MODEL 12"},
      {"hull", 3, "hull"},
      {"ABCDEFGHIJKLMNOPQRS", 1, "ABCDEFGHIJKLMNO"},
      {"\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84", 1,
       "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84"},  // never half a letter
  };
  for (const auto& n : names) {
    vox.Name = n.name;
    EXPECT_EQ(VoxSectionName(vox, n.number), n.section);
  }
}

TEST(VoxMapping, SectionBecomesASceneModelWithoutItsColourlessVoxels) {
  auto section = std::make_unique<TVoxelModel>();
  ResetNewModel(*section, 4, 3, 2);
  section->Colours.at(3, 2, 1) = 200;
  section->Normals.at(3, 2, 1) = 17;
  section->Colours.at(1, 0, 0) = 1;
  section->Normals.at(0, 1, 1) = 5;  // a normal alone: nothing to export
  section->Normals.at(2, 1, 0) = 6;
  section->Colours.at(4, 0, 0) = 9;  // outside the extent
  VoxSceneModel vox;
  EXPECT_EQ(VoxModelFromSection(*section, vox), 2u);
  EXPECT_EQ((std::array{vox.SizeX, vox.SizeY, vox.SizeZ}), (std::array<std::uint8_t, 3>{4, 3, 2}));
  EXPECT_EQ(vox.Voxels, (std::vector<VoxVoxel>{{1, 0, 0, 1}, {3, 2, 1, 200}}));

  section->Palette[0] = PackRGB(1, 2, 3);
  section->Palette[200] = PackRGB(10, 20, 30);
  const VoxPalette palette = VoxPaletteFrom(section->Palette);
  EXPECT_EQ(palette[0], 0u);
  EXPECT_EQ(palette[200], 0xFF1E140Au);
}

TEST(VoxFile, ExportedSectionImportsBackWithTheSameCellsAndPalette) {
  auto section = std::make_unique<TVoxelModel>();
  ResetNewModel(*section, 17, 5, 9);
  for (unsigned z = 0; z < 9; ++z)
    for (unsigned y = 0; y < 5; ++y)
      for (unsigned x = 0; x < 17; ++x)
        section->Colours.at(x, y, z) =
            std::uint8_t((x * 7 + y * 13 + z * 3) % 5 == 0 ? 0 : x + 16 * y + z);
  section->Normals.at(3, 3, 3) = 4;
  section->Colours.at(3, 3, 3) = 0;
  for (std::size_t c = 0; c < 256; ++c) section->Palette[c] = PackRGB(c, 255 - c, c * 3);
  section->Palette[0] = 0;

  ScratchDir dir;
  const FileFormat* vox = FormatForPath(dir.File("tank.VOX"));
  ASSERT_NE(vox, nullptr);
  const ExportResult written = vox->Write(dir.File("tank.VOX"), *section);
  ASSERT_TRUE(written);
  EXPECT_EQ(written.LeftOut, 1u);

  // The plain layout: SIZE, XYZI, then RGBA with opaque colours and a last entry of 0.
  const Bytes b = ReadBytes(dir.File("tank.VOX"));
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{'V', 'O', 'X', ' ', 150, 0, 0, 0}));
  EXPECT_EQ(std::string(b.begin() + 20, b.begin() + 24), "SIZE");
  EXPECT_EQ(std::string(b.begin() + 44, b.begin() + 48), "XYZI");
  const std::size_t rgba = b.size() - 1036;
  EXPECT_EQ(std::string(b.begin() + std::ptrdiff_t(rgba), b.begin() + std::ptrdiff_t(rgba) + 4),
            "RGBA");
  EXPECT_EQ(GetLE32(b, rgba + 12), 0xFF000000u | std::uint32_t(PackRGB(1, 254, 3)));
  EXPECT_EQ(GetLE32(b, b.size() - 4), 0u);

  auto back = std::make_unique<TVoxelModel>();
  ASSERT_EQ(vox->Read(dir.File("tank.VOX"), *back), nullptr);
  section->Normals.at(3, 3, 3) = 0;  // the one voxel left out
  StoreNameText(section->Name, "MODEL 1");
  EXPECT_TRUE(SameModel(*section, *back));

  // One section per document for now: several models are refused, not cut down.
  WriteBytes(dir.File("two.vox"),
             VoxBytes(Cat({Size(1, 1, 1), Xyzi({}), Size(1, 1, 1), Xyzi({})})));
  EXPECT_STREQ(vox->Read(dir.File("two.vox"), *back), MsgMultiLimbed);
  EXPECT_TRUE(SameModel(*section, *back));
  EXPECT_FALSE(vox->Write(dir.File("none/x.vox"), *section));
  EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(FileFormats, OneTableGivesFiltersAndFindsFormatsByExtension) {
  ASSERT_EQ(FileFormats().size(), 2u);
  EXPECT_STREQ(FileFormats()[0].Filter, "TS and RA2 Voxel Image (*.VXL)");
  EXPECT_STREQ(FileFormats()[1].Filter, "MagicaVoxel model (*.vox)");
  const std::pair<const char*, const char*> paths[] = {{"a/b.vxl", "vxl"}, {"B.VXL", "vxl"},
                                                       {"c.Vox", "vox"},   {"c.vox.pal", nullptr},
                                                       {"vox", nullptr},   {"", nullptr}};
  for (auto [path, name] : paths) {
    const FileFormat* f = FormatForPath(path);
    EXPECT_EQ(std::string(f ? f->Name : "-"), std::string(name ? name : "-")) << path;
  }

  // The voxel animation entry is the editor's own reader and writer.
  ScratchDir dir;
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 2, 3, 4);
  m->Colours.at(1, 2, 3) = 8;
  const FileFormat* vxl = FormatForPath("x.vxl");
  ASSERT_TRUE(vxl->Write(dir.File("x.vxl"), *m));
  auto back = std::make_unique<TVoxelModel>();
  EXPECT_EQ(vxl->Read(dir.File("x.vxl"), *back), nullptr);
  EXPECT_TRUE(SameModel(*m, *back));
  EXPECT_STREQ(vxl->Read(dir.File("none.vxl"), *back), MsgFileNotFound);
}

TEST(VoxFixtures, RealFilesReadWithTheirModels) {
  const std::string folder = std::string(KOBALTINE_FIXTURES) + "/vox/";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no fixtures at " << folder;
  const struct {
    const char* file;
    std::array<int, 3> size;
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
      const VoxSceneModel& m = scene.Models[i];
      EXPECT_EQ((std::array<int, 3>{m.SizeX, m.SizeY, m.SizeZ}), f.size) << f.file;
      EXPECT_EQ(m.Voxels.size(), f.voxels[i]) << f.file << " model " << i + 1;
      SectionFromVox(m, i + 1, scene.Palette, *section);
      std::size_t cells = 0;
      for (unsigned z = 0; z < m.SizeZ; ++z)
        for (unsigned y = 0; y < m.SizeY; ++y)
          for (unsigned x = 0; x < m.SizeX; ++x) cells += section->IsVoxel(x, y, z);
      EXPECT_EQ(cells, f.voxels[i]) << f.file;
    }
  }
}
