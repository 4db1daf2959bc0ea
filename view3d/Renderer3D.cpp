#include "view3d/Renderer3D.h"

#include "view3d/RenderPaths.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

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
      DepthBuffer(std::make_unique<float[]>(ViewCells)) {
  ViewBitmap.Resize(ViewSide, ViewSide);
}

namespace {

constexpr int ViewCentre = 224;
constexpr int SquareCentre = 223;

// Cells are turned eight at a time, Lanes per vector operation. Each lane is plain
// IEEE double arithmetic, so the width changes the speed, never the result.
// (The vector types are spelt out: GCC drops a vector size that depends on a
// template parameter.)
using Doubles2 = double __attribute__((vector_size(16)));
using Doubles4 = double __attribute__((vector_size(32)));
using Doubles8 = double __attribute__((vector_size(64)));
using Ints2 = std::int32_t __attribute__((vector_size(8)));
using Ints4 = std::int32_t __attribute__((vector_size(16)));
using Ints8 = std::int32_t __attribute__((vector_size(32)));

template <int Lanes>
struct Vectors;
template <>
struct Vectors<2> {
  using Doubles = Doubles2;
  using Ints = Ints2;
};
template <>
struct Vectors<4> {
  using Doubles = Doubles4;
  using Ints = Ints4;
};
template <>
struct Vectors<8> {
  using Doubles = Doubles8;
  using Ints = Ints8;
};

// floor for values well inside the int range: truncate, then step down where the
// truncation went up (negative non-integers). The same integer as std::floor.
// (Results by reference: vectors passed by value would change the calling convention
// between the paths.)
template <class Doubles, class Ints>
[[gnu::always_inline]] inline void FloorToInt(const Doubles& v, Ints& result) {
  const Ints t = __builtin_convertvector(v, Ints);
  const Doubles back = __builtin_convertvector(t, Doubles);
  result = t + __builtin_convertvector(back > v, Ints);  // -1 where back > v
}

static_assert(std::endian::native == std::endian::little, "colour words are read low byte first");

struct Turn {
  double sx, cx, sy, cy, sz, cz;
};

// The products of a cell that depend on its row (j, k) only.
struct RowTerms {
  double y1sz, y1cz, z1sy, z1cy;
};

struct Square {
  int lo, hi;  // inclusive bounds of rows and columns
};

struct Target {
  float* depth;
  std::uint8_t* index;
};

// Turns the cells i0 .. i0+7 of one row (their colours packed low byte first) and
// depth-tests those whose colour is not 0, in increasing i: at equal depth the later
// cell wins. Checked: some cells may land outside the working square.
template <int Lanes, bool Checked>
[[gnu::always_inline]] inline void RenderChunk(std::uint64_t colours, int i0, const double* xcy,
                                               const double* xsy, const RowTerms& row,
                                               const Turn& t, const Square& sq, const Target& out) {
  using V = Vectors<Lanes>;
  alignas(64) std::int32_t pixels[8];
  alignas(64) double depths[8];
  for (int part = 0; part < 8; part += Lanes) {
    typename V::Doubles xc, xs;
    std::memcpy(&xc, xcy + i0 + part, sizeof xc);
    std::memcpy(&xs, xsy + i0 + part, sizeof xs);
    const auto x2 = xc + row.z1sy;         // x*C(ay) + z1*S(ay)
    const auto z2 = row.z1cy - xs;         // z1*C(ay) - x*S(ay)
    const auto x3 = x2 * t.cz - row.y1sz;  // x2*C(az) - y1*S(az)
    const auto y3 = row.y1cz + x2 * t.sz;  // y1*C(az) + x2*S(az)
    typename V::Ints c, r;
    FloorToInt(typename V::Doubles(x3 + 0.5), c);
    FloorToInt(typename V::Doubles(y3 + 0.5), r);
    c += ViewCentre;
    r += ViewCentre;
    auto p = c + r * ViewSide;
    if constexpr (Checked)
      p |= (c < sq.lo) | (c > sq.hi) | (r < sq.lo) | (r > sq.hi);  // -1: outside
    const auto d = z2 + double(ViewCentre);
    std::memcpy(pixels + part, &p, sizeof p);
    std::memcpy(depths + part, &d, sizeof d);
  }
  for (int n = 0; n < 8; ++n) {
    const std::uint8_t colour = std::uint8_t(colours >> (8 * n));
    if (colour == 0 || (Checked && pixels[n] < 0)) continue;
    const int p = pixels[n];
    // The stored single is widened back to double for the comparison, as the depth
    // it is compared with was never rounded. (A branch-free update measured slower:
    // it stores every time.)
    if (depths[n] >= double(out.depth[p])) {
      out.depth[p] = float(depths[n]);
      out.index[p] = colour;
    }
  }
}

template <int Lanes, bool Checked>
[[gnu::always_inline]] inline void RenderCells(const TVoxelModel& model, const Turn& t,
                                               const Square& sq, const Target& out) {
  const int sizeX = model.SizeX, sizeY = model.SizeY, sizeZ = model.SizeZ;
  // Centring is integer division; the centred coordinates are exact in double.
  const int halfX = sizeX / 2, halfY = sizeY / 2, halfZ = sizeZ / 2;
  // Per column i: x*C(ay) and x*S(ay), padded to whole chunks of eight.
  alignas(64) double xcy[GridSide];
  alignas(64) double xsy[GridSide];
  for (int i = 0; i < int(GridSide); ++i) {
    const double x = double(i - halfX);
    xcy[i] = x * t.cy;
    xsy[i] = x * t.sy;
  }
  const int chunks = (sizeX + 7) / 8;
  // Cells past SizeX may hold an earlier model's colours: the last chunk is masked.
  const std::uint64_t lastMask =
      sizeX % 8 == 0 ? ~std::uint64_t(0) : (std::uint64_t(1) << (8 * (sizeX % 8))) - 1;

  for (int k = 0; k < sizeZ; ++k) {
    const double z = double(k - halfZ);
    const std::uint8_t* layer = model.Colours.layer(unsigned(k));
    for (int j = 0; j < sizeY; ++j) {
      const std::uint8_t* colours = layer + (std::size_t(j) << 8);
      const double y = double(j - halfY);
      const double y1 = y * t.cx - z * t.sx;
      const double z1 = z * t.cx + y * t.sx;
      const RowTerms row{y1 * t.sz, y1 * t.cz, z1 * t.sy, z1 * t.cy};
      for (int chunk = 0; chunk < chunks; ++chunk) {
        std::uint64_t word;
        std::memcpy(&word, colours + 8 * chunk, sizeof word);
        if (chunk == chunks - 1) word &= lastMask;
        if (word == 0) continue;  // eight empty cells: nothing to turn
        RenderChunk<Lanes, Checked>(word, 8 * chunk, xcy, xsy, row, t, sq, out);
      }
    }
  }
}

using CellRenderer = void (*)(const TVoxelModel&, const Turn&, const Square&, const Target&,
                              bool checked);

void RenderCellsPortable(const TVoxelModel& model, const Turn& t, const Square& sq,
                         const Target& out, bool checked) {
  if (checked)
    RenderCells<2, true>(model, t, sq, out);
  else
    RenderCells<2, false>(model, t, sq, out);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define KOBALTINE_WIDE_PATHS 1
// Wider vectors without fused multiply-add, chosen at run time: the same operations,
// more cells per instruction.
[[gnu::target("avx2")]] void RenderCellsWide4(const TVoxelModel& model, const Turn& t,
                                              const Square& sq, const Target& out, bool checked) {
  if (checked)
    RenderCells<4, true>(model, t, sq, out);
  else
    RenderCells<4, false>(model, t, sq, out);
}

[[gnu::target("avx512f,avx512vl,avx512dq,avx2")]] void RenderCellsWide8(
    const TVoxelModel& model, const Turn& t, const Square& sq, const Target& out, bool checked) {
  if (checked)
    RenderCells<8, true>(model, t, sq, out);
  else
    RenderCells<8, false>(model, t, sq, out);
}
#endif

CellRenderer RendererFor(RenderPath path) {
#ifdef KOBALTINE_WIDE_PATHS
  if (path == RenderPath::Wide8) return RenderCellsWide8;
  if (path == RenderPath::Wide4) return RenderCellsWide4;
#endif
  (void)path;
  return RenderCellsPortable;
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
             __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx2");
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
                Pixel background, View3DBuffers& buffers) {
  RenderViewWith(WidestRenderPath(), model, ax, ay, az, viewSpan, background, buffers);
}

void RenderViewWith(RenderPath path, const TVoxelModel& model, int ax, int ay, int az,
                    std::int16_t viewSpan, Pixel background, View3DBuffers& buffers) {
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
  for (int r = sq.lo; r <= sq.hi; ++r) {
    std::fill_n(depth + sq.lo + ViewSide * r, width, 0.0f);
    std::fill_n(index + sq.lo + ViewSide * r, width, std::uint8_t(0));
  }

  const SineTableType& table = buffers.SineTable;
  const Turn t{SinStep(table, ax), CosStep(table, ax), SinStep(table, ay),
               CosStep(table, ay), SinStep(table, az), CosStep(table, az)};
  const Target out{depth, index};
  if (!CanRunPath(path)) path = RenderPath::Portable;
  RendererFor(path)(model, t, sq, out, !AllCellsInside(model, sq));

  // Palette colours converted once, not once per pixel.
  Pixel colourOf[256];
  for (int n = 0; n < 256; ++n) colourOf[n] = ToPixel(model.Palette[n]);
  for (int r = sq.lo; r <= sq.hi; ++r) {
    const std::uint8_t* src = index + ViewSide * r;
    Pixel* dst = bitmap.Row(r);
    for (int c = sq.lo; c <= sq.hi; ++c)
      if (src[c] != 0) dst[c] = colourOf[src[c]];
  }
}
