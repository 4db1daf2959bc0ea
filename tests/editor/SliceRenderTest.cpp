#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "editor/SliceRender.h"
#include "model/NormalTables.h"

namespace {

constexpr std::int32_t Bg = PackRGB(1, 2, 3);
constexpr std::int32_t Red = PackRGB(255, 0, 0);
constexpr std::int32_t None = -1;  // the cell draws nothing

std::unique_ptr<TVoxelModel> MakeModel(int sx, int sy, int sz) {
  auto m = std::make_unique<TVoxelModel>();
  m->SizeX = std::uint8_t(sx);
  m->SizeY = std::uint8_t(sy);
  m->SizeZ = std::uint8_t(sz);
  for (int i = 0; i < 256; ++i) m->Palette[i] = PackRGB(i, 255 - i, i / 2);
  return m;
}

// Checks every pixel: cell (x, y) of width w is expected[y * w + x], each a zoom x zoom square.
void ExpectImage(const PixelBuffer& img, const std::vector<std::int32_t>& expected, int w, int h,
                 int zoom) {
  ASSERT_EQ(img.Width(), w * zoom);
  ASSERT_EQ(img.Height(), h * zoom);
  for (int row = 0; row < h * zoom; ++row)
    for (int col = 0; col < w * zoom; ++col) {
      const std::int32_t e = expected[(row / zoom) * w + col / zoom];
      ASSERT_EQ(img.At(col, row), ToPixel(e == None ? Bg : e)) << col << "," << row;
    }
}

// The planes and the image outlive each call, as the main window's do, so that a render
// relying on what an earlier one left behind fails.
void ExpectRender(const TVoxelModel& m, SliceViewState view,
                  const std::vector<std::int32_t>& expected) {
  static SlicePlanes planes;
  static PixelBuffer img;
  for (int zoom : {3, 1}) {
    SCOPED_TRACE(zoom);
    view.Zoom = zoom;
    RenderSlice(m, view, planes, img);
    ExpectImage(img, expected, m.SizeX, m.SizeY, zoom);
  }
}

}  // namespace

TEST(SliceRender, ColoursModeShowsTheHighestColourBelowEmptyCells) {
  auto m = MakeModel(3, 2, 3);
  // Column (0,0): colour 5 on layer 2 hides everything below.
  m->Colours.at(0, 0, 0) = 9;
  m->Colours.at(0, 0, 2) = 5;
  // Column (1,0): the highest of two colours below shows through, exactly as a voxel would.
  m->Colours.at(1, 0, 0) = 7;
  m->Colours.at(1, 0, 1) = 8;
  // Column (2,0): a normal alone is no colour in colours mode.
  m->Normals.at(2, 0, 1) = 4;
  m->Normals.at(2, 0, 2) = 4;
  // Column (0,1): colour 0 on the current layer with a normal: the underlay shows.
  m->Colours.at(0, 1, 0) = 3;
  m->Normals.at(0, 1, 2) = 6;
  // Column (1,1): a voxel above the shown layer is never read.
  m->Colours.at(1, 1, 2) = 11;
  SliceViewState v;
  v.BackgroundColour = Bg;
  v.CurrentLayer = 2;
  const auto P = [&](int i) { return m->Palette[i]; };
  ExpectRender(*m, v, {P(5), P(8), None, P(3), P(11), None});
  v.UnderlayHidden = true;
  ExpectRender(*m, v, {P(5), None, None, None, P(11), None});
  v.UnderlayHidden = false;
  v.CurrentLayer = 1;
  ExpectRender(*m, v, {P(9), P(8), None, P(3), None, None});
  v.CurrentLayer = 0;  // nothing lies below layer 0
  ExpectRender(*m, v, {P(9), P(7), None, P(3), None, None});
}

TEST(SliceRender, NormalsModeCodesEveryCase) {
  auto m = MakeModel(4, 3, 3);
  const unsigned L = 2;
  m->Colours.at(0, 0, L) = 9, m->Normals.at(0, 0, L) = 40;  // grey(n)
  m->Normals.at(1, 0, L) = 40;                              // normal without colour: red
  m->Colours.at(2, 0, L) = 9;                               // voxel with normal 0: black
  // Empty cells on L; u and b come from separate layers and searches.
  m->Colours.at(3, 0, 0) = 2, m->Normals.at(3, 0, 1) = 70;  // u=70, b=1: grey(u)
  m->Normals.at(0, 1, 0) = 70;                              // u=70, b=0: red
  m->Colours.at(1, 1, 1) = 2;                               // u=0, b=1: black
  // (2,1) is empty all the way down: nothing.
  m->Normals.at(3, 1, 0) = 30, m->Normals.at(3, 1, 1) = 50;  // highest normal wins
  m->Colours.at(3, 1, 0) = 4;
  m->Colours.at(0, 2, 1) = 1, m->Normals.at(0, 2, 0) = 20;  // colour above the normal
  // A cell with colour and normal on L hides an underlay.
  m->Colours.at(1, 2, 0) = 1, m->Normals.at(1, 2, 0) = 99, m->Normals.at(1, 2, L) = 12;
  m->Colours.at(1, 2, L) = 3;
  SliceViewState v;
  v.BackgroundColour = Bg;
  v.NormalsMode = true;
  v.CurrentLayer = L;
  ExpectRender(*m, v,
               {Grey(40), Red, 0, Grey(70),  //
                Red, 0, None, Grey(50),      //
                Grey(20), Grey(12), None, None});
  v.UnderlayHidden = true;
  ExpectRender(*m, v,
               {Grey(40), Red, 0, None,  //
                None, None, None, None,  //
                None, Grey(12), None, None});
  v.UnderlayHidden = false;
  v.CurrentLayer = 0;
  ExpectRender(*m, v,
               {None, None, None, 0,  //
                Red, None, None, Grey(30), Red, Grey(99), None, None});

  // Direction colours: a coloured voxel's index of the set shows its vector's colour (0
  // too); indices beyond the 36 of the set, red and nothing stay as they were.
  m->NormalType = 2;
  v.DirectionColours = true;
  v.CurrentLayer = L;
  auto d = [](int n) { return *DirectionColour(2, n); };
  ExpectRender(*m, v,
               {Grey(40), Red, d(0), Grey(70),  //
                Red, d(0), None, Grey(50),      //
                d(20), d(12), None, None});
}

TEST(SliceRender, EqualsDrawingCellByCell) {
  std::mt19937 rng(7);
  auto m = MakeModel(0, 0, 0);
  for (int round = 0; round < 24; ++round) {
    m->SizeX = std::uint8_t(1 + rng() % 40);
    m->SizeY = std::uint8_t(1 + rng() % 40);
    m->SizeZ = std::uint8_t(1 + rng() % 6);
    for (unsigned z = 0; z < m->SizeZ; ++z)
      for (unsigned y = 0; y < m->SizeY; ++y)
        for (unsigned x = 0; x < m->SizeX; ++x) {
          m->Colours.at(x, y, z) = rng() % 3 == 0 ? std::uint8_t(rng()) : 0;
          m->Normals.at(x, y, z) = rng() % 3 == 0 ? std::uint8_t(rng()) : 0;
        }
    SliceViewState v;
    v.BackgroundColour = Bg;
    v.CurrentLayer = int(rng() % m->SizeZ);
    v.NormalsMode = rng() % 2;
    v.UnderlayHidden = rng() % 4 == 0;
    v.Zoom = 1 + int(rng() % 16);
    v.DirectionColours = rng() % 2;
    m->NormalType = std::uint8_t(rng() % 5);
    SlicePlanes planes;
    PixelBuffer img;
    RenderSlice(*m, v, planes, img);
    std::vector<std::int32_t> cells;
    for (unsigned y = 0; y < m->SizeY; ++y)
      for (unsigned x = 0; x < m->SizeX; ++x)
        cells.push_back(CellColour(*m, v, planes, x, y).value_or(None));
    SCOPED_TRACE(round);
    ExpectImage(img, cells, m->SizeX, m->SizeY, v.Zoom);
  }
}

TEST(SliceRender, NoModelAndStrayLayersAreHarmless) {
  auto m = MakeModel(0, 0, 0);
  SliceViewState v;
  SlicePlanes planes;
  PixelBuffer img;
  RenderSlice(*m, v, planes, img);
  EXPECT_EQ(img.Width(), 0);
  EXPECT_EQ(img.Height(), 0);
  EXPECT_FALSE(CellColour(*m, v, planes, 0, 0));
  EXPECT_EQ(PreviewColour(*m, v, planes, 0, 0, 5), v.BackgroundColour);

  m = MakeModel(2, 1, 2);
  m->Colours.at(0, 0, 0) = 1;
  m->Colours.at(1, 0, 1) = 2;
  m->Colours.at(0, 0, 5) = 8;  // left over above the extent by a taller model
  v.BackgroundColour = Bg;
  v.CurrentLayer = 300;  // treated as the top layer
  ExpectRender(*m, v, {m->Palette[1], m->Palette[2]});
  v.CurrentLayer = -4;  // treated as layer 0
  ExpectRender(*m, v, {m->Palette[1], None});
}

TEST(SliceRender, PreviewShowsWhatTheNextRenderWillShow) {
  auto m = MakeModel(2, 1, 2);
  m->Colours.at(0, 0, 0) = 6;
  m->Colours.at(0, 0, 1) = 4;
  m->Normals.at(0, 0, 1) = 8;
  m->Normals.at(1, 0, 1) = 8;
  SliceViewState v;
  v.BackgroundColour = Bg;
  v.CurrentLayer = 1;
  SlicePlanes planes;
  PixelBuffer img;
  RenderSlice(*m, v, planes, img);
  EXPECT_EQ(PreviewColour(*m, v, planes, 0, 0, 9), m->Palette[9]);
  EXPECT_EQ(PreviewColour(*m, v, planes, 0, 0, 0), m->Palette[6]);  // erasing shows the underlay
  EXPECT_EQ(PreviewColour(*m, v, planes, 1, 0, 0), Bg);
  v.UnderlayHidden = true;
  EXPECT_EQ(PreviewColour(*m, v, planes, 0, 0, 0), Bg);

  v = SliceViewState{};
  v.BackgroundColour = Bg;
  v.CurrentLayer = 1;
  v.NormalsMode = true;
  RenderSlice(*m, v, planes, img);
  EXPECT_EQ(PreviewColour(*m, v, planes, 0, 0, 30), Grey(30));  // coloured voxel
  EXPECT_EQ(PreviewColour(*m, v, planes, 0, 0, 0), 0);          // voxel with normal 0
  EXPECT_EQ(PreviewColour(*m, v, planes, 1, 0, 30), Red);       // normal without colour
  EXPECT_EQ(PreviewColour(*m, v, planes, 1, 0, 0), Bg);
  EXPECT_EQ(m->Normals.at(1, 0, 1), 8);  // previews never write
}
