#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs vxltool with the arguments, capturing both output streams.
ToolRun RunTool(const ScratchDir& dir, const std::vector<std::string>& args) {
  std::string command = Quote(VXLTOOL_PATH);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " >" + Quote(dir.File("stdout.txt")) + " 2>" + Quote(dir.File("stderr.txt"));
  const int raw = std::system(command.c_str());
  ToolRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  const Bytes out = ReadBytes(dir.File("stdout.txt")), err = ReadBytes(dir.File("stderr.txt"));
  r.out.assign(out.begin(), out.end());
  r.err.assign(err.begin(), err.end());
  return r;
}

bool OneLine(const std::string& s) {
  return !s.empty() && s.back() == '\n' && s.find('\n') == s.size() - 1;
}

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
  const std::vector<std::vector<std::string>> wrong = {{},
                                                       {"frobnicate"},
                                                       {"info"},
                                                       {"info", "a", "b"},
                                                       {"dump"},
                                                       {"resave", "a"},
                                                       {"new", "1", "2", "3"}};
  for (const auto& args : wrong) {
    const ToolRun r = RunTool(dir, args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_TRUE(OneLine(r.err)) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(RunTool(dir, {"info"}).err, "usage: vxltool info FILE\n");
  EXPECT_EQ(RunTool(dir, {"help"}).status, 0);
}

TEST(VxlTool, RejectedFilesPrintTheReadersMessageOnly) {
  ScratchDir dir;
  VxlFile f;
  f.columns = {{0, 1, 5, 7, 1}};
  Bytes multi = f.Build();
  PutLE32(multi, 20, 2);
  PutLE32(multi, 24, 2);
  WriteBytes(dir.File("multi.vxl"), multi);
  Bytes small = f.Build();
  small[small.size() - 2] = 0;
  WriteBytes(dir.File("small.vxl"), small);
  WriteBytes(dir.File("text.vxl"), Bytes{'h', 'e', 'l', 'l', 'o'});

  const struct {
    std::string file, message;
  } cases[] = {{dir.File("absent.vxl"), "File not found!\n"},
               {dir.File("text.vxl"), "Incorrect Format!\n"},
               {dir.File("multi.vxl"), "Multi-limbed voxels are currently not supported!\n"},
               {dir.File("small.vxl"), "Image is too small!\n"}};
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
  EXPECT_EQ(r.err, "Could not write the file!\n");
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
  EXPECT_EQ(r.err, "Could not write the file!\n");
}
