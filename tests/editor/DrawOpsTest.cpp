#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "editor/DrawOps.h"
#include "tests/editor/PassFill.h"

namespace {

void PassFill(VoxelGrid& g, int sx, int sy, int z, int px, int py, std::uint8_t value) {
  std::vector<std::uint8_t> mark;
  PassFill(g, sx, sy, z, px, py, value, mark);
}

bool SameGrid(const VoxelGrid& a, const VoxelGrid& b) {
  return std::memcmp(a.data(), b.data(), GridCells) == 0;
}

}  // namespace

TEST(DrawOps, FillRectIsInclusiveAndStaysOnItsLayer) {
  auto g = std::make_unique<VoxelGrid>();
  FillRectOnLayer(*g, 10, 10, 3, 7, 4, 9);  // corners in any order
  int filled = 0;
  for (std::size_t i = 0; i < GridCells; ++i) filled += (*g)[i] == 9;
  EXPECT_EQ(filled, 8 * 4);
  EXPECT_EQ(g->at(3, 7, 4), 9);
  EXPECT_EQ(g->at(10, 10, 4), 9);
  EXPECT_EQ(g->at(2, 7, 4), 0);
  EXPECT_EQ(g->at(3, 11, 4), 0);

  FillRectOnLayer(*g, 5, 5, 5, 5, 0, 7);
  EXPECT_EQ(g->at(5, 5, 0), 7);
  // Out-of-grid corners are cut off rather than spilling into the next row or layer.
  FillRectOnLayer(*g, 250, 255, 400, 300, 254, 3);
  EXPECT_EQ(g->at(255, 255, 254), 3);
  EXPECT_EQ(g->at(0, 0, 255), 0);
  FillRectOnLayer(*g, 0, 0, 5, 5, 256, 3);
  FillRectOnLayer(*g, -5, -5, -1, -1, 1, 3);
  filled = 0;
  for (std::size_t i = 0; i < GridCells; ++i) filled += (*g)[i] != 0;
  EXPECT_EQ(filled, 32 + 1 + 6);
}

TEST(DrawOps, FloodFillMatchesThePassAlgorithm) {
  auto fast = std::make_unique<VoxelGrid>();
  auto slow = std::make_unique<VoxelGrid>();
  FloodFillWork work;
  std::mt19937 rng(1234);
  const int sizes[][2] = {{1, 1}, {1, 200}, {255, 1}, {255, 255}, {2, 255}};
  for (int round = 0; round < 150; ++round) {
    int sx = 1 + int(rng() % 255), sy = 1 + int(rng() % 255);
    if (round < 5 * 3) sx = sizes[round % 5][0], sy = sizes[round % 5][1];
    const int z = round % 3 == 0 ? 0 : round % 3 == 1 ? 255 : 1 + int(rng() % 254);
    // Mostly one value, so that its regions wind across the layer; the other layers and
    // the cells outside the extent hold the same values and must survive.
    const unsigned common = 45 + rng() % 25;
    for (int lz = std::max(z - 1, 0); lz <= std::min(z + 1, 255); ++lz)
      for (std::size_t i = 0; i < LayerCells; ++i) {
        const unsigned r = rng() % 100;
        const std::uint8_t v = r < common ? 1 : r < common + (100 - common) / 2 ? 0 : 2;
        (*fast)[(std::size_t(lz) << 16) + i] = v;
        (*slow)[(std::size_t(lz) << 16) + i] = v;
      }
    const int px = int(rng() % sx), py = int(rng() % sy);
    const std::uint8_t value = std::uint8_t(rng() % 4);
    const bool changes = fast->at(px, py, z) != value;
    SCOPED_TRACE(testing::Message() << "round " << round << " " << sx << "x" << sy);
    EXPECT_EQ(FloodFillLayer(*fast, sx, sy, z, px, py, value, work), changes);
    PassFill(*slow, sx, sy, z, px, py, value);
    ASSERT_TRUE(SameGrid(*fast, *slow));
  }
}

TEST(DrawOps, FloodFillStopsAtDiagonalsAndAtTheExtent) {
  auto g = std::make_unique<VoxelGrid>();
  FloodFillWork work;
  // A diagonal wall of 5s from (0,3) to (3,0) on a 6x6 layer; cells beyond x=5 are outside.
  for (int i = 0; i < 4; ++i) g->at(i, 3 - i, 2) = 5;
  g->at(6, 0, 2) = 0;
  EXPECT_TRUE(FloodFillLayer(*g, 6, 6, 2, 0, 0, 8, work));
  int filled = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) filled += g->at(x, y, 2) == 8;
  EXPECT_EQ(filled, 6);  // the triangle above the wall
  EXPECT_EQ(g->at(4, 0, 2), 0);
  EXPECT_EQ(g->at(6, 0, 2), 0);
  EXPECT_EQ(g->at(0, 0, 1), 0);
  EXPECT_EQ(g->at(0, 0, 3), 0);

  EXPECT_FALSE(FloodFillLayer(*g, 6, 6, 2, 0, 0, 8, work));  // already that value
  EXPECT_FALSE(FloodFillLayer(*g, 6, 6, 2, 6, 0, 1, work));  // start outside the extent
  EXPECT_FALSE(FloodFillLayer(*g, 6, 6, 256, 0, 0, 1, work));
  EXPECT_EQ(g->at(6, 0, 2), 0);
  EXPECT_TRUE(FloodFillLayer(*g, 6, 6, 2, 5, 5, 1, work));  // the empty part fills like any
  EXPECT_EQ(g->at(4, 0, 2), 1);
  EXPECT_EQ(g->at(6, 0, 2), 0);
}
