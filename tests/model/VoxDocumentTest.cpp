// Whole documents to and from MagicaVoxel files: one section per model, computed
// normals, every section exported, and round trips through both formats.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/ComputeNormals.h"
#include "model/FileFormats.h"
#include "model/Messages.h"
#include "model/NewModel.h"
#include "model/NormalTables.h"
#include "model/VoxMapping.h"
#include "model/VoxTestFiles.h"

namespace {

const FileFormat& Vox() {
  return *FormatNamed("vox");
}
const FileFormat& Vxl() {
  return *FormatNamed("vxl");
}

std::vector<VoxVoxel> Box(int x0, int y0, int z0, int x1, int y1, int z1, std::uint8_t colour) {
  std::vector<VoxVoxel> v;
  for (int z = z0; z <= z1; ++z)
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        v.push_back({std::uint8_t(x), std::uint8_t(y), std::uint8_t(z), colour});
  return v;
}

// A document of two sections, the second one edited, to be replaced or kept.
std::unique_ptr<TVoxelModel> EarlierDocument() {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 5, 6, 7);
  m->Colours.at(1, 2, 3) = 4;
  m->Normals.at(1, 2, 3) = 5;
  m->Palette[3] = PackRGB(1, 2, 3);
  m->InsertSection(1, NewSection(2, 2, 2));
  m->SelectSection(1);
  m->Colours.at(1, 1, 1) = 8;
  return m;
}

}  // namespace

TEST(VoxDocument, EveryModelBecomesASectionWithComputedNormals) {
  // A solid box, a lone voxel, an empty wide model; names from the scene graph.
  const Bytes models = Size(9, 9, 7) + Xyzi(Box(1, 1, 1, 7, 7, 5, 9)) + Size(3, 1, 2) +
                       Xyzi({{2, 0, 1, 255}}) + Size(255, 2, 1) + Xyzi({});
  const Bytes graph = Transform(0, "", 1) + Chunk("nGRP", Ints({1}) + Dict() + Ints({3, 2, 4, 6})) +
                      Transform(2, "Left turret barrel", 3) + Shape(3, {0}) + Transform(4, "", 5) +
                      Shape(5, {1}) + Transform(6, "hull", 7) + Shape(7, {2});
  Bytes rgba;
  for (std::uint32_t i = 0; i < 256; ++i) PutLE32(rgba, rgba.size(), (i << 24) | i * 0x010203u);
  ScratchDir dir;
  WriteBytes(dir.File("scene.vox"), VoxBytes(models + graph + Chunk("RGBA", rgba), 200));
  VoxScene scene;
  ASSERT_EQ(ReadVoxFile(dir.File("scene.vox"), scene), VoxStatus::Ok);

  const char* names[] = {"Left turret bar", "MODEL 2", "hull"};
  for (const auto& [type, radius] : {std::pair{2, DefaultSmoothing}, std::pair{4, 2}}) {
    auto model = EarlierDocument();
    ASSERT_EQ(ReadWith(Vox(), dir.File("scene.vox"), *model, {std::uint8_t(type), true, radius}),
              nullptr);
    ASSERT_EQ(model->SectionCount(), 3u);
    EXPECT_EQ(model->EditedSection(), 0u);
    EXPECT_EQ(model->FileHeader, FileHeaderValues{});
    EXPECT_EQ(model->Palette[0], 0);
    for (std::uint32_t c = 1; c < 256; ++c)  // entry c - 1 of the chunk, without alpha
      ASSERT_EQ(std::uint32_t(model->Palette[c]), ((c - 1) * 0x010203u) & 0xFFFFFF) << c;
    for (std::size_t i = 0; i < 3; ++i) {
      const SectionView s = model->Section(i);
      EXPECT_EQ(NameText(s.Name), names[i]);
      EXPECT_EQ(s.NormalType, type);
      EXPECT_EQ(s.Tailer, NewTailer(s.SizeX, s.SizeY, s.SizeZ));
      // The normals are those Calculate Normals gives the section in the editor.
      auto expected = std::make_unique<TVoxelModel>();
      SectionFromVox(scene.Models[i], i + 1, scene.Palette, *expected, std::uint8_t(type));
      CalculateNormals(*expected, ModelBox(*expected), radius);
      expected->SectionHeader.Number = std::uint32_t(i);  // numbered by place, as saved
      EXPECT_TRUE(SameSection(s, expected->Section(0))) << i;
    }
    // The box's faces point out of it; the colour is the file's index.
    const SectionView box = model->Section(0);
    const struct {
      unsigned x, y, z;
      double dx, dy, dz;
    } faces[] = {{4, 4, 5, 0, 0, 1}, {4, 4, 1, 0, 0, -1}, {1, 4, 3, -1, 0, 0}, {4, 7, 3, 0, 1, 0}};
    for (const auto& f : faces) {
      EXPECT_EQ(box.Normal(f.x, f.y, f.z), NearestNormal(type, f.dx, f.dy, f.dz)) << f.x << f.z;
      EXPECT_EQ(box.Colour(f.x, f.y, f.z), 9);
    }
    EXPECT_EQ(box.Colour(0, 0, 0), 0);
  }
}

TEST(VoxDocument, RejectedFilesLeaveTheDocumentAsItWas) {
  Bytes vxl(830, 0);
  std::memcpy(vxl.data(), "Voxel Animation", 16);
  const Bytes good = VoxBytes(Size(2, 2, 2) + Xyzi({{1, 1, 1, 3}}));
  Bytes many, huge;
  for (int i = 0; i < 513; ++i) many = many + Size(1, 1, 1) + Xyzi({});
  for (int i = 0; i < 33; ++i) huge = huge + Size(255, 255, 255) + Xyzi({});
  const std::pair<Bytes, const char*> cases[] = {
      {VoxBytes(Size(2, 256, 2) + Xyzi({})), "Model is too large (at most 255 per side)!"},
      {vxl, MsgIncorrectFormat},
      {Bytes{'h', 'i'}, MsgIncorrectFormat},
      {Bytes(good.begin(), good.end() - 1), MsgIncorrectFormat},
      {VoxBytes(many), "Too many models (at most 512)!"},
      {VoxBytes(huge), "The models are too large to import together!"},
  };
  ScratchDir dir;
  const auto before = EarlierDocument();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    WriteBytes(dir.File("bad.vox"), cases[i].first);
    auto model = EarlierDocument();
    EXPECT_STREQ(ReadWith(Vox(), dir.File("bad.vox"), *model, {}), cases[i].second) << i;
    EXPECT_TRUE(SameModel(*model, *before)) << i;
  }
  auto model = EarlierDocument();
  EXPECT_STREQ(ReadWith(Vox(), dir.File("none.vox"), *model, {}), MsgFileNotFound);
  EXPECT_TRUE(SameModel(*model, *before));
}

TEST(VoxDocument, ExportWritesEverySectionAndRoundTripsThroughBothFormats) {
  // Voxels of colour 0 (a normal alone) in both sections have no place in the file.
  auto doc = EarlierDocument();
  doc->Normals.at(0, 0, 0) = 7;
  doc->SelectSection(0);
  doc->Normals.at(4, 5, 6) = 2;
  for (std::size_t c = 0; c < 256; ++c) doc->Palette[c] = PackRGB(c, 255 - c, c * 3);

  ScratchDir dir;
  const ExportResult written = Vox().Write(dir.File("doc.vox"), *doc);
  ASSERT_TRUE(written);
  EXPECT_EQ(written.LeftOut, 2u);
  // VXL -> .vox -> VXL: every voxel with a colour, palette entries 1-255 and the sections.
  auto read = std::make_unique<TVoxelModel>(), back = std::make_unique<TVoxelModel>();
  ASSERT_TRUE(Vxl().Write(dir.File("a.vxl"), *doc));
  ASSERT_EQ(ReadWith(Vxl(), dir.File("a.vxl"), *read, {}), nullptr);
  ASSERT_TRUE(Vox().Write(dir.File("b.vox"), *read));
  ASSERT_EQ(ReadWith(Vox(), dir.File("b.vox"), *back, {}), nullptr);
  ASSERT_TRUE(Vxl().Write(dir.File("c.vxl"), *back));
  ASSERT_EQ(ReadWith(Vxl(), dir.File("c.vxl"), *read, {}), nullptr);
  ASSERT_EQ(read->SectionCount(), 2u);
  for (std::size_t c = 1; c < 256; ++c) EXPECT_EQ(read->Palette[c], doc->Palette[c]) << c;
  for (std::size_t i = 0; i < 2; ++i) {
    const SectionView a = doc->Section(i), b = read->Section(i);
    ASSERT_EQ((std::array{b.SizeX, b.SizeY, b.SizeZ}), (std::array{a.SizeX, a.SizeY, a.SizeZ}));
    std::size_t differ = 0;
    for (unsigned z = 0; z < a.SizeZ; ++z)
      for (unsigned y = 0; y < a.SizeY; ++y)
        for (unsigned x = 0; x < a.SizeX; ++x) differ += a.Colour(x, y, z) != b.Colour(x, y, z);
    EXPECT_EQ(differ, 0u) << i;
  }
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
  // The plain layout: SIZE, XYZI, then RGBA with every entry opaque, the last one black.
  const Bytes b = ReadBytes(dir.File("tank.VOX"));
  const std::size_t rgba = b.size() - 1036;
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 12),
            (Bytes{'V', 'O', 'X', ' ', 150, 0, 0, 0, 'M', 'A', 'I', 'N'}));
  EXPECT_EQ(std::string(b.begin() + 20, b.begin() + 24), "SIZE");
  EXPECT_EQ(std::string(b.begin() + 44, b.begin() + 48), "XYZI");
  EXPECT_EQ(GetLE32(b, rgba), GetLE32(Bytes{'R', 'G', 'B', 'A'}, 0));
  for (std::size_t c = 1; c < 256; ++c)
    ASSERT_EQ(GetLE32(b, rgba + 8 + 4 * c), 0xFF000000u | std::uint32_t(section->Palette[c])) << c;
  EXPECT_EQ(GetLE32(b, b.size() - 4), 0xFF000000u);

  auto back = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadWith(*vox, dir.File("tank.VOX"), *back, {2, false}), nullptr);
  section->Normals.at(3, 3, 3) = 0;  // the one voxel left out
  StoreNameText(section->Name, "MODEL 1");
  EXPECT_TRUE(SameModel(*section, *back));

  EXPECT_FALSE(vox->Write(dir.File("none/x.vox"), *section));
  EXPECT_EQ(dir.EntryCount(), 1u);

  // The table's other entry is the editor's own format; paths match in any case.
  const FileFormat* vxl = FormatForPath("B.VXL");
  ASSERT_TRUE(vxl && vxl->Write(dir.File("x.vxl"), *section));
  EXPECT_EQ(ReadWith(*vxl, dir.File("x.vxl"), *back, {}), nullptr);
  EXPECT_TRUE(SameModel(*section, *back));
  EXPECT_STREQ(ReadWith(*vxl, dir.File("none.vxl"), *back, {}), MsgFileNotFound);
  EXPECT_EQ(FormatNamed("vox"), FormatForPath("a.vox"));
  EXPECT_STREQ(FormatNamed("vox")->Filter, "MagicaVoxel model (*.vox)");
  EXPECT_EQ(FormatNamed("png"), nullptr);
  for (const char* other : {"c.vox.pal", "vox", ""}) EXPECT_EQ(FormatForPath(other), nullptr);
}

TEST(VoxFixtures, RealFilesImportWithTheirModels) {
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
  auto model = std::make_unique<TVoxelModel>();
  for (const auto& f : files) {
    VoxScene scene;
    ASSERT_EQ(ReadVoxFile(folder + f.file, scene), VoxStatus::Ok) << f.file;
    EXPECT_EQ(scene.PaletteInFile, f.palette) << f.file;
    ASSERT_EQ(ReadWith(*FormatNamed("vox"), folder + f.file, *model, {}), nullptr) << f.file;
    ASSERT_EQ(model->SectionCount(), f.voxels.size()) << f.file;
    EXPECT_EQ(model->Palette, PaletteFromVox(scene.Palette)) << f.file;
    for (std::size_t i = 0; i < f.voxels.size(); ++i) {
      const SectionView s = model->Section(i);
      EXPECT_EQ((std::array{s.SizeX, s.SizeY, s.SizeZ}), f.size) << f.file;
      std::size_t cells = 0, normals = 0;
      for (unsigned z = 0; z < s.SizeZ; ++z)
        for (unsigned y = 0; y < s.SizeY; ++y)
          for (unsigned x = 0; x < s.SizeX; ++x) {
            cells += s.Colour(x, y, z) != 0;
            normals += s.Normal(x, y, z) != 0;
          }
      EXPECT_EQ(cells, f.voxels[i]) << f.file << " model " << i + 1;
      EXPECT_GT(normals, cells / 2) << f.file << " model " << i + 1;
    }
  }
}
