#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "model/NormalTables.h"

namespace {

// The largest dot product, lowest index among equals, by looking at every vector.
int NearestByHand(int type, double x, double y, double z) {
  int best = -1;
  double bestDot = 0;
  const auto table = NormalTable(type);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const double d = table[i].X * x + table[i].Y * y + table[i].Z * z;
    if (best < 0 || d > bestDot) best = int(i), bestDot = d;
  }
  return best;
}

}  // namespace

TEST(NormalTables, SetsAreTheGamesOwnUnitVectors) {
  EXPECT_EQ(NormalTable(2).size(), 36u);
  EXPECT_EQ(NormalTable(4).size(), 244u);
  for (int other : {0, 1, 3, 5, 255}) EXPECT_TRUE(NormalTable(other).empty()) << other;
  for (int type : {2, 4})
    for (const NormalVector& n : NormalTable(type))
      EXPECT_NEAR(std::sqrt(n.X * n.X + n.Y * n.Y + n.Z * n.Z), 1.0, 1e-6);

  const struct {
    int type;
    const char* file;
  } sets[] = {{2, "ts.csv"}, {4, "ra2.csv"}};
  for (const auto& set : sets) {
    const std::string path = std::string(KOBALTINE_NORMALS) + "/" + set.file;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no normal sets at " << KOBALTINE_NORMALS;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // the heading
    std::size_t rows = 0;
    while (std::getline(in, line)) {
      std::istringstream row(line);
      std::string cell[4];
      for (std::string& c : cell) std::getline(row, c, ',');
      const std::size_t index = std::stoul(cell[0]);
      ASSERT_LT(index, NormalTable(set.type).size()) << set.file;
      const NormalVector& n = NormalTable(set.type)[index];
      // The same decimal text gives the same double.
      EXPECT_EQ(n.X, std::stod(cell[1])) << set.file << " " << index;
      EXPECT_EQ(n.Y, std::stod(cell[2])) << set.file << " " << index;
      EXPECT_EQ(n.Z, std::stod(cell[3])) << set.file << " " << index;
      ++rows;
    }
    EXPECT_EQ(rows, NormalTable(set.type).size()) << set.file;
  }
}

// The cube-map search against the plain one: random directions, the axes and the
// diagonals (which sit on the map's cell borders), the table vectors themselves and
// directions halfway between two of them.
TEST(NormalTables, NearestNormalIsTheLargestDotProduct) {
  std::mt19937 rng(17);
  std::normal_distribution<double> gauss;
  for (int type : {2, 4}) {
    const auto table = NormalTable(type);
    for (int n = 0; n < 200000; ++n) {
      const double x = gauss(rng), y = gauss(rng), z = gauss(rng);
      ASSERT_EQ(NearestNormal(type, x, y, z), NearestByHand(type, x, y, z))
          << x << "," << y << "," << z;
    }
    for (int a = -1; a <= 1; ++a)
      for (int b = -1; b <= 1; ++b)
        for (int c = -1; c <= 1; ++c) {
          if (!a && !b && !c) continue;
          EXPECT_EQ(NearestNormal(type, a, b, c), NearestByHand(type, a, b, c));
        }
    for (std::size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(NearestNormal(type, table[i].X, table[i].Y, table[i].Z),
                NearestByHand(type, table[i].X, table[i].Y, table[i].Z));
      const NormalVector& o = table[(i * 7 + 3) % table.size()];
      const double x = table[i].X + o.X, y = table[i].Y + o.Y, z = table[i].Z + o.Z;
      EXPECT_EQ(NearestNormal(type, x, y, z), NearestByHand(type, x, y, z)) << i;
    }
  }
  // The four copies of one vector in the second set: the first is chosen.
  const NormalVector& copy = NormalTable(4)[243];
  EXPECT_EQ(NearestNormal(4, copy.X, copy.Y, copy.Z), 240);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(NearestNormal(2, 0, 0, 0), -1);
  EXPECT_EQ(NearestNormal(4, nan, 0, 1), -1);
  EXPECT_EQ(NearestNormal(4, std::numeric_limits<double>::infinity(), 0, 0), -1);
  EXPECT_EQ(NearestNormal(3, 0, 0, 1), -1);
}

TEST(NormalTables, DirectionColours) {
  // (0.671214, 0.198492, -0.714194): 255 * (v + 1) / 2 = 213.08, 152.81, 36.44.
  EXPECT_EQ(DirectionColour(2, 0), 213 | 153 << 8 | 36 << 16);
  for (int type : {2, 4})
    for (int i = 0; i < int(NormalTable(type).size()); ++i) EXPECT_TRUE(DirectionColour(type, i));
  EXPECT_FALSE(DirectionColour(2, 36));
  EXPECT_FALSE(DirectionColour(4, 244));
  EXPECT_FALSE(DirectionColour(4, -1));
  EXPECT_FALSE(DirectionColour(3, 0));
}
