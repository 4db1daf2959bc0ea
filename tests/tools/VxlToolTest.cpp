#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VoxTestFiles.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"
#include "model/ComputeNormals.h"
#include "model/FileFormats.h"
#include "palette/PaletteFile.h"
#include "tools/ToolRun.h"

namespace {

// 2 x 3 x 4 with three voxels, one of them colour 0 with normal 9.
std::unique_ptr<TVoxelModel> TinyModel() {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 2, 3, 4);
  m->Name.fill(0);
  StoreNameText(m->Name, "Tiny");
  m->NormalType = 4;
  m->Colours.at(1, 2, 3) = 200;
  m->Normals.at(1, 2, 3) = 35;
  m->Normals.at(0, 1, 0) = 9;
  m->Colours.at(1, 0, 0) = 7;
  m->Normals.at(1, 0, 0) = 3;
  return m;
}

}  // namespace

TEST(VxlTool, WrongUsageIsOneLineAndExitTwo) {
  ScratchDir dir;
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"info"},
      {"palette"},
      {"palette", "get", "a"},
      {"palette", "set", "a", "b"},
      {"palette", "put", "a", "b"},
      {"render", "a"},
      {"view", "a", "b", "c"},
      {"dump"},
      {"resave", "a"},
      {"new", "1", "2", "3"},
      {"extract", "a", "1"},
      {"extract", "a", "-1", "b"},
      {"join", "a"},
      {"dump", "--section"},
      {"dump", "--section", "x", "a"},
      {"normals", "a"},
      {"normals", "a", "b", "--radius", "6"},
      {"normals", "a", "b", "--section", "x"},
      {"normals", "a", "b", "--radius"},
      {"convert", "a.vox"},
      {"convert", "a.vox", "b.vxl", "c.vxl"},
      {"convert", "a.png", "b.vxl"},
      {"convert", "a.vox", "b"},
      {"convert", "a.vxl", "b.VXL"},
      {"convert", "a.vox", "b.vox"},
      {"convert", "a.vox", "b.vxl", "--normals", "ts2"},
      {"convert", "a.vox", "b.vxl", "--radius", "0"},
      {"convert", "a.vox", "b.vxl", "--radius"},
      {"convert", "a.vox", "b.vxl", "--frob", "1"},
      {"convert", "a.vxl", "b.vox", "--normals", "ts"},
      // Voxel files under a .vox name: convert writes those.
      {"resave", "a", "b.vox"},
      {"normals", "a", "b.VOX"},
      {"extract", "a", "0", "b.vox"},
      {"join", "b.vox", "a"},
      {"new", "1", "2", "3", "b.vox"},
      {"palette", "set", "a", "b.pal", "c.vox"},
      {"info", "--section", "1", "a"},
      {"dump", "--frob", "a"}};
  for (const auto& args : wrong) {
    const ToolRun r = RunTool(dir, args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_TRUE(OneLine(r.err)) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(RunTool(dir, {"info"}).err, "usage: vxltool info FILE...\n");
  EXPECT_EQ(RunTool(dir, {"resave", "a", "b.vox"}).err,
            "vxltool resave: 'b.vox' names a .vox file, but resave writes .vxl files "
            "(vxltool convert writes .vox)\n");
  EXPECT_EQ(RunTool(dir, {"info", "--section", "1", "a"}).err,
            "vxltool info: unknown option '--section'\n");
  EXPECT_EQ(RunTool(dir, {"help"}).status, 0);
}

TEST(VxlTool, RejectedFilesPrintTheFileAndTheReadersMessage) {
  ScratchDir dir;
  VxlFile f;
  f.columns = {{0, 1, 5, 7, 1}};
  Bytes many = f.Build();
  PutLE32(many, 20, 513);
  PutLE32(many, 24, 513);
  WriteBytes(dir.File("many.vxl"), many);
  Bytes small = f.Build();
  small[small.size() - 2] = 0;
  WriteBytes(dir.File("small.vxl"), small);
  WriteBytes(dir.File("text.vxl"), Bytes{'h', 'e', 'l', 'l', 'o'});

  // A folder is no model: the reason joins the message. A missing file needs none.
  const struct {
    std::string file, message;
  } cases[] = {{dir.File("absent.vxl"), dir.File("absent.vxl") + ": File not found!\n"},
               {dir.path().string(), dir.path().string() + ": File not found! (Is a directory)\n"},
               {dir.File("text.vxl"), dir.File("text.vxl") + ": Incorrect Format!\n"},
               {dir.File("many.vxl"), dir.File("many.vxl") + ": Incorrect Format!\n"},
               {dir.File("small.vxl"), dir.File("small.vxl") + ": Image is too small!\n"}};
  for (const auto& c : cases) {
    for (const char* command : {"info", "dump"}) {
      const ToolRun r = RunTool(dir, {command, c.file});
      EXPECT_EQ(r.status, 1) << command << " " << c.file;
      EXPECT_EQ(r.err, c.message);
      EXPECT_EQ(r.out, "");
    }
    const ToolRun r = RunTool(dir, {"resave", c.file, dir.File("out.vxl")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.message);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.vxl")));
  }
}

TEST(VxlTool, InfoAndDumpFormats) {
  ScratchDir dir;
  ASSERT_TRUE(WriteVoxelFile(dir.File("tiny.vxl"), *TinyModel()));

  ToolRun r = RunTool(dir, {"info", dir.File("tiny.vxl")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "sections: 1\n"
            "section 0\n"
            "name: Tiny\n"
            "size: 2 3 4\n"
            "normal version: 4\n"
            "voxels: 3\n"
            "tailer: 0.0833333 1 0 0 0 0 1 0 0 0 0 1 2 -1 -1.5 -2 1 1.5 2\n");

  r = RunTool(dir, {"dump", dir.File("tiny.vxl")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "size 2 3 4\n"
            "1 0 0 7 3\n"
            "0 1 0 0 9\n"
            "1 2 3 200 35\n");
}

TEST(VxlTool, ResaveWritesTheWritersBytes) {
  ScratchDir dir;
  auto m = TinyModel();
  ASSERT_TRUE(WriteVoxelFile(dir.File("a.vxl"), *m));
  ToolRun r = RunTool(dir, {"resave", dir.File("a.vxl"), dir.File("b.vxl")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(dir.File("b.vxl")), ReadBytes(dir.File("a.vxl")));

  r = RunTool(dir, {"resave", dir.File("a.vxl"), dir.File("missing/b.vxl")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("missing/b.vxl") +
                       ": Could not write the file! (No such file or directory)\n");
  r = RunTool(dir, {"resave", dir.File("a.vxl"), dir.path().string()});
  EXPECT_EQ(r.err, dir.path().string() + ": Could not write the file! (Is a directory)\n");
}

TEST(VxlTool, NewMakesWhatTheDialogMakes) {
  ScratchDir dir;
  const std::string out = dir.File("new.vxl");
  ToolRun r = RunTool(dir, {"new", "10", "20", "30", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(out).size(), 830u + 8 * 200 + 92);
  auto m = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(out, *m), LoadStatus::Ok);
  EXPECT_EQ(m->SizeX, 10);
  EXPECT_EQ(m->SizeY, 20);
  EXPECT_EQ(m->SizeZ, 30);
  EXPECT_EQ(m->NormalType, 2);
  EXPECT_EQ(NameText(m->Name), "NEW FILE");
  EXPECT_EQ(m->Palette, DefaultPalette());
  EXPECT_EQ(m->Tailer[0], 0x3DAAAAABu);
  EXPECT_EQ(m->TailerFloat(TailerZOffset), 15.0f);
  EXPECT_EQ(m->TailerFloat(TailerXMinimum), -5.0f);
  EXPECT_EQ(m->TailerFloat(TailerZMaximum), 15.0f);

  // The same leading-number parse as the dialog's boxes.
  r = RunTool(dir, {"new", " 12", "7x", "+5", out});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(ReadVoxelFile(out, *m), LoadStatus::Ok);
  EXPECT_EQ(m->SizeX, 12);
  EXPECT_EQ(m->SizeY, 7);
  EXPECT_EQ(m->SizeZ, 5);
  EXPECT_EQ(RunTool(dir, {"new", "255", "1", "255", out}).status, 0);

  for (const char* bad : {"0", "256", "-1", "", "abc"}) {
    const std::string fresh = dir.File("bad.vxl");
    for (int position = 0; position < 3; ++position) {
      std::vector<std::string> args = {"new", "4", "4", "4", fresh};
      args[1 + position] = bad;
      r = RunTool(dir, args);
      EXPECT_EQ(r.status, 1) << "'" << bad << "'";
      EXPECT_EQ(r.err, "Must enter a value between 1-255!\n");
      EXPECT_FALSE(std::filesystem::exists(fresh));
    }
  }
  r = RunTool(dir, {"new", "4", "4", "4", dir.File("missing/x.vxl")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("missing/x.vxl") +
                       ": Could not write the file! (No such file or directory)\n");
}

TEST(VxlTool, HelpAndVersionGoToStandardOutput) {
  ScratchDir dir;
  ToolRun r = RunTool(dir, {"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "vxltool 0.091\n");
  EXPECT_EQ(r.err, "");

  const ToolRun help = RunTool(dir, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out, RunTool(dir, {"help"}).out);
  for (const char* command :
       {"info", "dump", "resave", "new", "palette", "extract", "join", "convert"}) {
    EXPECT_NE(help.out.find(std::string("vxltool ") + command + " "), std::string::npos) << command;
    // The command's help opens with the very usage line its errors print; extra
    // arguments do not matter.
    r = RunTool(dir, {command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.err, "");
    const std::string usage = RunTool(dir, {command}).err;
    EXPECT_EQ(r.out.substr(0, usage.size()), usage) << command;
    EXPECT_EQ(RunTool(dir, {command, dir.File("absent.vxl"), "--help"}).out, r.out);
  }
  EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST(VxlTool, InfoAndDumpTakeSeveralFilesAndGoOnAfterAFailure) {
  ScratchDir dir;
  ASSERT_TRUE(WriteVoxelFile(dir.File("tiny.vxl"), *TinyModel()));
  auto other = std::make_unique<TVoxelModel>();
  ResetNewModel(*other, 1, 1, 1);
  other->Colours.at(0, 0, 0) = 3;
  ASSERT_TRUE(WriteVoxelFile(dir.File("one.vxl"), *other));
  WriteBytes(dir.File("text.vxl"), Bytes{'h', 'i'});
  const std::string tiny = dir.File("tiny.vxl"), one = dir.File("one.vxl");

  for (const char* command : {"info", "dump"}) {
    const std::string tinyOut = RunTool(dir, {command, tiny}).out;
    const std::string oneOut = RunTool(dir, {command, one}).out;
    ToolRun r = RunTool(dir, {command, tiny, one});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "== " + tiny + " ==\n" + tinyOut + "== " + one + " ==\n" + oneOut);

    // A rejected file in the middle: named on standard error, the others printed, status 1.
    r = RunTool(dir, {command, tiny, dir.File("text.vxl"), dir.File("gone.vxl"), one});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, dir.File("text.vxl") + ": Incorrect Format!\n" + dir.File("gone.vxl") +
                         ": File not found!\n");
    EXPECT_EQ(r.out, "== " + tiny + " ==\n" + tinyOut + "== " + one + " ==\n" + oneOut);
  }
  EXPECT_EQ(RunTool(dir, {"info", one}).out.rfind("sections: ", 0), 0u);  // one file: no header
}

TEST(VxlTool, PaletteGetAndSetGoThroughThePaletteFiles) {
  ScratchDir dir;
  auto m = TinyModel();
  for (int i = 0; i < 256; ++i) m->Palette[i] = PackRGB(i, 255 - i, (i * 7) & 0xFF);
  const std::string model = dir.File("tiny.vxl");
  ASSERT_TRUE(WriteVoxelFile(model, *m));

  ToolRun r = RunTool(dir, {"palette", "get", model, dir.File("out.pal")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  ASSERT_EQ(WritePaletteFile(dir.File("expected.pal"), m->Palette), PaletteStatus::Ok);
  EXPECT_EQ(ReadBytes(dir.File("out.pal")), ReadBytes(dir.File("expected.pal")));

  // set: only the palette changes; the output may be the input itself.
  PaletteRGB grey{};
  for (int i = 0; i < 256; ++i) grey[i] = Grey(unsigned(i));
  ASSERT_EQ(WritePaletteFile(dir.File("grey.pal"), grey), PaletteStatus::Ok);
  r = RunTool(dir, {"palette", "set", model, dir.File("grey.pal"), model});
  ASSERT_EQ(r.status, 0) << r.err;
  auto back = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(model, *back), LoadStatus::Ok);
  EXPECT_EQ(back->Palette, grey);
  m->Palette = grey;
  EXPECT_TRUE(SameModel(*m, *back));

  // Failures: the reader's or the writer's message, status 1, nothing written.
  WriteBytes(dir.File("sixteen.pal"),
             Bytes{'J', 'A', 'S', 'C', '-', 'P', 'A', 'L', ' ', '0', '1', '0', '0', ' ', '1', '6'});
  WriteBytes(dir.File("text.vxl"), Bytes{'h', 'i'});
  const auto before = EntryNames(dir);
  const struct {
    std::vector<std::string> args;
    std::string message;
  } failures[] = {
      {{"get", dir.File("gone.vxl"), dir.File("a.pal")},
       dir.File("gone.vxl") + ": File not found!\n"},
      {{"get", dir.File("text.vxl"), dir.File("a.pal")},
       dir.File("text.vxl") + ": Incorrect Format!\n"},
      // A palette that cannot be written is a failed write, not a missing file.
      {{"get", model, dir.File("missing/a.pal")},
       dir.File("missing/a.pal") + ": Could not write the file! (No such file or directory)\n"},
      {{"set", dir.File("text.vxl"), dir.File("grey.pal"), dir.File("a.vxl")},
       dir.File("text.vxl") + ": Incorrect Format!\n"},
      {{"set", model, dir.File("gone.pal"), dir.File("a.vxl")},
       dir.File("gone.pal") + ": File not found!\n"},
      {{"set", model, dir.path().string(), dir.File("a.vxl")},
       dir.path().string() + ": File not found! (Is a directory)\n"},
      {{"set", model, dir.File("text.vxl"), dir.File("a.vxl")},
       dir.File("text.vxl") + ": Incorrect Format!\n"},
      {{"set", model, dir.File("sixteen.pal"), dir.File("a.vxl")},
       dir.File("sixteen.pal") + ": Must be a 256-colour palette!\n"},
      {{"set", model, dir.File("grey.pal"), dir.File("missing/a.vxl")},
       dir.File("missing/a.vxl") + ": Could not write the file! (No such file or directory)\n"},
  };
  for (const auto& f : failures) {
    std::vector<std::string> args = {"palette"};
    args.insert(args.end(), f.args.begin(), f.args.end());
    r = RunTool(dir, args);
    EXPECT_EQ(r.status, 1) << f.args[0] << " " << f.args[1];
    EXPECT_EQ(r.err, f.message);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(EntryNames(dir), before);
  }
}

TEST(VxlTool, EveryCommandOnTheSamplesAndTheFixtures) {
  std::vector<std::string> files;
  for (const char* s : {"tank.vxl", "sphere.vxl", "dot.vxl"})
    if (std::filesystem::exists(Sample(s))) files.push_back(Sample(s));
  if (std::filesystem::exists(Fixture("cc.vxl"))) files.push_back(Fixture("cc.vxl"));
  if (files.empty()) GTEST_SKIP() << "neither samples nor fixtures";
  ScratchDir dir;
  auto m = std::make_unique<TVoxelModel>();
  for (const std::string& file : files) {
    ASSERT_EQ(ReadVoxelFile(file, *m), LoadStatus::Ok) << file;
    ToolRun r = RunTool(dir, {"info", file});
    EXPECT_EQ(r.status, 0) << file;
    EXPECT_NE(r.out.find("size: " + std::to_string(m->SizeX) + " " + std::to_string(m->SizeY) +
                         " " + std::to_string(m->SizeZ) + "\n"),
              std::string::npos);
    r = RunTool(dir, {"dump", file});
    EXPECT_EQ(r.status, 0) << file;
    std::size_t voxels = 0;
    for (unsigned z = 0; z < m->SizeZ; ++z)
      for (unsigned y = 0; y < m->SizeY; ++y)
        for (unsigned x = 0; x < m->SizeX; ++x) voxels += m->IsVoxel(x, y, z);
    EXPECT_EQ(std::size_t(std::count(r.out.begin(), r.out.end(), '\n')), voxels + 1);

    // resave, then palette get and set back: the same model throughout.
    EXPECT_EQ(RunTool(dir, {"resave", file, dir.File("copy.vxl")}).status, 0);
    EXPECT_EQ(RunTool(dir, {"palette", "get", file, dir.File("p.pal")}).status, 0);
    EXPECT_EQ(
        RunTool(dir, {"palette", "set", dir.File("copy.vxl"), dir.File("p.pal"), dir.File("b.vxl")})
            .status,
        0);
    auto back = std::make_unique<TVoxelModel>();
    ASSERT_EQ(ReadVoxelFile(dir.File("b.vxl"), *back), LoadStatus::Ok);
    EXPECT_TRUE(SameModel(*m, *back)) << file;
  }
}

TEST(VxlTool, SectionsOfAMultiSectionFile) {
  const std::string hmec = Fixture("hmec.vxl"), cc = Fixture("cc.vxl");
  if (!std::filesystem::exists(hmec)) GTEST_SKIP() << "no fixtures at " << KOBALTINE_FIXTURES;
  ScratchDir dir;
  auto m = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(hmec, *m), LoadStatus::Ok);

  // Each section extracted alone prints what the section prints inside the file, and
  // joining them all again gives back the very file.
  const std::string info = RunTool(dir, {"info", hmec}).out;
  EXPECT_EQ(info.rfind("sections: 13\nsection 0\nname: FOOT R REAR\nsize: 14 13 5\n", 0), 0u);
  std::vector<std::string> join = {"join", dir.File("joined.vxl")};
  std::string blocks = "sections: 13\n";
  for (std::size_t i = 0; i < 13; ++i) {
    SCOPED_TRACE(i);
    const std::string part = dir.File("part" + std::to_string(i) + ".vxl");
    ToolRun r = RunTool(dir, {"extract", hmec, std::to_string(i), part});
    ASSERT_EQ(r.status, 0) << r.err;
    join.push_back(part);
    const std::string alone = RunTool(dir, {"info", part}).out;
    ASSERT_EQ(alone.rfind("sections: 1\nsection 0\n", 0), 0u);
    blocks += "section " + std::to_string(i) + "\n" + alone.substr(22);
    r = RunTool(dir, {"dump", "--section", std::to_string(i), hmec});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, RunTool(dir, {"dump", part}).out);
    m->SelectSection(i);
    std::size_t voxels = 0;
    for (unsigned z = 0; z < m->SizeZ; ++z)
      for (unsigned y = 0; y < m->SizeY; ++y)
        for (unsigned x = 0; x < m->SizeX; ++x) voxels += m->IsVoxel(x, y, z);
    EXPECT_EQ(std::size_t(std::count(r.out.begin(), r.out.end(), '\n')), voxels + 1);
  }
  EXPECT_EQ(info, blocks);
  EXPECT_EQ(RunTool(dir, {"dump", "--section", "12", hmec}).out.rfind("size 53 31 20\n", 0), 0u);
  ToolRun r = RunTool(dir, join);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir.File("joined.vxl")), ReadBytes(hmec));
  ASSERT_EQ(RunTool(dir, {"resave", hmec, dir.File("resaved.vxl")}).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("resaved.vxl")), ReadBytes(hmec));

  // Files of different palettes: the sections in order, the first file's palette.
  r = RunTool(dir, {"join", dir.File("two.vxl"), cc, dir.File("part12.vxl"), cc});
  ASSERT_EQ(r.status, 0) << r.err;
  auto two = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(dir.File("two.vxl"), *two), LoadStatus::Ok);
  ASSERT_EQ(ReadVoxelFile(cc, *m), LoadStatus::Ok);
  EXPECT_EQ(two->SectionCount(), 3u);
  EXPECT_EQ(two->Palette, m->Palette);
  EXPECT_EQ(NameText(two->Section(1).Name), "BODY");
  EXPECT_EQ(NameText(two->Section(2).Name), "Body");

  // A section that does not exist: one line, status 1, nothing written; in a batch the
  // other files go on.
  std::vector<std::string> tooMany = {"join", dir.File("x.vxl")};
  tooMany.insert(tooMany.end(), 40, hmec);  // 520 sections
  const struct {
    std::vector<std::string> args;
    std::string err;
  } missing[] = {
      {{"dump", "--section", "13", hmec},
       hmec + ": section 13 does not exist (sections 0 to 12)\n"},
      {{"extract", cc, "1", dir.File("x.vxl")},
       cc + ": section 1 does not exist (only section 0)\n"},
      {tooMany, hmec + ": a file holds at most 512 sections\n"},
      {{"join", dir.File("x.vxl"), hmec, dir.File("gone.vxl")},
       dir.File("gone.vxl") + ": File not found!\n"},
  };
  for (const auto& c : missing) {
    r = RunTool(dir, c.args);
    EXPECT_EQ(r.status, 1) << c.args[0];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.vxl")));
  }
  r = RunTool(dir, {"dump", "--section", "12", cc, hmec});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, cc + ": section 12 does not exist (only section 0)\n");
  EXPECT_EQ(r.out, "== " + hmec + " ==\n" + RunTool(dir, {"dump", "--section", "12", hmec}).out);
}

TEST(VxlTool, NormalsAreComputedAsTheEditorDoes) {
  ScratchDir dir;
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 12, 10, 8);
  m->NormalType = 4;
  for (int z = 1; z < 7; ++z)
    for (int y = 2; y < 9; ++y)
      for (int x = 1 + z % 3; x < 11; ++x) m->Colours.at(x, y, z) = 5;
  ASSERT_TRUE(WriteVoxelFile(dir.File("in.vxl"), *m));
  auto read = std::make_unique<TVoxelModel>();
  for (const auto& options :
       std::vector<std::vector<std::string>>{{}, {"--radius", "2", "--section", "0"}}) {
    std::vector<std::string> args = {"normals", dir.File("in.vxl"), dir.File("out.vxl")};
    args.insert(args.end(), options.begin(), options.end());
    const ToolRun r = RunTool(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    ASSERT_EQ(ReadVoxelFile(dir.File("in.vxl"), *m), LoadStatus::Ok);
    ASSERT_TRUE(CalculateNormals(*m, ModelBox(*m), options.empty() ? DefaultSmoothing : 2).Step);
    ASSERT_EQ(ReadVoxelFile(dir.File("out.vxl"), *read), LoadStatus::Ok);
    EXPECT_TRUE(SameModel(*m, *read));
  }

  m->NormalType = 3;
  ASSERT_TRUE(WriteVoxelFile(dir.File("other.vxl"), *m));
  const ToolRun r = RunTool(dir, {"normals", dir.File("other.vxl"), dir.File("none.vxl")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Choose Tiberian Sun or Red Alert 2 normals first!\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.vxl")));
}

TEST(VxlTool, ConvertGoesBothWaysAndInfoAndDumpReadVoxFiles) {
  ScratchDir dir;
  ASSERT_TRUE(WriteVoxelFile(dir.File("tiny.vxl"), *TinyModel()));
  const std::string vox = dir.File("tiny.VOX");
  // The voxel of colour 0 has no place in the .vox file: a warning, and success.
  ToolRun r = RunTool(dir, {"convert", dir.File("tiny.vxl"), vox});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vxltool convert: warning: 1 voxel without a colour was left out\n");

  auto expected = std::make_unique<TVoxelModel>(), read = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadWith(*FormatNamed("vox"), vox, *expected), nullptr);
  r = RunTool(dir, {"info", vox});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "sections: 1\nsection 0\nname: MODEL 1\nsize: 2 3 4\nnormal version: 2\nvoxels: 2\n"
            "tailer: 0.0833333 1 0 0 0 0 1 0 0 0 0 1 2 -1 -1.5 -2 1 1.5 2\n");
  r = RunTool(dir, {"dump", vox});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "size 2 3 4\n1 0 0 7 " + std::to_string(expected->Normals.at(1, 0, 0)) +
                       "\n1 2 3 200 " + std::to_string(expected->Normals.at(1, 2, 3)) + "\n");

  // Back to a voxel file, with the normals asked for; nothing is left out that way.
  const std::vector<std::pair<std::vector<std::string>, ReadOptions>> options = {
      {{}, {}}, {{"--normals", "ra2", "--radius", "2"}, {4, true, 2}}};
  for (const auto& [flags, read_options] : options) {
    std::vector<std::string> args = {"convert", vox, dir.File("back.vxl")};
    args.insert(args.end(), flags.begin(), flags.end());
    r = RunTool(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    ASSERT_EQ(ReadWith(*FormatNamed("vox"), vox, *expected, read_options), nullptr);
    ASSERT_EQ(ReadVoxelFile(dir.File("back.vxl"), *read), LoadStatus::Ok);
    EXPECT_TRUE(SameModel(*expected, *read));
  }

  // Files that cannot be read or written: the reader's or the writer's message, status 1.
  WriteBytes(dir.File("large.vox"), VoxBytes(Size(257, 1, 1) + Xyzi({})));
  const struct {
    std::string in, out, err;
  } failures[] = {
      {dir.File("absent.vox"), dir.File("x.vxl"), dir.File("absent.vox") + ": File not found!\n"},
      {dir.File("large.vox"), dir.File("x.vxl"),
       dir.File("large.vox") + ": Model is too large (at most 255 per side)!\n"},
      {dir.File("tiny.vxl"), dir.File("none/x.vox"),
       dir.File("none/x.vox") + ": Could not write the file! (No such file or directory)\n"},
  };
  for (const auto& f : failures) {
    r = RunTool(dir, {"convert", f.in, f.out});
    EXPECT_EQ(r.status, 1) << f.in;
    EXPECT_EQ(r.err, f.err);
    EXPECT_EQ(r.out, "");
  }
}
