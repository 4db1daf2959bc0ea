// The three slicing orientations: where a plane cell lies in the model, and that the
// render of a front or side plane follows exactly the rules of the top one.

#include <gtest/gtest.h>

#include <cstring>

#include "editor/SliceRender.h"
#include "editor/ToolCells.h"
#include "tests/editor/PlaneModels.h"

namespace {

constexpr std::int32_t Bg = PackRGB(1, 2, 3);

struct MappingCase {
  SliceOrientation orientation;
  int width, height, layers;
  PlaneCell plane;
  ModelCell cell;
};

}  // namespace

TEST(Orientation, PlaneCellsLandOnTheirModelCells) {
  // A 5 x 6 x 7 model; Front and Side show Z upwards, the top row being z = 6.
  const MappingCase cases[] = {
      {SliceOrientation::Top, 5, 6, 7, {1, 2, 3}, {1, 2, 3}},
      {SliceOrientation::Top, 5, 6, 7, {4, 5, 6}, {4, 5, 6}},
      {SliceOrientation::Front, 5, 7, 6, {1, 2, 3}, {1, 3, 4}},
      {SliceOrientation::Front, 5, 7, 6, {4, 0, 5}, {4, 5, 6}},
      {SliceOrientation::Front, 5, 7, 6, {0, 6, 0}, {0, 0, 0}},
      {SliceOrientation::Side, 6, 7, 5, {1, 2, 3}, {3, 1, 4}},
      {SliceOrientation::Side, 6, 7, 5, {5, 0, 4}, {4, 5, 6}},
      {SliceOrientation::Side, 6, 7, 5, {0, 6, 0}, {0, 0, 0}},
  };
  for (const MappingCase& c : cases) {
    SCOPED_TRACE(OrientationText(c.orientation));
    TVoxelModel& m = RandomModel(0, 5, 6, 7, 1, 100);
    const TVoxelModel& before = CopyOf(1, m);
    const PlaneMap map(m, c.orientation);
    EXPECT_EQ(map.Width(), c.width);
    EXPECT_EQ(map.Height(), c.height);
    EXPECT_EQ(map.Layers(), c.layers);
    EXPECT_EQ(map.Cell(c.plane.U, c.plane.V, c.plane.Layer), c.cell);
    EXPECT_EQ(map.Plane(c.cell.X, c.cell.Y, c.cell.Z), c.plane);
    EXPECT_EQ(map.ClampLayer(99), c.layers - 1);

    // The pen edits exactly that cell of the grid being shown, and undo takes it back.
    const PlaneTarget target{c.orientation, c.plane.Layer, GridKind::Normals, 200};
    CellEdit stroke = BeginPenStroke(m, target);
    PenCell(stroke, map, target, c.plane.U, c.plane.V);
    PenCell(stroke, map, target, c.width, 0);  // beyond the plane: ignored
    auto step = stroke.Finish();
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->Box(), (CellBox{c.cell.X, c.cell.Y, c.cell.Z, c.cell.X, c.cell.Y, c.cell.Z}));
    EXPECT_EQ(m.Normals.at(c.cell.X, c.cell.Y, c.cell.Z), 200);
    step->Revert(m);
    EXPECT_TRUE(SameCells(m, before));
  }
}

// Every rule of the top render (colours and normals, underlay shown or hidden, previews)
// holds on the other planes: rendering a front or side plane equals rendering the top
// plane of the model turned that way.
TEST(Orientation, FrontAndSideRenderLikeTopOfTheTurnedModel) {
  std::mt19937 rng(5);
  SlicePlanes planes, turnedPlanes;
  PixelBuffer img, turnedImg;
  for (int round = 0; round < 36; ++round) {
    const int sx = 1 + int(rng() % 30), sy = 1 + int(rng() % 30), sz = 1 + int(rng() % 30);
    const TVoxelModel& m = RandomModel(0, sx, sy, sz, rng(), 255, 2 + rng() % 4);
    SliceViewState v;
    v.BackgroundColour = Bg;
    v.Orientation = AllOrientations[round % 3];
    v.NormalsMode = (round / 3) % 2 == 1;
    v.UnderlayHidden = round % 5 == 0;
    v.Zoom = 1 + int(rng() % 4);
    const PlaneMap map(m, v.Orientation);
    v.CurrentLayer = round % 4 == 0 ? map.Layers() - 1 : int(rng() % map.Layers());
    const TVoxelModel& turned = TurnedToTop(1, m, v.Orientation);
    SliceViewState top = v;
    top.Orientation = SliceOrientation::Top;
    SCOPED_TRACE(testing::Message() << "round " << round << " " << OrientationText(v.Orientation));

    RenderSlice(m, v, planes, img);
    RenderSlice(turned, top, turnedPlanes, turnedImg);
    ASSERT_EQ(img.Width(), map.Width() * v.Zoom);
    ASSERT_EQ(img.Height(), map.Height() * v.Zoom);
    ASSERT_EQ(img.Width(), turnedImg.Width());
    ASSERT_EQ(img.Height(), turnedImg.Height());
    for (int row = 0; row < img.Height(); ++row)
      for (int col = 0; col < img.Width(); ++col)
        ASSERT_EQ(img.At(col, row), turnedImg.At(col, row)) << col << "," << row;
    for (unsigned pv = 0; pv < unsigned(map.Height()); ++pv)
      for (unsigned pu = 0; pu < unsigned(map.Width()); ++pu) {
        ASSERT_EQ(CellColour(m, v, planes, pu, pv), CellColour(turned, top, turnedPlanes, pu, pv));
        ASSERT_EQ(PreviewColour(m, v, planes, pu, pv, 0),
                  PreviewColour(turned, top, turnedPlanes, pu, pv, 0));
      }
  }
}

TEST(Orientation, UnderlayLooksAlongTheLayerAxis) {
  // Where the layer shown is empty, the nearest voxel on the layers before it shows.
  TVoxelModel& m = RandomModel(0, 6, 5, 4, 0);
  std::memset(m.Colours.data(), 0, GridCells);
  std::memset(m.Normals.data(), 0, GridCells);
  const auto P = [&](int i) { return ToPixel(m.Palette[i]); };
  m.Colours.at(0, 2, 3) = 9;  // Front: on layer 2 ...
  m.Colours.at(0, 1, 3) = 8;  // ... and on layer 1, farther from layer 4
  m.Colours.at(4, 4, 0) = 7;  // Side: on layer 4 ...
  m.Colours.at(5, 4, 0) = 6;  // ... and on layer 5
  m.Colours.at(3, 0, 3) = 5;
  SliceViewState v;
  v.BackgroundColour = Bg;
  v.Zoom = 2;
  SlicePlanes planes;
  PixelBuffer img;

  v.Orientation = SliceOrientation::Front;
  v.CurrentLayer = 4;
  RenderSlice(m, v, planes, img);
  EXPECT_EQ(img.At(0, 0), P(9));  // u = x 0, v 0 = z 3: the top left corner
  EXPECT_EQ(img.At(6, 0), P(5));
  EXPECT_EQ(img.At(5, 3), ToPixel(Bg));
  v.CurrentLayer = 0;
  RenderSlice(m, v, planes, img);
  EXPECT_EQ(img.At(0, 0), ToPixel(Bg));  // nothing lies before layer 0

  v.Orientation = SliceOrientation::Side;
  v.CurrentLayer = 5;
  RenderSlice(m, v, planes, img);
  EXPECT_EQ(img.Width(), 10);
  EXPECT_EQ(img.Height(), 8);
  EXPECT_EQ(img.At(8, 6), P(6));  // u = y 4, v 3 = z 0: the bottom right corner
  m.Colours.at(5, 4, 0) = 0;
  RenderSlice(m, v, planes, img);
  EXPECT_EQ(img.At(9, 7), P(7));
  v.UnderlayHidden = true;
  RenderSlice(m, v, planes, img);
  EXPECT_EQ(img.At(9, 7), ToPixel(Bg));
}
