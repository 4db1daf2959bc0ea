// The layer on the clipboard: the private format's round trip and its guard against bad
// data, the image flavour, nearest colours, and pasting at the low corner.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "editor/LayerClipboard.h"
#include "editor/PixelBuffer.h"
#include "tests/editor/PlaneModels.h"

namespace {

LayerClip Clip(int w, int h, unsigned seed) {
  LayerClip c;
  c.Width = w, c.Height = h;
  std::mt19937 rng(seed);
  for (int i = 0; i < w * h; ++i) {
    c.Colours.push_back(std::uint8_t(rng() % 3 ? rng() : 0));
    c.Normals.push_back(std::uint8_t(rng()));
  }
  return c;
}

bool SameClip(const LayerClip& a, const LayerClip& b) {
  return a.Width == b.Width && a.Height == b.Height && a.Colours == b.Colours &&
         a.Normals == b.Normals;
}

}  // namespace

TEST(LayerClipboard, PrivateFormatRoundTripsAndRefusesBadData) {
  for (auto [w, h] : {std::pair{1, 1}, {255, 255}, {7, 200}}) {
    const LayerClip clip = Clip(w, h, unsigned(w * h));
    const std::vector<std::uint8_t> bytes = EncodeLayerClip(clip);
    ASSERT_EQ(bytes.size(), 16u + 2u * unsigned(w * h));
    const auto back = DecodeLayerClip(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_TRUE(SameClip(*back, clip));
  }

  // Damaged headers (magic, version, sizes 0 or 256, the reserved zero), wrong lengths.
  const std::vector<std::uint8_t> good = EncodeLayerClip(Clip(3, 2, 1));
  const std::pair<std::size_t, std::uint8_t> damage[] = {
      {0, 'k'}, {8, 2}, {9, 1}, {10, 0}, {11, 1}, {12, 0}, {13, 1}, {14, 1}, {15, 1}};
  for (auto [at, v] : damage) {
    auto b = good;
    b[at] = v;
    EXPECT_FALSE(DecodeLayerClip(b.data(), b.size())) << at;
  }
  for (std::size_t n : {std::size_t(0), std::size_t(15), std::size_t(16), good.size() - 1,
                        good.size() + 1, std::size_t(100)}) {
    auto b = good;
    b.resize(n);
    if (n == 100) b[10] = b[12] = 255;  // claims the largest layer over a few bytes
    EXPECT_FALSE(DecodeLayerClip(b.data(), b.size())) << n;
  }
  EXPECT_FALSE(DecodeLayerClip(nullptr, 40));

  // Any damage to a clip gives either nothing or a clip whose sizes hold together.
  std::mt19937 rng(3);
  for (int i = 0; i < 2000; ++i) {
    auto b = good;
    b.resize(rng() % (good.size() + 8));
    for (int k = 0; k < 3 && !b.empty(); ++k) b[rng() % b.size()] = std::uint8_t(rng());
    if (const auto c = DecodeLayerClip(b.data(), b.size())) {
      ASSERT_EQ(c->Colours.size(), std::size_t(c->Width * c->Height));
    }
  }
}

TEST(LayerClipboard, ImageShowsTheColoursWithEmptyCellsTransparent) {
  LayerClip clip;
  clip.Width = 3, clip.Height = 1;
  clip.Colours = {0, 5, 0};
  clip.Normals = {0, 0, 9};  // a normal without colour shows nothing in colours
  PaletteRGB pal = DefaultPalette();
  pal[5] = PackRGB(10, 20, 30);
  EXPECT_EQ(LayerClipImage(clip, pal), (std::vector<std::uint32_t>{0u, 0xFF0A141Eu, 0u}));
}

TEST(LayerClipboard, NearestColourSkipsEntryZeroAndPrefersTheLowestIndex) {
  PaletteRGB pal{};
  for (int i = 0; i < 256; ++i) pal[i] = PackRGB(200, 200, 200);
  pal[0] = PackRGB(10, 10, 10);
  pal[7] = PackRGB(12, 10, 10);
  pal[9] = PackRGB(8, 10, 10);  // as near as 7
  pal[20] = PackRGB(250, 0, 0);
  pal[30] = PackRGB(250, 0, 0);
  struct Case {
    unsigned r, g, b;
    int index;
  };
  const Case cases[] = {
      {10, 10, 10, 7},  // exactly entry 0, which is never taken; 7 and 9 tie
      {8, 10, 10, 9},   // exact
      {255, 0, 0, 20},  // nearest, and the lower of two equal entries
      {200, 200, 200, 1}, {150, 150, 150, 1},
      {0, 0, 255, 9},  // the darks are nearer than the greys
  };
  for (const Case& c : cases)
    EXPECT_EQ(NearestPaletteIndex(pal, c.r, c.g, c.b), c.index) << c.r << "," << c.g << "," << c.b;
}

// A layer copied in any orientation and pasted in any orientation into a model of other
// sizes keeps its look on screen, as its picture would: columns and rows keep their order,
// and its edge meets the plane's low edge (the top row in Top, the bottom row, z 0, in
// Front and Side). Within one orientation its cells so keep their model coordinates
// along the plane. What lies beyond the target's extent is dropped.
TEST(LayerClipboard, PasteKeepsTheLookAndMeetsAtTheLowEdge) {
  for (SliceOrientation o : AllOrientations)
    for (SliceOrientation p : AllOrientations)
      for (auto [tx, ty, tz] : {std::tuple{4, 3, 9}, {9, 9, 2}, {2, 12, 5}}) {
        SCOPED_TRACE(testing::Message() << OrientationText(o) << " to " << OrientationText(p)
                                        << " into " << tx << "x" << ty << "x" << tz);
        const TVoxelModel& from = RandomModel(0, 5, 6, 7, 1);
        TVoxelModel& to = RandomModel(1, tx, ty, tz, 2);
        const TVoxelModel& before = CopyOf(2, to);
        const PlaneMap src(from, o), dst(to, p);
        const int fromLayer = 2, toLayer = 1;
        const LayerClip clip = CopyLayer(from, o, fromLayer);
        const auto decoded =
            DecodeLayerClip(EncodeLayerClip(clip).data(), 16 + 2 * clip.Colours.size());
        ASSERT_TRUE(decoded);
        auto step = PasteLayerClip(to, p, toLayer, *decoded);
        ASSERT_NE(step, nullptr);
        EXPECT_EQ(step->Label(), "Paste");
        const int shift = dst.RowsReversed() ? dst.Height() - src.Height() : 0;
        for (int l = 0; l < dst.Layers(); ++l)
          for (int v = 0; v < dst.Height(); ++v)
            for (int u = 0; u < dst.Width(); ++u) {
              const ModelCell c = dst.Cell(u, v, l);
              const int r = v - shift;  // the clip's row on the screen
              const bool pasted = l == toLayer && u < src.Width() && r >= 0 && r < src.Height();
              const ModelCell f = src.Cell(u, r, fromLayer);
              if (pasted && o == p) {
                const PlaneCell s = src.Plane(c.X, c.Y, c.Z);
                ASSERT_EQ(std::pair(s.U, s.V), std::pair(u, r));
              }
              const TVoxelModel& want = pasted ? from : before;
              const ModelCell w = pasted ? f : c;
              ASSERT_EQ(to.Colours.at(c.X, c.Y, c.Z), want.Colours.at(w.X, w.Y, w.Z));
              ASSERT_EQ(to.Normals.at(c.X, c.Y, c.Z), want.Normals.at(w.X, w.Y, w.Z));
            }
        step->Revert(to);
        ASSERT_TRUE(SameCells(to, before));
      }
}

TEST(LayerClipboard, ImagePasteMapsPixelsAndKeepsNormals) {
  TVoxelModel& m = RandomModel(0, 3, 2, 2, 0, 1, 1);  // empty inside
  m.Palette[4] = PackRGB(0, 0, 250);
  m.Colours.at(0, 0, 1) = 2, m.Normals.at(0, 0, 1) = 9;  // a voxel with normal 9
  m.Normals.at(2, 0, 1) = 5;                             // a normal alone
  m.Colours.at(1, 0, 1) = 3, m.Normals.at(1, 0, 1) = 6;
  // 4 x 3 pixels, rows 5 apart: the fourth column and the third row lie beyond the model.
  const std::uint32_t px[] = {
      0xFF0000F0, 0x00FFFFFF, 0x010000FF, 0xFF0000FF, 0,  //
      0xFF0000FF, 0x00000000, 0xFF0000FF, 0xFF0000FF, 0,  //
      0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0,
  };
  auto step = PasteImage(m, SliceOrientation::Top, 1, px, 4, 3, 5);
  ASSERT_NE(step, nullptr);
  const std::uint8_t blue = NearestPaletteIndex(m.Palette, 0, 0, 255);
  EXPECT_EQ(blue, 4);
  const int colours[2][3] = {{4, 0, 4}, {4, 0, 4}};
  const int normals[2][3] = {{9, 0, 5}, {0, 0, 0}};  // transparent empties; others keep theirs
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(m.Colours.at(x, y, 1), colours[y][x]) << x << "," << y;
      EXPECT_EQ(m.Normals.at(x, y, 1), normals[y][x]) << x << "," << y;
    }
  EXPECT_EQ(m.Colours.at(3, 0, 1), 1);  // beyond the extent: untouched
  EXPECT_EQ(PasteImage(m, SliceOrientation::Top, 1, px, 4, 3, 3), nullptr);  // stride too short
}

TEST(LayerClipboard, CutCopiesThenEmptiesTheLayerInOneStep) {
  TVoxelModel& m = RandomModel(0, 6, 4, 5, 8);
  const TVoxelModel& before = CopyOf(1, m);
  LayerClip clip;
  auto step = CutLayer(m, SliceOrientation::Side, 3, clip);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->Label(), "Cut");
  EXPECT_TRUE(SameClip(clip, CopyLayer(before, SliceOrientation::Side, 3)));
  EXPECT_EQ(step->Box(), (CellBox{3, 0, 0, 3, 3, 4}));
  const LayerClip empty = CopyLayer(m, SliceOrientation::Side, 3);
  EXPECT_EQ(std::count(empty.Colours.begin(), empty.Colours.end(), 0) +
                std::count(empty.Normals.begin(), empty.Normals.end(), 0),
            2 * 4 * 5);
  step->Revert(m);
  EXPECT_TRUE(SameCells(m, before));
  // Cutting an empty layer copies it and makes no step.
  step->Apply(m);
  EXPECT_EQ(CutLayer(m, SliceOrientation::Side, 3, clip), nullptr);
  EXPECT_EQ(clip.Width, 4);
}
