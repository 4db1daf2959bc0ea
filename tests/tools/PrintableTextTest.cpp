// Text from a file or the file system reaches the terminal with its control characters
// escaped, in every command; the files themselves keep their bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/FileFormats.h"
#include "model/NewModel.h"
#include "model/VoxTestFiles.h"
#include "model/VxlWriter.h"
#include "tools/PrintableText.h"
#include "tools/ToolRun.h"

TEST(PrintableText, ControlCharactersAndBrokenUtf8BecomeHexEscapes) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"Turret 2", "Turret 2"},
      {"\x1B]0;owned\x07\x1B[2J", "\\x1B]0;owned\\x07\\x1B[2J"},
      {std::string("a\0b\tc\n\x1F\x7F", 8), "a\\x00b\\x09c\\x0A\\x1F\\x7F"},
      {"back\\slash \\x41", "back\\\\slash \\\\x41"},  // no escape can be forged
      // Characters pass whole; C1 controls (U+0080-U+009F) are escaped byte by byte.
      {"K\xC3\xB6rper \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0",
       "K\xC3\xB6rper \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0"},
      {"\xC2\x9B[2J \xC2\x85", "\\xC2\\x9B[2J \\xC2\\x85"},
      // Bytes of no character: a lone C1 byte, Latin-1, stray, cut, overlong, surrogate,
      // past U+10FFFF.
      {"\x9B[2J", "\\x9B[2J"},
      {"K\xF6rper", "K\\xF6rper"},
      {"\x80\xBF", "\\x80\\xBF"},
      {"\xE2\x82", "\\xE2\\x82"},
      {"\xE2\x82!", "\\xE2\\x82!"},
      {"\xC0\xAF \xE0\x80\xAF", "\\xC0\\xAF \\xE0\\x80\\xAF"},
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(PrintableText(c.in), c.out) << c.out;
}

TEST(PrintableText, EveryCommandPrintsNamesAndPathsEscaped) {
  const std::string name = "\x1B]0;owned\x07\x1B[2J", shown = "\\x1B]0;owned\\x07\\x1B[2J";
  ScratchDir dir;
  auto model = std::make_unique<TVoxelModel>();
  ResetNewModel(*model, 2, 2, 2);
  model->Name.fill(0);
  StoreNameText(model->Name, name);
  ASSERT_TRUE(WriteVoxelFile(dir.File("named.vxl"), *model));
  WriteBytes(dir.File("named.vox"), VoxBytes(Size(2, 2, 2) + Xyzi({{1, 1, 1, 3}}) +
                                             Transform(0, name, 1) + Shape(1, {0})));

  // info prints the name escaped, from either format; the file keeps the bytes.
  for (const char* file : {"named.vxl", "named.vox"}) {
    const ToolRun r = RunTool(dir, {"info", dir.File(file)});
    EXPECT_EQ(r.status, 0) << file;
    EXPECT_NE(r.out.find("\nname: " + shown + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos) << file;
  }
  // A .vox node name comes in as the file has it, as a voxel file's name does.
  ASSERT_EQ(RunTool(dir, {"convert", dir.File("named.vox"), dir.File("back.vxl")}).status, 0);
  ASSERT_EQ(ReadWith(*FormatNamed("vxl"), dir.File("back.vxl"), *model), nullptr);
  EXPECT_EQ(NameText(model->Name), name);

  // Paths go through the same: a failure, a batch header, an argument, a command.
  const std::string odd = dir.File("odd\x1B[2J.vxl"), oddShown = dir.File("odd\\x1B[2J.vxl");
  const struct {
    std::vector<std::string> args;
    std::string out, err;
  } cases[] = {
      {{"info", odd}, "", oddShown + ": File not found!\n"},
      {{"dump", dir.File("named.vxl"), odd},
       "== " + dir.File("named.vxl") + " ==\nsize 2 2 2\n",
       oddShown + ": File not found!\n"},
      {{"resave", dir.File("named.vxl"), dir.File("none\x07/x.vxl")},
       "",
       dir.File("none\\x07/x.vxl") + ": Could not write the file! (No such file or directory)\n"},
      {{"info", "-\x1B"}, "", "vxltool info: unknown option '-\\x1B'\n"},
      {{"\x1B[2J"}, "", "vxltool: unknown command '\\x1B[2J' (commands: "},
  };
  for (const auto& c : cases) {
    const ToolRun r = RunTool(dir, c.args);
    EXPECT_NE(r.status, 0) << c.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(r.err.find('\x1B'), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x07'), std::string::npos) << r.err;
  }
}
