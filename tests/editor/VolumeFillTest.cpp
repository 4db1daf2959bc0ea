// The volume fill against a plain breadth-first search, with stacks small enough that
// the flagged rows take over.

#include <gtest/gtest.h>

#include <cstring>
#include <queue>

#include "editor/VolumeFill.h"
#include "tests/editor/PlaneModels.h"

namespace {

// The region as first described: every cell 6-connected to the start inside the extent
// holding its value; returns its bounding box.
CellBox PlainFill(TVoxelModel& m, GridKind kind, int x, int y, int z, std::uint8_t value) {
  VoxelGrid& g = GridOf(m, kind);
  const std::uint8_t old = g.at(x, y, z);
  CellBox box;
  if (old == value) return box;
  std::queue<ModelCell> queue;
  g.at(x, y, z) = value;
  queue.push({x, y, z});
  while (!queue.empty()) {
    const ModelCell c = queue.front();
    queue.pop();
    box |= CellBox{c.X, c.Y, c.Z, c.X, c.Y, c.Z};
    const ModelCell next[6] = {{c.X - 1, c.Y, c.Z}, {c.X + 1, c.Y, c.Z}, {c.X, c.Y - 1, c.Z},
                               {c.X, c.Y + 1, c.Z}, {c.X, c.Y, c.Z - 1}, {c.X, c.Y, c.Z + 1}};
    for (const ModelCell& n : next) {
      if (n.X < 0 || n.Y < 0 || n.Z < 0 || n.X >= m.SizeX || n.Y >= m.SizeY || n.Z >= m.SizeZ)
        continue;
      if (g.at(n.X, n.Y, n.Z) != old) continue;
      g.at(n.X, n.Y, n.Z) = value;
      queue.push(n);
    }
  }
  return box;
}

}  // namespace

TEST(VolumeFill, MatchesAPlainSearchOnRandomModels) {
  std::mt19937 rng(77);
  // Stacks of one and a few spans overflow all the time; the default one rarely.
  for (std::size_t spans :
       {std::size_t(1), std::size_t(3), std::size_t(40), VolumeFillWork::DefaultStackSpans}) {
    VolumeFillWork work(spans);
    for (int round = 0; round < 30; ++round) {
      int sx = 1 + int(rng() % 24), sy = 1 + int(rng() % 24), sz = 1 + int(rng() % 24);
      if (round == 0) sx = 255, sy = 3, sz = 2;  // rows as long as they come
      // Mostly one value, so its regions wind through the model; cells beyond the extent
      // hold that value too and must stay.
      TVoxelModel& fast = RandomModel(0, sx, sy, sz, rng(), 1 + rng() % 2, 2 + rng() % 5);
      TVoxelModel& slow = CopyOf(1, fast);
      const TVoxelModel& before = CopyOf(2, fast);
      const GridKind kind = round % 2 ? GridKind::Normals : GridKind::Colours;
      const int x = int(rng() % sx), y = int(rng() % sy), z = int(rng() % sz);
      const std::uint8_t value = std::uint8_t(3 + rng() % 2);
      SCOPED_TRACE(testing::Message() << "stack " << spans << " round " << round << " " << sx << "x"
                                      << sy << "x" << sz);

      const CellBox box = PlainFill(slow, kind, x, y, z, value);
      auto step = VolumeFill(fast, kind, x, y, z, value, work);
      ASSERT_NE(step, nullptr);
      ASSERT_TRUE(SameCells(fast, slow));
      EXPECT_EQ(step->Box(), box);
      EXPECT_EQ(step->Label(), "Volume fill");
      step->Revert(fast);
      ASSERT_TRUE(SameCells(fast, before));
    }
  }
}

TEST(VolumeFill, FillsThroughEveryLayerAndStopsAtTheExtent) {
  VolumeFillWork work;
  TVoxelModel& m = RandomModel(0, 255, 255, 255, 0, 1, 1);  // all empty inside, 1 beyond
  auto step = VolumeFill(m, GridKind::Colours, 254, 0, 127, 6, work);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->Box(), ModelBox(m));
  EXPECT_EQ(m.Colours.at(0, 254, 254), 6);
  EXPECT_EQ(m.Colours.at(255, 0, 0), 1);
  EXPECT_EQ(m.Colours.at(0, 0, 255), 1);
  EXPECT_EQ(m.Normals.at(3, 3, 3), 0);  // the other grid stays

  // Nothing to do: the value is there already, or the press lies beyond the model.
  EXPECT_EQ(VolumeFill(m, GridKind::Colours, 4, 4, 4, 6, work), nullptr);
  EXPECT_EQ(VolumeFill(m, GridKind::Colours, 255, 4, 4, 2, work), nullptr);
  EXPECT_EQ(VolumeFill(m, GridKind::Colours, 4, -1, 4, 2, work), nullptr);
  EXPECT_TRUE(FindVolumeRegion(m, GridKind::Colours, 4, 4, 255, work).Empty());
}
