#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>

#include "view3d/ReferenceRender.h"
#include "view3d/RenderPaths.h"
#include "view3d/Renderer3D.h"

namespace {

constexpr Pixel Background = 0xFFD4D0C8u;
constexpr Pixel Sentinel = 0xFF123456u;

// Buffers as a window would find them before a render: stale values everywhere, the
// depth low enough that any stray write outside the working square would land.
void MakeStale(View3DBuffers& b) {
  b.ViewBitmap.Fill(Sentinel);
  std::fill_n(b.DepthBuffer.get(), ViewCells, -5.0f);
  std::fill_n(b.ViewIndexBuffer.get(), ViewCells, std::uint8_t(77));
  std::fill_n(b.ViewNormalBuffer.get(), ViewCells, std::uint8_t(33));
}

std::unique_ptr<View3DBuffers> DirtyBuffers() {
  auto b = std::make_unique<View3DBuffers>();
  MakeStale(*b);
  return b;
}

std::unique_ptr<TVoxelModel> EmptyModel(int sx, int sy, int sz) {
  auto m = std::make_unique<TVoxelModel>();
  std::memset(m->Colours.data(), 0, GridCells);
  m->SizeX = std::uint8_t(sx);
  m->SizeY = std::uint8_t(sy);
  m->SizeZ = std::uint8_t(sz);
  for (int n = 0; n < 256; ++n) m->Palette[n] = PackRGB(n, 255 - n, n / 2);
  return m;
}

int IndexAt(const View3DBuffers& b, int c, int r) {
  return b.ViewIndexBuffer[c + ViewSide * r];
}

}  // namespace

TEST(Renderer3D, SineAndCosineSteps) {
  const SineTableType t = MakeSineTable();
  EXPECT_EQ(t[0], 0.0f);
  EXPECT_EQ(t[32], float(std::sqrt(0.5)));
  for (int k = 0; k < 64; ++k) EXPECT_EQ(t[k], float(std::sin(k * std::numbers::pi / 128))) << k;

  EXPECT_EQ(SinStep(t, 0), 0.0f);
  EXPECT_EQ(CosStep(t, 0), 1.0f);
  EXPECT_EQ(SinStep(t, 64), 1.0f);
  EXPECT_EQ(CosStep(t, 64), 0.0f);
  EXPECT_EQ(SinStep(t, 128), 0.0f);
  EXPECT_EQ(CosStep(t, 128), -1.0f);
  EXPECT_EQ(SinStep(t, 192), -1.0f);
  EXPECT_EQ(CosStep(t, 192), 0.0f);
  for (int n : {-1, -200, 256, 1000}) {
    EXPECT_EQ(SinStep(t, n), 0.0f) << n;
    EXPECT_EQ(CosStep(t, n), 0.0f) << n;
  }
  for (int n = 0; n < 256; ++n) {
    const double a = 2 * std::numbers::pi * n / 256;
    EXPECT_NEAR(SinStep(t, n), std::sin(a), 1e-7) << n;
    EXPECT_NEAR(CosStep(t, n), std::cos(a), 1e-7) << n;
    EXPECT_EQ(double(SinStep(t, n)), reference::S(t, n)) << n;
    EXPECT_EQ(double(CosStep(t, n)), reference::C(t, n)) << n;
  }
}

namespace {

// Renders with every vector path the processor runs and with the plain formulas, and
// compares the whole index and depth buffers bit for bit, and the whole bitmap (all
// start from the same stale contents, so a stray write anywhere shows); lit, the normal
// buffer too.
testing::AssertionResult SameAsPlainFormulas(const TVoxelModel& model, int ax, int ay, int az,
                                             std::int16_t span, bool lit = false) {
  static const auto plain = std::make_unique<View3DBuffers>();
  static const auto fast = std::make_unique<View3DBuffers>();
  MakeStale(*plain);
  reference::Render(model, ax, ay, az, span, Background, *plain, lit);
  for (RenderPath path : {RenderPath::Portable, RenderPath::Wide4, RenderPath::Wide8}) {
    if (!CanRunPath(path)) continue;
    MakeStale(*fast);
    RenderViewWith(path, model, ax, ay, az, span, Background, *fast, lit);
    for (int p = 0; p < ViewCells; ++p)
      if (fast->ViewIndexBuffer[p] != plain->ViewIndexBuffer[p] ||
          (lit && fast->ViewNormalBuffer[p] != plain->ViewNormalBuffer[p]) ||
          std::bit_cast<std::uint32_t>(fast->DepthBuffer[p]) !=
              std::bit_cast<std::uint32_t>(plain->DepthBuffer[p]))
        return testing::AssertionFailure()
               << "path " << int(path) << " differs at " << p % ViewSide << "," << p / ViewSide
               << ": index " << int(fast->ViewIndexBuffer[p]) << " depth " << fast->DepthBuffer[p]
               << ", plain " << int(plain->ViewIndexBuffer[p]) << " " << plain->DepthBuffer[p];
    if (std::memcmp(fast->ViewBitmap.Data(), plain->ViewBitmap.Data(), sizeof(Pixel) * ViewCells) !=
        0)
      return testing::AssertionFailure() << "path " << int(path) << ": bitmaps differ";
  }
  return testing::AssertionSuccess();
}

}  // namespace

// Random models, angles and contents, including stale colours beyond the extent that
// must never show, and spans too small for the model; lit too, with normals beyond the
// set and versions without one.
TEST(Renderer3D, MatchesThePlainFormulasBitForBit) {
  std::mt19937 rng(20240605);
  auto model = std::make_unique<TVoxelModel>();
  const int specialAngles[] = {0, 64, 128, 192, 255, -3, 256};
  auto angle = [&] {
    const int pick = int(rng() % 10);
    return pick < 7 ? specialAngles[pick] : int(rng() % 256);
  };
  auto size = [&](int axis, int round) {
    if (round % 6 == axis) return 255;
    if (round % 6 == axis + 3) return 1;
    return 1 + int(rng() % 60);
  };
  for (int round = 0; round < 60; ++round) {
    for (std::size_t n = 0; n < GridCells; n += 4096) model->Colours[n + rng() % 4096] = 9;
    const int sx = size(0, round), sy = size(1, round), sz = size(2, round);
    model->SizeX = std::uint8_t(sx);
    model->SizeY = std::uint8_t(sy);
    model->SizeZ = std::uint8_t(sz);
    const unsigned density = round % 3 == 0 ? 100 : round % 3 == 1 ? 50 : 3;
    for (int k = 0; k < sz; ++k)
      for (int j = 0; j < sy; ++j)
        for (int i = 0; i < sx; ++i) {
          model->Colours.at(i, j, k) = rng() % 100 < density ? std::uint8_t(rng() % 256) : 0;
          model->Normals.at(i, j, k) = std::uint8_t(rng() % 256);
        }
    const int types[] = {2, 4, 3, 0};
    model->NormalType = std::uint8_t(types[round % 4]);
    for (int n = 0; n < 256; ++n) model->Palette[n] = std::int32_t(rng() & 0xFFFFFF);
    const int m = std::max({sx, sy, sz});
    auto span = std::int16_t(std::ceil(m * 1.7320508076));
    if (round % 4 == 3) span = std::int16_t(rng() % (span + 1));
    const int ax = angle(), ay = angle(), az = angle();
    for (bool lit : {false, true})
      EXPECT_TRUE(SameAsPlainFormulas(*model, ax, ay, az, span, lit))
          << sx << "x" << sy << "x" << sz << " at " << ax << "," << ay << "," << az << " density "
          << density << " span " << span << " lit " << lit;
  }
}

// The largest models, where the render skips the cells it proves hidden: a solid (with
// a few cells of colour 0 but a normal inside it, which hide nothing), and a hollow
// shell, whose inner faces show through nothing.
TEST(Renderer3D, MatchesThePlainFormulasOnTheLargestModels) {
  std::mt19937 rng(7);
  auto model = EmptyModel(255, 255, 255);
  model->NormalType = 4;
  for (bool shell : {false, true}) {
    for (int k = 0; k < 255; ++k)
      for (int j = 0; j < 255; ++j)
        for (int i = 0; i < 255; ++i) {
          const bool face = i == 0 || j == 0 || k == 0 || i == 254 || j == 254 || k == 254;
          const bool hole = shell ? !face : rng() % 50 == 0;
          model->Colours.at(i, j, k) = hole ? 0 : std::uint8_t(1 + rng() % 255);
          model->Normals.at(i, j, k) = std::uint8_t(1 + rng() % 250);
        }
    const int angles[][3] = {{219, 228, 109}, {0, 0, 0}, {37, 91, 150}};
    for (const auto& a : angles)
      for (bool lit : {false, true})
        EXPECT_TRUE(SameAsPlainFormulas(*model, a[0], a[1], a[2], 442, lit))
            << (shell ? "shell" : "solid") << " at " << a[0] << "," << a[1] << "," << a[2]
            << " lit " << lit;
  }
}

TEST(Renderer3D, PlacesVoxelsWhereTheViewExpects) {
  // One voxel stays at the centre whatever the turn.
  auto one = EmptyModel(1, 1, 1);
  one->Colours.at(0, 0, 0) = 5;
  auto b = DirtyBuffers();
  for (int ax = 0; ax < 256; ax += 19)
    for (int ay = 0; ay < 256; ay += 19)
      for (int az = 0; az < 256; az += 19) {
        RenderView(*one, ax, ay, az, 2, Background, *b);
        for (int r = 222; r <= 224; ++r)
          for (int c = 222; c <= 224; ++c)
            ASSERT_EQ(IndexAt(*b, c, r), c == 224 && r == 224 ? 5 : 0)
                << ax << "," << ay << "," << az;
        ASSERT_EQ(b->ViewBitmap.At(224, 224), ToPixel(one->Palette[5]));
        ASSERT_EQ(b->ViewBitmap.At(223, 224), Background);
      }

  // Seen from above, the higher layer hides the lower, whichever is visited first.
  auto stack = EmptyModel(10, 3, 4);
  stack->Colours.at(0, 1, 1) = 7;
  stack->Colours.at(0, 1, 3) = 8;
  stack->Colours.at(9, 1, 1) = 6;
  stack->Normals.at(9, 1, 2) = 5;  // a voxel of colour 0 in front of colour 6: never drawn
  stack->Normals.at(4, 0, 3) = 5;  // and never drawn alone either
  RenderView(*stack, 0, 0, 0, 18, Background, *b);
  EXPECT_EQ(IndexAt(*b, 219, 224), 8);  // i = 0 of ten columns
  EXPECT_EQ(IndexAt(*b, 228, 224), 6);  // i = 9
  EXPECT_EQ(b->ViewBitmap.At(219, 224), ToPixel(stack->Palette[8]));
  EXPECT_EQ(b->ViewBitmap.At(228, 224), ToPixel(stack->Palette[6]));
  EXPECT_EQ(b->DepthBuffer[228 + ViewSide * 224], 223.0f);  // z = 1 - 4/2
  EXPECT_EQ(IndexAt(*b, 223, 223), 0);
  EXPECT_EQ(b->ViewBitmap.At(223, 223), Background);
}

TEST(Renderer3D, ClearsOnlyTheWorkingSquareAndTheFillSquare) {
  auto empty = EmptyModel(5, 5, 5);
  struct Case {
    std::int16_t span;
    int lo, hi;  // working square; lo > hi: none
  };
  for (const Case& k : {Case{442, 2, 444}, Case{2, 222, 224}, Case{3, 222, 224}, Case{0, 223, 223},
                        Case{-3, 224, 222}, Case{-900, 1, 0}, Case{32767, 0, 447}}) {
    SCOPED_TRACE(k.span);
    auto b = DirtyBuffers();
    RenderView(*empty, 0, 0, 0, k.span, Background, *b);
    for (int r = 0; r < ViewSide; ++r)
      for (int c = 0; c < ViewSide; ++c) {
        const bool inside = r >= k.lo && r <= k.hi && c >= k.lo && c <= k.hi;
        ASSERT_EQ(IndexAt(*b, c, r), inside ? 0 : 77) << c << "," << r;
        ASSERT_EQ(b->DepthBuffer[c + ViewSide * r], inside ? 0.0f : -5.0f) << c << "," << r;
        ASSERT_EQ(b->ViewBitmap.At(c, r), c < 384 && r < 384 ? Background : Sentinel);
      }
  }

  // A span too small for the model draws only what falls inside it.
  auto line = EmptyModel(10, 1, 1);
  for (int i = 0; i < 10; ++i) line->Colours.at(i, 0, 0) = std::uint8_t(i + 1);
  auto b = DirtyBuffers();
  RenderView(*line, 0, 0, 0, 2, Background, *b);
  EXPECT_EQ(IndexAt(*b, 222, 224), 4);
  EXPECT_EQ(IndexAt(*b, 224, 224), 6);
  EXPECT_EQ(IndexAt(*b, 221, 224), 77);  // outside: untouched
  EXPECT_EQ(IndexAt(*b, 225, 224), 77);
}

// The renderer skips the per-cell bounds test when the model provably projects inside
// the working square. Turn a model's corners as far out as the angle steps allow and
// make the square exactly big enough, then one pixel short: the cut must match.
TEST(Renderer3D, CornersAtTheEdgeOfTheWorkingSquare) {
  auto model = EmptyModel(101, 101, 101);
  for (int corner = 0; corner < 8; ++corner)
    model->Colours.at(corner & 1 ? 100 : 0, corner & 2 ? 100 : 0, corner & 4 ? 100 : 0) = 3;
  const SineTableType t = MakeSineTable();
  // The least h (half the span) whose square 223 - h .. 223 + h holds every corner's
  // column and row, by the plain formulas.
  auto reach = [&](int ax, int ay, int az) {
    int far = 0;
    for (int corner = 0; corner < 8; ++corner) {
      const double x = corner & 1 ? 50 : -50, y = corner & 2 ? 50 : -50, z = corner & 4 ? 50 : -50;
      const double y1 = y * reference::C(t, ax) - z * reference::S(t, ax);
      const double z1 = z * reference::C(t, ax) + y * reference::S(t, ax);
      const double x2 = x * reference::C(t, ay) + z1 * reference::S(t, ay);
      const double x3 = x2 * reference::C(t, az) - y1 * reference::S(t, az);
      const double y3 = y1 * reference::C(t, az) + x2 * reference::S(t, az);
      for (double v : {x3, y3}) {
        const int offset = int(std::floor(v + 0.5));
        far = std::max({far, offset + 1, -offset - 1});
      }
    }
    return far;
  };
  int best[3] = {0, 0, 0}, bestReach = 0;  // h = bestReach is just enough
  for (int ax = 0; ax < 256; ax += 3)
    for (int ay = 0; ay < 256; ay += 3)
      for (int az = 0; az < 256; az += 4)
        if (const int r = reach(ax, ay, az); r > bestReach) {
          bestReach = r;
          best[0] = ax, best[1] = ay, best[2] = az;
        }
  ASSERT_GE(bestReach, 87) << best[0] << "," << best[1] << "," << best[2];  // 50 * sqrt(3) = 86.6
  for (int span : {2 * bestReach + 1, 2 * bestReach, 2 * bestReach - 1})
    EXPECT_TRUE(SameAsPlainFormulas(*model, best[0], best[1], best[2], std::int16_t(span))) << span;
}

// A face turned away from the light keeps 0.35 of its colour; one facing it almost all.
TEST(Renderer3D, LitPixelsAreShadedByTheirNormal) {
  auto one = EmptyModel(2, 1, 1);
  one->NormalType = 2;
  one->Palette[5] = PackRGB(200, 100, 50);
  one->Colours.at(0, 0, 0) = 5;
  one->Normals.at(0, 0, 0) = 2;  // (-0.04, 0.10, -0.99): downward
  one->Colours.at(1, 0, 0) = 5;
  one->Normals.at(1, 0, 0) = 36;  // beyond the set: plain
  auto b = DirtyBuffers();
  RenderView(*one, 0, 0, 0, 4, Background, *b, true);
  EXPECT_EQ(b->ViewBitmap.At(223, 224), ToPixel(PackRGB(70, 35, 18)));  // 17.5 rounds up
  EXPECT_EQ(b->ViewBitmap.At(224, 224), ToPixel(PackRGB(200, 100, 50)));
  EXPECT_EQ(b->ViewNormalBuffer[223 + ViewSide * 224], 2);
  RenderView(*one, 0, 0, 0, 4, Background, *b);
  EXPECT_EQ(b->ViewBitmap.At(223, 224), ToPixel(PackRGB(200, 100, 50)));
}
