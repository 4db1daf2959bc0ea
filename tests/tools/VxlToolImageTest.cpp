// The picture commands against the editor's own renders, read back through the image
// library the tool writes with.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "editor/SliceRender.h"
#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"
#include "tools/ToolRun.h"
#include "view3d/Renderer3D.h"

namespace {

QImage ReadPng(const std::string& path) {
  return QImage(QString::fromStdString(path), "PNG");
}

// Every pixel of png against expected enlarged by scale; names the first difference.
::testing::AssertionResult SamePixels(const QImage& png, const PixelBuffer& expected, int scale) {
  if (png.isNull()) return ::testing::AssertionFailure() << "no PNG";
  if (png.width() != expected.Width() * scale || png.height() != expected.Height() * scale)
    return ::testing::AssertionFailure() << "size " << png.width() << " x " << png.height();
  for (int y = 0; y < png.height(); ++y)
    for (int x = 0; x < png.width(); ++x) {
      const Pixel got = Pixel(png.pixel(x, y)) | 0xFF000000u;
      const Pixel want = expected.At(x / scale, y / scale);
      if (got != want)
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << "): " << std::hex << got << " not " << want;
    }
  return ::testing::AssertionSuccess();
}

std::vector<std::string> ModelFiles() {
  std::vector<std::string> files;
  for (const char* s : {"tank.vxl", "sphere.vxl", "dot.vxl"})
    if (std::filesystem::exists(Sample(s))) files.push_back(Sample(s));
  if (std::filesystem::exists(Fixture("cc.vxl"))) files.push_back(Fixture("cc.vxl"));
  return files;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct RenderCase {
  std::vector<std::string> options;
  int layer;  // -1: the top layer; -2: the middle one
  int zoom;
  bool normals, hideUnderlay;
  std::int32_t background;
};

}  // namespace

TEST(VxlToolImages, RenderIsTheSliceViewsRender) {
  const auto files = ModelFiles();
  if (files.empty()) GTEST_SKIP() << "neither samples nor fixtures";
  ScratchDir dir;
  auto model = std::make_unique<TVoxelModel>();
  auto planes = std::make_unique<SlicePlanes>();
  const std::int32_t editorBackground = SliceViewState{}.BackgroundColour;
  for (const std::string& file : files) {
    ASSERT_EQ(ReadVoxelFile(file, *model), LoadStatus::Ok);
    const int middle = model->SizeZ / 2;
    const RenderCase cases[] = {
        {{}, -1, 1, false, false, editorBackground},
        {{"--zoom", "3", "--layer", std::to_string(middle)},
         middle,
         3,
         false,
         false,
         editorBackground},
        {{"--layer", std::to_string(middle), "--hide-underlay", "--zoom", "2"},
         middle,
         2,
         false,
         true,
         editorBackground},
        {{"--normals", "--layer", std::to_string(middle)},
         middle,
         1,
         true,
         false,
         editorBackground},
        {{"--normals", "--hide-underlay", "--background", "#102030", "--layer", "0"},
         0,
         1,
         true,
         true,
         PackRGB(0x10, 0x20, 0x30)},
        {{"--background", "a0B0c0", "--zoom", "16"},
         -1,
         16,
         false,
         false,
         PackRGB(0xA0, 0xB0, 0xC0)},
    };
    for (const RenderCase& c : cases) {
      const std::string out = dir.File("slice.png");
      const ToolRun r = RunTool(dir, Concat({"render", file, out}, c.options));
      ASSERT_EQ(r.status, 0) << file << " " << r.err;
      EXPECT_EQ(r.out + r.err, "");
      SliceViewState view;
      view.CurrentLayer = c.layer == -1 ? model->SizeZ - 1 : c.layer;
      view.Zoom = c.zoom;
      view.NormalsMode = c.normals;
      view.UnderlayHidden = c.hideUnderlay;
      view.BackgroundColour = c.background;
      PixelBuffer expected;
      RenderSlice(*model, view, *planes, expected);
      EXPECT_TRUE(SamePixels(ReadPng(out), expected, 1)) << file << " case " << (&c - cases);
    }
  }
}

TEST(VxlToolImages, ViewIsThe3DRenderersBitmap) {
  const auto files = ModelFiles();
  if (files.empty()) GTEST_SKIP() << "neither samples nor fixtures";
  ScratchDir dir;
  auto model = std::make_unique<TVoxelModel>();
  auto buffers = std::make_unique<View3DBuffers>();
  const struct {
    std::vector<std::string> options;
    int ax, ay, az, scale;
    Pixel background;
    bool lit = false;
  } cases[] = {
      {{}, 0, 0, 0, 1, 0xFFEFEFEFu},
      {{"--preset", "2"}, 0, 208, 64, 1, 0xFFEFEFEFu},
      {{"--preset", "3", "--scale", "2"}, 64, 0, 0, 2, 0xFFEFEFEFu},
      {{"--preset", "4", "--background", "000000"}, 219, 228, 109, 1, 0xFF000000u},
      {{"--angles", "10,200,37", "--scale", "3", "--background", "123456"},
       10,
       200,
       37,
       3,
       0xFF123456u},
      {{"--preset", "4", "--lighting"}, 219, 228, 109, 1, 0xFFEFEFEFu, true},
  };
  for (const std::string& file : files) {
    ASSERT_EQ(ReadVoxelFile(file, *model), LoadStatus::Ok);
    for (const auto& c : cases) {
      const std::string out = dir.File("view.png");
      const ToolRun r = RunTool(dir, Concat({"view", file, out}, c.options));
      ASSERT_EQ(r.status, 0) << file << " " << r.err;
      EXPECT_EQ(r.out + r.err, "");
      // Fouled first: the strip the render never clears must still come out as background.
      buffers->ViewBitmap.Fill(0xFFFF00FFu);
      buffers->ViewBitmap.FillRect(0, 0, ViewSide, ViewSide, c.background);
      RenderView(*model, c.ax, c.ay, c.az, ComputeViewSpan(*model), c.background, *buffers, c.lit);
      const QImage png = ReadPng(out);
      EXPECT_TRUE(SamePixels(png, buffers->ViewBitmap, c.scale)) << file << " " << c.ax;
      EXPECT_EQ(Pixel(png.pixel(png.width() - 1, png.height() - 1)) | 0xFF000000u, c.background);
    }
  }
}

TEST(VxlToolImages, RenderAndViewDrawTheChosenSection) {
  const std::string hmec = Fixture("hmec.vxl");
  if (!std::filesystem::exists(hmec)) GTEST_SKIP() << "no fixtures at " << KOBALTINE_FIXTURES;
  ScratchDir dir;
  auto model = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(hmec, *model), LoadStatus::Ok);
  model->SelectSection(12);
  ToolRun r = RunTool(dir, {"render", hmec, dir.File("slice.png"), "--section", "12"});
  ASSERT_EQ(r.status, 0) << r.err;
  SliceViewState view;
  view.Zoom = 1;
  view.CurrentLayer = model->SizeZ - 1;
  auto planes = std::make_unique<SlicePlanes>();
  PixelBuffer slice;
  RenderSlice(*model, view, *planes, slice);
  EXPECT_TRUE(SamePixels(ReadPng(dir.File("slice.png")), slice, 1));

  r = RunTool(dir, {"view", hmec, dir.File("view.png"), "--section", "12", "--preset", "4"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto buffers = std::make_unique<View3DBuffers>();
  buffers->ViewBitmap.Fill(0xFFEFEFEFu);
  RenderView(*model, 219, 228, 109, ComputeViewSpan(*model), 0xFFEFEFEFu, *buffers);
  EXPECT_TRUE(SamePixels(ReadPng(dir.File("view.png")), buffers->ViewBitmap, 1));

  for (const char* command : {"render", "view"}) {
    r = RunTool(dir, {command, hmec, dir.File("none.png"), "--section", "13"});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, hmec + ": section 13 does not exist (sections 0 to 12)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.png")));
  }
}

TEST(VxlToolImages, ErrorsExitWithTheirStatusAndLeaveNoFile) {
  ScratchDir dir;
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 4, 3, 5);
  m->Colours.at(1, 1, 4) = 9;
  ASSERT_TRUE(WriteVoxelFile(dir.File("m.vxl"), *m));
  WriteBytes(dir.File("text.vxl"), Bytes{'h', 'i'});
  WriteBytes(dir.File("keep.png"), Bytes{'o', 'l', 'd'});
  std::filesystem::create_directory(dir.File("folder.png"));
  WriteBytes(dir.File("locked.png"), Bytes{'o', 'l', 'd'});
  std::filesystem::permissions(dir.File("locked.png"), std::filesystem::perms::owner_read);
  const std::string good = dir.File("m.vxl"), out = dir.File("out.png");
  const std::string text = dir.File("text.vxl"), gone = dir.File("gone.vxl");
  const std::string nowhere = dir.File("missing/out.png"), folder = dir.File("folder.png");
  const std::string noFolder = ": Could not write the file! (No such file or directory)\n";

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;            // empty: any single line
    bool unprivileged = false;  // run as a user without root's right to write anything
  };
  const Case cases[] = {
      {{"render", good, out, "--zoom", "0"}, 2, "vxltool render: --zoom wants 1 to 16, not '0'\n"},
      {{"render", good, out, "--zoom", "17"}, 2, ""},
      {{"render", good, out, "--zoom", "2x"}, 2, ""},
      {{"render", good, out, "--zoom"}, 2, "vxltool render: --zoom needs a value\n"},
      {{"render", good, out, "--layer", "top"}, 2, ""},
      {{"render", good, out, "--layer", "5"}, 2, "vxltool render: layer 5 is outside 0..4\n"},
      {{"render", good, out, "--layer", "-1"}, 2, "vxltool render: layer -1 is outside 0..4\n"},
      {{"render", good, out, "--background", "12345"}, 2, ""},
      {{"render", good, out, "--background", "12345G"}, 2, ""},
      {{"render", good, out, "--shade"}, 2, "vxltool render: unknown option '--shade'\n"},
      {{"render", good}, 2, ""},
      {{"render", good, out, dir.File("extra.png")}, 2, ""},
      {{"render", "--out-dir", dir.File("d")}, 2, ""},
      {{"render", text, out}, 1, text + ": Incorrect Format!\n"},
      {{"render", gone, out, "--zoom", "4"}, 1, gone + ": File not found!\n"},
      {{"render", text, dir.File("keep.png")}, 1, text + ": Incorrect Format!\n"},
      {{"render", good, nowhere}, 1, nowhere + noFolder},
      {{"render", good, folder}, 1, folder + ": Could not write the file! (Is a directory)\n"},
      {{"view", good, out, "--angles", "1,2"}, 2, ""},
      {{"view", good, out, "--angles", "0,0,256"}, 2, ""},
      {{"view", good, out, "--angles", "1,2,3,4"}, 2, ""},
      {{"view", good, out, "--preset", "5"}, 2, "vxltool view: --preset wants 1 to 4, not '5'\n"},
      {{"view", good, out, "--scale", "0"}, 2, ""},
      {{"view", good, out, "--preset", "1", "--angles", "0,0,0"}, 2, ""},
      {{"view", good, out, "--background", "red"}, 2, ""},
      {{"view", good, out, "--spin"}, 2, ""},
      {{"view", good},
       2,
       "usage: vxltool view FILE OUT.png [--angles X,Y,Z | --preset 1..4] "
       "[--scale 1..4] [--background RRGGBB] [--section N] [--lighting]\n"},
      {{"view", text, out}, 1, text + ": Incorrect Format!\n"},
      {{"view", good, nowhere}, 1, nowhere + noFolder},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // A read-only file is refused, as the model writer refuses it. Root writes anyway, so
  // under root these run as nobody, who may read the folder but write nothing in it.
  const std::string denied = ": Could not write the file! (Permission denied)\n";
  const std::string locked = dir.File("locked.png"), lockedVxl = dir.File("locked.vxl");
  WriteBytes(lockedVxl, Bytes{'o', 'l', 'd'});
  std::filesystem::permissions(lockedVxl, std::filesystem::perms::owner_read);
  all.push_back({{"render", good, locked}, 1, locked + denied, true});
  all.push_back({{"view", good, locked, "--scale", "4"}, 1, locked + denied, true});
  all.push_back({{"resave", good, lockedVxl}, 1, lockedVxl + denied, true});
  std::string runner;
  bool dropped = true;
  if (::geteuid() == 0) {
    runner = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::others_exec | std::filesystem::perms::others_read,
        std::filesystem::perm_options::add);
    dropped = std::system((runner + " true").c_str()) == 0;
  }
  const auto before = EntryNames(dir);
  for (const Case& c : all) {
    if (c.unprivileged && !dropped) continue;
    const ToolRun r = RunTool(dir, c.args, c.unprivileged ? runner : "");
    const std::string what = c.args[0] + " " + c.args.back();
    EXPECT_EQ(r.status, c.status) << what;
    EXPECT_EQ(r.out, "") << what;
    if (c.err.empty())
      EXPECT_TRUE(OneLine(r.err)) << what << ": " << r.err;
    else
      EXPECT_EQ(r.err, c.err) << what;
    EXPECT_EQ(EntryNames(dir), before) << what;  // no output, no temporary file
  }
  EXPECT_EQ(ReadBytes(dir.File("keep.png")), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadBytes(locked), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadBytes(lockedVxl), (Bytes{'o', 'l', 'd'}));

  // Each picture command's help begins with its usage line.
  for (const char* command : {"render", "view"}) {
    const ToolRun r = RunTool(dir, {command, "--help"});
    EXPECT_EQ(r.status, 0);
    const std::string usage = RunTool(dir, {command}).err;
    EXPECT_EQ(r.out.substr(0, usage.size()), usage);
  }
  if (!dropped)
    GTEST_SKIP() << "root cannot run the tool as nobody: the refused writes went untested";
}

TEST(VxlToolImages, RenderBatchOverAFolderOfGoodAndBadFiles) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.File("mod"));
  std::filesystem::create_directory(dir.File("mod/more"));
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 3, 2, 4);
  m->Colours.at(0, 0, 3) = 5;
  ASSERT_TRUE(WriteVoxelFile(dir.File("mod/a.vxl"), *m));
  ResetNewModel(*m, 5, 5, 1);
  m->Colours.at(2, 2, 0) = 12;
  ASSERT_TRUE(WriteVoxelFile(dir.File("mod/B.VXL"), *m));
  ASSERT_TRUE(WriteVoxelFile(dir.File("mod/more/a.vxl"), *m));  // the same name again
  WriteBytes(dir.File("mod/broken.vxl"), Bytes{'V', 'o', 'x'});
  const std::string outDir = dir.File("renders/sub");  // made by the tool

  ToolRun r = RunTool(dir, {"render", dir.File("mod/a.vxl"), dir.File("mod/broken.vxl"),
                            dir.File("mod/B.VXL"), dir.File("mod/gone.vxl"),
                            dir.File("mod/more/a.vxl"), "--out-dir", outDir, "--zoom", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, dir.File("mod/broken.vxl") + ": Incorrect Format!\n" + dir.File("mod/gone.vxl") +
                       ": File not found!\n" + dir.File("mod/more/a.vxl") +
                       ": a file named a.png was already written\n");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(outDir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"B.png", "a.png"}));

  // Each picture is the one a single render gives.
  r = RunTool(dir, {"render", dir.File("mod/B.VXL"), dir.File("single.png"), "--zoom", "2"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(ReadPng(outDir + "/B.png"), ReadPng(dir.File("single.png")));

  // A layer that one model lacks fails that model only; all good gives status 0.
  r = RunTool(dir, {"render", dir.File("mod/a.vxl"), dir.File("mod/B.VXL"), "--layer", "2",
                    "--out-dir", dir.File("layer2")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("mod/B.VXL") + ": layer 2 is outside 0..0\n");
  EXPECT_TRUE(std::filesystem::exists(dir.File("layer2/a.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("layer2/B.png")));
  r = RunTool(
      dir, {"render", "--out-dir", dir.File("all"), dir.File("mod/a.vxl"), dir.File("mod/B.VXL")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // A folder that cannot be made: one line, status 1.
  WriteBytes(dir.File("plain"), Bytes{'x'});
  r = RunTool(dir, {"render", dir.File("mod/a.vxl"), "--out-dir", dir.File("plain")});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
}

// The file manager's picture: the lit cameo cut to the voxels, a whole factor larger
// (or smaller) to fit the size, clear around them; a broken file leaves no picture.
TEST(VxlToolImages, ThumbnailFitsItsSizeByAWholeFactor) {
  const ScratchDir dir;
  const std::string tank = dir.File("tank.vxl");
  ASSERT_EQ(RunTool(dir, {"normals", Sample("tank.vxl"), tank}).status, 0);  // so it is lit
  auto model = std::make_unique<TVoxelModel>();
  ASSERT_EQ(ReadVoxelFile(tank, *model), LoadStatus::Ok);
  auto buffers = std::make_unique<View3DBuffers>();
  buffers->ViewBitmap.Fill(0);
  RenderView(*model, 219, 228, 109, ComputeViewSpan(*model), 0, *buffers, true);
  const PixelBuffer& view = buffers->ViewBitmap;
  int x0 = ViewSide, y0 = ViewSide, x1 = -1, y1 = -1;
  for (int y = 0; y < ViewSide; ++y)
    for (int x = 0; x < ViewSide; ++x)
      if (view.At(x, y) != 0)
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
  const int w = x1 - x0 + 1, h = y1 - y0 + 1, side = std::max(w, h);
  ASSERT_GT(side, 16);
  ASSERT_LT(side, 128);

  for (int size : {16, 128, 256, 1024}) {
    SCOPED_TRACE(size);
    const std::string out = dir.File("thumb" + std::to_string(size) + ".png");
    const ToolRun r = RunTool(dir, {"thumbnail", "-s", std::to_string(size), tank, out});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage png = ReadPng(out).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(png.isNull());
    EXPECT_LE(std::max(png.width(), png.height()), size);
    if (side > size) {  // smaller by a whole divisor
      const int d = (side + size - 1) / size;
      EXPECT_EQ(png.size(), QSize((w + d - 1) / d, (h + d - 1) / d));
      continue;
    }
    const int k = size / side;
    ASSERT_EQ(png.size(), QSize(w * k, h * k));
    int clear = 0;
    for (int y = 0; y < png.height(); ++y)
      for (int x = 0; x < png.width(); ++x) {
        const Pixel want = view.At(x0 + x / k, y0 + y / k);
        ASSERT_EQ(Pixel(png.pixel(x, y)), want) << x << ", " << y;
        clear += want == 0;
      }
    EXPECT_GT(clear, 0);  // the corners around the model show through
  }

  WriteBytes(dir.File("text.vxl"), Bytes{'n', 'o'});
  const ToolRun r =
      RunTool(dir, {"thumbnail", "-s", "64", dir.File("text.vxl"), dir.File("x.png")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
  EXPECT_EQ(RunTool(dir, {"thumbnail", tank, dir.File("x.png")}).status, 2);  // no size
}
