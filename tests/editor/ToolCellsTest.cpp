// The shape tools' cells against their formulas, and the square, pen and fill on the
// planes of every orientation.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/ToolCells.h"
#include "tests/editor/PlaneModels.h"

namespace {

// The formulas as stated, evaluated for plane cell (u, v) on layer l, with the rectangle
// already clamped into the plane.
bool Expected(ShapeKind kind, const PlaneRect& r, int L, int layers, int u, int v, int l) {
  const int w = r.U1 - r.U0 + 1, h = r.V1 - r.V0 + 1, d = std::min(w, h);
  const double cx = (r.U0 + r.U1 + 1) / 2.0, cy = (r.V0 + r.V1 + 1) / 2.0;
  const bool inRect = u >= r.U0 && u <= r.U1 && v >= r.V0 && v <= r.V1;
  switch (kind) {
    case ShapeKind::Square:
      return inRect && l == L;
    case ShapeKind::Circle: {
      const double rx = w / 2.0, ry = h / 2.0;
      const double a = (u + 0.5 - cx) / rx, b = (v + 0.5 - cy) / ry;
      return l == L && a * a + b * b <= 1;
    }
    case ShapeKind::Cube:
      return inRect && l >= L && l <= std::min(L + d - 1, layers - 1);
    case ShapeKind::Sphere: {
      const double a = u + 0.5 - cx, b = v + 0.5 - cy, c = (l + 0.5) - (L + 0.5);
      return a * a + b * b + c * c <= (d / 2.0) * (d / 2.0);
    }
  }
  return false;
}

struct ShapeCase {
  const char* name;
  PlaneRect drag;     // as dragged, corners in any order, possibly beyond the plane
  PlaneRect clamped;  // what the square tool makes of it
  int layer;
};

}  // namespace

TEST(ToolCells, ShapesWriteExactlyTheirFormulas) {
  // A plane of 20 x 17 cells with 15 layers in every orientation.
  const ShapeCase cases[] = {
      {"odd square drag", {3, 2, 11, 10}, {3, 2, 11, 10}, 4},
      {"even square drag", {2, 2, 9, 9}, {2, 2, 9, 9}, 7},
      {"wide odd by even", {1, 3, 17, 8}, {1, 3, 17, 8}, 5},
      {"tall even by odd", {12, 0, 15, 16}, {12, 0, 15, 16}, 0},
      {"one cell", {6, 6, 6, 6}, {6, 6, 6, 6}, 3},
      {"two cells", {6, 6, 7, 6}, {6, 6, 7, 6}, 3},
      {"corners reversed", {10, 12, 4, 5}, {4, 5, 10, 12}, 6},
      {"beyond the plane", {-5, 10, 40, 99}, {0, 10, 19, 16}, 9},
      {"the top layer", {0, 0, 13, 13}, {0, 0, 13, 13}, 14},
      {"whole plane", {0, 0, 19, 16}, {0, 0, 19, 16}, 8},
  };
  const ShapeKind kinds[] = {ShapeKind::Square, ShapeKind::Circle, ShapeKind::Cube,
                             ShapeKind::Sphere};
  std::vector<PlaneSpan> preview;
  for (SliceOrientation o : AllOrientations) {
    // Sizes chosen so that each orientation's plane is 20 x 17 with 15 layers.
    const int sx = o == SliceOrientation::Side ? 15 : 20;
    const int sy = o == SliceOrientation::Top ? 17 : o == SliceOrientation::Front ? 15 : 20;
    const int sz = o == SliceOrientation::Top ? 15 : 17;
    for (const ShapeCase& c : cases)
      for (ShapeKind kind : kinds) {
        SCOPED_TRACE(testing::Message()
                     << OrientationText(o) << ", " << c.name << ", " << ShapeLabel(kind));
        TVoxelModel& m = RandomModel(0, sx, sy, sz, 3, 100);
        const TVoxelModel& before = CopyOf(1, m);
        const PlaneMap map(m, o);
        ASSERT_EQ(map.Width(), 20);
        ASSERT_EQ(map.Height(), 17);
        ASSERT_EQ(map.Layers(), 15);
        const PlaneRect& r = c.clamped;
        const PlaneRect got = ClampRect(map, c.drag);
        ASSERT_EQ((std::vector<int>{got.U0, got.V0, got.U1, got.V1}),
                  (std::vector<int>{r.U0, r.V0, r.U1, r.V1}));

        auto step = DrawShape(m, kind, {o, c.layer, GridKind::Normals, 200}, c.drag);
        ASSERT_NE(step, nullptr);
        EXPECT_EQ(step->Label(), ShapeLabel(kind));
        int cells = 0;
        for (int l = 0; l < 15; ++l)
          for (int v = 0; v < 17; ++v)
            for (int u = 0; u < 20; ++u) {
              const ModelCell p = map.Cell(u, v, l);
              const bool in = Expected(kind, r, c.layer, 15, u, v, l);
              cells += in;
              const std::uint8_t want = in ? 200 : before.Normals.at(p.X, p.Y, p.Z);
              ASSERT_EQ(m.Normals.at(p.X, p.Y, p.Z), want) << u << "," << v << "," << l;
              ASSERT_EQ(m.Colours.at(p.X, p.Y, p.Z), before.Colours.at(p.X, p.Y, p.Z));
            }
        EXPECT_GT(cells, 0);

        // The preview holds the shape's cells on the layer dragged on (the footprint for
        // the cube), row by row.
        ShapePreview(kind, map, c.drag, preview);
        std::vector<PlaneSpan> want;
        const ShapeKind flat = kind == ShapeKind::Cube ? ShapeKind::Square : kind;
        for (int v = 0; v < 17; ++v) {
          int u0 = -1, u1 = -1;
          for (int u = 0; u < 20; ++u)
            if (Expected(flat, r, c.layer, 15, u, v, c.layer)) u0 = u0 < 0 ? u : u0, u1 = u;
          if (u0 >= 0) want.push_back({v, u0, u1});
        }
        EXPECT_EQ(preview, want);

        step->Revert(m);
        ASSERT_TRUE(SameCells(m, before));
      }
  }
}

TEST(ToolCells, ShapeSizesAtAGlance) {
  // Counts that pin the formulas' rounding independently of the reference above.
  struct Count {
    ShapeKind kind;
    PlaneRect rect;
    int cells;
  };
  const Count counts[] = {
      {ShapeKind::Circle, {0, 0, 0, 0}, 1},  {ShapeKind::Circle, {0, 0, 1, 1}, 4},
      {ShapeKind::Circle, {0, 0, 2, 2}, 9},  {ShapeKind::Circle, {0, 0, 3, 3}, 12},
      {ShapeKind::Circle, {0, 0, 4, 4}, 21}, {ShapeKind::Sphere, {0, 0, 0, 0}, 1},
      {ShapeKind::Sphere, {0, 0, 1, 1}, 4},  {ShapeKind::Sphere, {0, 0, 2, 2}, 19},
      {ShapeKind::Sphere, {0, 0, 3, 9}, 36}, {ShapeKind::Cube, {0, 0, 2, 5}, 3 * 6 * 3},
      {ShapeKind::Square, {2, 3, 5, 3}, 4},
  };
  for (const Count& c : counts) {
    SCOPED_TRACE(testing::Message() << ShapeLabel(c.kind) << " " << c.rect.U1 << "x" << c.rect.V1);
    TVoxelModel& m = RandomModel(0, 12, 12, 12, 0, 1, 1);  // empty inside
    auto step = DrawShape(m, c.kind, {SliceOrientation::Top, 6, GridKind::Colours, 9}, c.rect);
    ASSERT_NE(step, nullptr);
    int n = 0;
    ForExtentAndBorder(m, [&](int x, int y, int z, bool) { n += m.Colours.at(x, y, z) == 9; });
    EXPECT_EQ(n, c.cells);
  }
}

TEST(ToolCells, FillOnEveryPlaneMatchesTheTopFill) {
  FloodFillWork work, turnedWork;
  for (SliceOrientation o : AllOrientations)
    for (unsigned seed = 0; seed < 12; ++seed) {
      SCOPED_TRACE(testing::Message() << OrientationText(o) << " seed " << seed);
      TVoxelModel& m = RandomModel(0, 9 + int(seed), 14, 11, seed, 2, 3);
      const PlaneMap map(m, o);
      TVoxelModel& turned = TurnedToTop(1, m, o);
      const int layer = int(seed) % map.Layers();
      const int u = int(seed * 7) % map.Width(), v = int(seed * 5) % map.Height();
      const std::uint8_t value = std::uint8_t(seed % 3);
      const GridKind grid = seed % 2 ? GridKind::Normals : GridKind::Colours;

      auto step = PaintFill(m, {o, layer, grid, value}, u, v, work);
      FloodFillLayer(GridOf(turned, grid), turned.SizeX, turned.SizeY, layer, u, v, value,
                     turnedWork);
      ASSERT_TRUE(SameCells(TurnedToTop(2, m, o), turned));
      if (step) {
        EXPECT_EQ(step->Label(), "Flood fill");
      }
    }
  // A fill that changes nothing makes no step; nor does a press beyond the plane.
  TVoxelModel& m = RandomModel(0, 4, 4, 4, 9);
  const std::uint8_t v = m.Colours.at(1, 1, 1);
  EXPECT_EQ(PaintFill(m, {SliceOrientation::Top, 1, GridKind::Colours, v}, 1, 1, work), nullptr);
  EXPECT_EQ(PaintFill(m, {SliceOrientation::Side, 1, GridKind::Colours, 3}, 4, 0, work), nullptr);
}
