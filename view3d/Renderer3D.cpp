#include "view3d/Renderer3D.h"

#include "view3d/RenderPaths.h"

#include <algorithm>
#include <bitset>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <span>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "view3d/Lighting.h"
#include "model/NormalTables.h"

// Every coordinate below must come out bit for bit as the plain formulas give it, so
// the work hoisted out of the inner loop is the very same IEEE products and sums, only
// computed fewer times. This file is built with -ffp-contract=off: a fused multiply-add
// would round differently.

SineTableType MakeSineTable() {
  SineTableType table{};
  for (int k = 0; k < 64; ++k)
    table[k] = float(std::sin(2.0 * std::numbers::pi * double(k) / 256.0));
  return table;
}

float SinStep(const SineTableType& table, int n) {
  if (n < 0 || n >= 256) return 0.0f;
  if (n == 0) return 0.0f;
  if (n < 64) return table[n];
  if (n == 64) return 1.0f;
  if (n < 128) return table[128 - n];
  if (n == 128) return 0.0f;
  if (n < 192) return -table[n - 128];
  if (n == 192) return -1.0f;
  return -table[256 - n];
}

float CosStep(const SineTableType& table, int n) {
  if (n < 0 || n >= 256) return 0.0f;
  if (n == 0) return 1.0f;
  if (n < 64) return table[64 - n];
  if (n == 64) return 0.0f;
  if (n < 128) return -table[n - 64];
  if (n == 128) return -1.0f;
  if (n < 192) return -table[192 - n];
  if (n == 192) return 0.0f;
  return table[n - 192];
}

View3DBuffers::View3DBuffers()
    : SineTable(MakeSineTable()),
      ViewIndexBuffer(std::make_unique<std::uint8_t[]>(ViewCells)),
      DepthBuffer(std::make_unique<float[]>(ViewCells)),
      ViewNormalBuffer(std::make_unique<std::uint8_t[]>(ViewCells)) {
  ViewBitmap.Resize(ViewSide, ViewSide);
}

namespace {

constexpr int ViewCentre = 224;
constexpr int SquareCentre = 223;

static_assert(std::endian::native == std::endian::little, "colour words are read low byte first");

// Eight cells' bytes in one word: bit n set where byte n is not 0. (The top bit of each
// such byte, then the eight top bits gathered by one product.)
inline unsigned NonZeroBits(std::uint64_t w) {
  constexpr std::uint64_t low = 0x7F7F7F7F7F7F7F7Full, top = 0x8080808080808080ull;
  const std::uint64_t tops = (((w & low) + low) | w) & top;
  return unsigned((tops * 0x0002040810204081ull) >> 56);
}

struct Turn {
  double sx, cx, sy, cy, sz, cz;
};

// Skipping hidden cells. A pixel ends up with the last cell written to it (its
// winner), and skipping cells that are not winners leaves every pixel as it was: the
// stored depth never falls, so a run without them writes the same winner last. A cell
// is not a winner when another cell that is drawn lands on the same pixel and lies
// nearer by more than the stored depths' single-precision rounding: whichever of the
// two comes first, the cell is then either refused or overwritten. In a solid, nearly
// every cell has such a cell a few steps in front of it; which steps, depends on the
// angles. Up to eight steps of at most three cells along each axis are chosen per
// render, those whose turned offset is under a pixel and nearer, greedily by how much
// of a pixel they cover. A cell at (fx, fy) within its pixel (0 to 1 from the corner)
// is hidden by the cell one step away when that cell is drawn and fx + dx, fy + dy stay
// inside the pixel; the margins are far wider than the rounding of the coordinates
// (below 1e-12 for cells within 255 of the centre).
constexpr int MaxCoverSteps = 8;
constexpr int CoverReach = 3;
constexpr double CoverDepth = 2e-3;  // single-precision rounding of a depth: below 3e-5
constexpr double CoverEdge = 1e-7;
constexpr int CoverFrom = 4;  // cells of a chunk worth the test
constexpr int CoverMisses = 2;

struct CoverStep {
  int a, b, c;                // cells along x, y, z
  std::ptrdiff_t offset;      // the same in the grid
  double xlo, xhi, ylo, yhi;  // where fx and fy must lie
};

struct Cover {
  int count = 0;
  CoverStep steps[MaxCoverSteps];
  // The steps' windows together hold every place within a pixel: a cell all of whose
  // steps lead to drawn cells is hidden wherever it lands, which needs no coordinates.
  bool whole = false;
};

// Whether the open windows (xlo, xhi) x (ylo, yhi) of the steps cover all of [0, 1)^2.
// Exact: the windows' edges cut the square into pieces (edges and the open strips
// between them), and every piece must lie inside one window.
bool CoversWholePixel(const Cover& cover) {
  double xs[2 * MaxCoverSteps + 2], ys[2 * MaxCoverSteps + 2];
  int nx = 0, ny = 0;
  xs[nx++] = 0, ys[ny++] = 0;
  for (int s = 0; s < cover.count; ++s) {
    const CoverStep& k = cover.steps[s];
    for (double v : {k.xlo, k.xhi})
      if (v > 0 && v < 1) xs[nx++] = v;
    for (double v : {k.ylo, k.yhi})
      if (v > 0 && v < 1) ys[ny++] = v;
  }
  std::sort(xs, xs + nx);
  std::sort(ys, ys + ny);
  xs[nx] = 1, ys[ny] = 1;
  // Piece 2i is the edge at xs[i], piece 2i + 1 the strip from xs[i] to xs[i + 1].
  auto inside = [](double lo, double hi, const double* cuts, int piece) {
    const int i = piece / 2;
    return piece % 2 == 0 ? lo < cuts[i] && cuts[i] < hi : lo <= cuts[i] && cuts[i + 1] <= hi;
  };
  for (int px = 0; px < 2 * nx; ++px)
    for (int py = 0; py < 2 * ny; ++py) {
      if (px % 2 == 1 && xs[px / 2] == xs[px / 2 + 1]) continue;  // an empty strip
      if (py % 2 == 1 && ys[py / 2] == ys[py / 2 + 1]) continue;
      bool covered = false;
      for (int s = 0; s < cover.count && !covered; ++s) {
        const CoverStep& k = cover.steps[s];
        covered = inside(k.xlo, k.xhi, xs, px) && inside(k.ylo, k.yhi, ys, py);
      }
      if (!covered) return false;
    }
  return true;
}

Cover ChooseCover(const Turn& t) {
  // Places within a pixel, 32 x 32 of them, to choose steps by; whether the chosen
  // windows truly cover the whole pixel is proved afterwards.
  constexpr int Samples = 32;
  using Places = std::bitset<Samples * Samples>;
  struct Candidate {
    CoverStep step;
    Places covers;  // which places within a pixel it hides
  };
  Candidate candidates[(2 * CoverReach + 1) * (2 * CoverReach + 1) * (2 * CoverReach + 1)];
  int count = 0;
  for (int c = -CoverReach; c <= CoverReach; ++c)
    for (int b = -CoverReach; b <= CoverReach; ++b)
      for (int a = -CoverReach; a <= CoverReach; ++a) {
        const double x = a, y = b, z = c;
        const double y1 = y * t.cx - z * t.sx;
        const double z1 = z * t.cx + y * t.sx;
        const double x2 = x * t.cy + z1 * t.sy;
        const double z2 = z1 * t.cy - x * t.sy;
        const double x3 = x2 * t.cz - y1 * t.sz;
        const double y3 = y1 * t.cz + x2 * t.sz;
        if (!(z2 > CoverDepth) || !(std::fabs(x3) < 1) || !(std::fabs(y3) < 1)) continue;
        Candidate& k = candidates[count++];
        k.step = {a,
                  b,
                  c,
                  std::ptrdiff_t(a) + 256 * b + 65536 * c,
                  CoverEdge - x3,
                  1 - CoverEdge - x3,
                  CoverEdge - y3,
                  1 - CoverEdge - y3};
        k.covers.reset();
        for (int r = 0; r < Samples; ++r)
          for (int q = 0; q < Samples; ++q) {
            const double fx = (q + 0.5) / Samples, fy = (r + 0.5) / Samples;
            if (fx > k.step.xlo && fx < k.step.xhi && fy > k.step.ylo && fy < k.step.yhi)
              k.covers.set(std::size_t(Samples * r + q));
          }
      }
  Cover cover;
  Places covered;
  while (cover.count < MaxCoverSteps) {
    int best = -1;
    std::size_t bestGain = 0;
    for (int n = 0; n < count; ++n)
      if (const std::size_t gain = (candidates[n].covers & ~covered).count(); gain > bestGain)
        best = n, bestGain = gain;
    if (best < 0) break;
    covered |= candidates[best].covers;
    cover.steps[cover.count++] = candidates[best].step;
  }
  cover.whole = cover.count > 0 && CoversWholePixel(cover);
  return cover;
}

// The products of a cell that depend on its row (j, k) only, and where the row lies.
struct Row {
  double y1sz, y1cz, z1sy, z1cy;
  std::ptrdiff_t start;                   // grid index of the row's first cell
  const CoverStep* steps[MaxCoverSteps];  // the cover steps that stay inside the extent
  int stepCount;
};

struct Square {
  int lo, hi;  // inclusive bounds of rows and columns
};

struct Target {
  float* depth;
  std::uint8_t* index;
  std::uint8_t* normal;
};

struct Cells {
  const std::uint8_t* colours;
  const std::uint8_t* normals;
  const std::uint8_t* inside;  // per first column x of eight, from -8: those in the extent
};

using CellRenderer = void (*)(const TVoxelModel&, const Turn&, const Cover&, const Square&,
                              const Target&, bool checked, bool lit);

// Each vector width: its types, floor, and the test whether cells at (fx, fy) within
// their pixels stay in them one step away, as bits of the lanes.
namespace portable {
constexpr int Lanes = 2;
using Doubles = double __attribute__((vector_size(16)));
using Longs = std::int64_t __attribute__((vector_size(16)));
using Ints = std::int32_t __attribute__((vector_size(8)));
// Truncation, one down where it went up (negative non-integers): std::floor's value.
inline Doubles Floor(const Doubles& v) {
  const Doubles back = __builtin_convertvector(__builtin_convertvector(v, Ints), Doubles);
  const Longs one = (Longs)(Doubles{1.0, 1.0});
  return back - (Doubles)(one & (back > v));
}
inline unsigned InPixel(const Doubles& px, const Doubles& py, const CoverStep& s) {
  const Longs in = (px > s.xlo) & (px < s.xhi) & (py > s.ylo) & (py < s.yhi);
  return unsigned(in[0] & 1) | unsigned(in[1] & 1) << 1;
}
#include "view3d/RenderCells.inc"
}  // namespace portable

// (GCC's target pragmas; another compiler, as the fuzzing build uses, takes the portable
// path alone.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KOBALTINE_WIDE_PATHS 1
// Wider vectors without fused multiply-add, chosen at run time: the same operations,
// more cells per instruction.
#pragma GCC push_options
#pragma GCC target("avx2")
namespace wide4 {
constexpr int Lanes = 4;
using Doubles = __m256d;
inline Doubles Floor(const Doubles& v) {
  return _mm256_floor_pd(v);
}
inline unsigned InPixel(const Doubles& px, const Doubles& py, const CoverStep& s) {
  const auto in = (px > s.xlo) & (px < s.xhi) & (py > s.ylo) & (py < s.yhi);
  return unsigned(_mm256_movemask_pd(__m256d(in)));
}
#include "view3d/RenderCells.inc"
}  // namespace wide4
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx512dq,avx512bw,avx2")
namespace wide8 {
constexpr int Lanes = 8;
using Doubles = __m512d;
inline Doubles Floor(const Doubles& v) {
  // (The zero-masked form: the plain one trips a false uninitialised-value warning.)
  return _mm512_maskz_roundscale_pd(0xFF, v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
}
inline unsigned InPixel(const Doubles& px, const Doubles& py, const CoverStep& s) {
  __mmask8 in = _mm512_cmp_pd_mask(px, _mm512_set1_pd(s.xlo), _CMP_GT_OQ);
  in = _mm512_mask_cmp_pd_mask(in, px, _mm512_set1_pd(s.xhi), _CMP_LT_OQ);
  in = _mm512_mask_cmp_pd_mask(in, py, _mm512_set1_pd(s.ylo), _CMP_GT_OQ);
  in = _mm512_mask_cmp_pd_mask(in, py, _mm512_set1_pd(s.yhi), _CMP_LT_OQ);
  return in;
}
#include "view3d/RenderCells.inc"
}  // namespace wide8
#pragma GCC pop_options
#endif

CellRenderer RendererFor(RenderPath path) {
#ifdef KOBALTINE_WIDE_PATHS
  if (path == RenderPath::Wide8) return wide8::Render;
  if (path == RenderPath::Wide4) return wide4::Render;
#endif
  (void)path;
  return portable::Render;
}

// The three turns are rotations (to single precision), so no cell lands farther from
// the centre than the model's half-diagonal. When that distance, with ample slack for
// rounding, stays inside the working square, no cell needs the bounds test.
bool AllCellsInside(const TVoxelModel& model, const Square& sq) {
  auto reach = [](int size) { return double(std::max(size / 2, size - 1 - size / 2)); };
  const double rx = reach(model.SizeX), ry = reach(model.SizeY), rz = reach(model.SizeZ);
  const double radius = std::sqrt(rx * rx + ry * ry + rz * rz) * (1 + 1e-5);
  return std::floor(radius + 0.5) + ViewCentre <= sq.hi &&
         std::floor(-radius + 0.5) + ViewCentre >= sq.lo;
}

// The shade of every normal index of the model's set, turned like the cells; a
// negative value for the indices that keep the plain colour.
void ShadesOf(const TVoxelModel& model, const Turn& t, double shade[256]) {
  const std::span<const NormalVector> table = NormalTable(model.NormalType);
  for (int n = 0; n < 256; ++n) {
    if (std::size_t(n) >= table.size()) {
      shade[n] = -1;
      continue;
    }
    const double x = table[n].X, y = table[n].Y, z = table[n].Z;
    const double y1 = y * t.cx - z * t.sx;
    const double z1 = z * t.cx + y * t.sx;
    const double x2 = x * t.cy + z1 * t.sy;
    const double z2 = z1 * t.cy - x * t.sy;
    const double x3 = x2 * t.cz - y1 * t.sz;
    const double y3 = y1 * t.cz + x2 * t.sz;
    shade[n] = LightShade(x3, y3, z2);
  }
}

}  // namespace

bool CanRunPath(RenderPath path) {
  switch (path) {
    case RenderPath::Portable:
      return true;
#ifdef KOBALTINE_WIDE_PATHS
    case RenderPath::Wide4:
      return __builtin_cpu_supports("avx2");
    case RenderPath::Wide8:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
             __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

RenderPath WidestRenderPath() {
  static const RenderPath widest = [] {
    for (RenderPath p : {RenderPath::Wide8, RenderPath::Wide4})
      if (CanRunPath(p)) return p;
    return RenderPath::Portable;
  }();
  return widest;
}

void RenderView(const TVoxelModel& model, int ax, int ay, int az, std::int16_t viewSpan,
                Pixel background, View3DBuffers& buffers, bool lighting) {
  RenderViewWith(WidestRenderPath(), model, ax, ay, az, viewSpan, background, buffers, lighting);
}

void RenderViewWith(RenderPath path, const TVoxelModel& model, int ax, int ay, int az,
                    std::int16_t viewSpan, Pixel background, View3DBuffers& buffers,
                    bool lighting) {
  PixelBuffer& bitmap = buffers.ViewBitmap;
  bitmap.Resize(ViewSide, ViewSide);  // no-op unless someone shrank it: rows are written by index
  bitmap.FillRect(0, 0, ViewFillSide, ViewFillSide, background);

  // A span that does not fit the buffers is cut to them rather than trusted.
  const int h = viewSpan / 2;
  const Square sq{std::max(0, SquareCentre - h), std::min(ViewSide - 1, SquareCentre + h)};
  if (sq.lo > sq.hi) return;
  const int width = sq.hi - sq.lo + 1;
  float* depth = buffers.DepthBuffer.get();
  std::uint8_t* index = buffers.ViewIndexBuffer.get();
  std::uint8_t* normal = buffers.ViewNormalBuffer.get();
  for (int r = sq.lo; r <= sq.hi; ++r) {
    std::fill_n(depth + sq.lo + ViewSide * r, width, 0.0f);
    std::fill_n(index + sq.lo + ViewSide * r, width, std::uint8_t(0));
    if (lighting) std::fill_n(normal + sq.lo + ViewSide * r, width, std::uint8_t(0));
  }

  const SineTableType& table = buffers.SineTable;
  const Turn t{SinStep(table, ax), CosStep(table, ax), SinStep(table, ay),
               CosStep(table, ay), SinStep(table, az), CosStep(table, az)};
  const Target out{depth, index, normal};
  if (!CanRunPath(path)) path = RenderPath::Portable;
  // Choosing the steps costs about as much as turning a few thousand cells.
  const bool worthCovering = std::size_t(model.SizeX) * model.SizeY * model.SizeZ >= 4096;
  const Cover cover = worthCovering ? ChooseCover(t) : Cover{};
  RendererFor(path)(model, t, cover, sq, out, !AllCellsInside(model, sq), lighting);

  // Palette colours converted once, not once per pixel.
  Pixel colourOf[256];
  for (int n = 0; n < 256; ++n) colourOf[n] = ToPixel(model.Palette[n]);
  if (!lighting) {
    for (int r = sq.lo; r <= sq.hi; ++r) {
      const std::uint8_t* src = index + ViewSide * r;
      Pixel* dst = bitmap.Row(r);
      for (int c = sq.lo; c <= sq.hi; ++c)
        if (src[c] != 0) dst[c] = colourOf[src[c]];
    }
    return;
  }
  double shade[256];
  ShadesOf(model, t, shade);
  for (int r = sq.lo; r <= sq.hi; ++r) {
    const std::uint8_t* src = index + ViewSide * r;
    const std::uint8_t* nrm = normal + ViewSide * r;
    Pixel* dst = bitmap.Row(r);
    for (int c = sq.lo; c <= sq.hi; ++c) {
      if (src[c] == 0) continue;
      const double s = shade[nrm[c]];
      if (s < 0) {
        dst[c] = colourOf[src[c]];
        continue;
      }
      // LitColour, inline: the picture may have 200,000 pixels.
      const std::int32_t colour = model.Palette[src[c]];
      auto lit = [s](unsigned channel) {
        return std::min(255u, unsigned(double(channel) * s + 0.5));
      };
      dst[c] =
          0xFF000000u | lit(RedOf(colour)) << 16 | lit(GreenOf(colour)) << 8 | lit(BlueOf(colour));
    }
  }
}
