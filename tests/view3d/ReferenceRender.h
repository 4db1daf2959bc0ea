#pragma once
// The 3D view's render written as plainly as possible, straight from the algorithm:
// every cell visited, every cell turned, no hoisting. The fast renderer must match it
// bit for bit. Build users of this header with -ffp-contract=off.

#include <algorithm>
#include <cmath>

#include "model/NormalTables.h"
#include "view3d/Renderer3D.h"

namespace reference {

// The lookup table of sine and cosine by angle step, transcribed case by case.
inline double S(const SineTableType& t, int n) {
  if (n < 0) return 0;
  if (n == 0) return 0;
  if (n <= 63) return t[n];
  if (n == 64) return 1;
  if (n <= 127) return t[128 - n];
  if (n == 128) return 0;
  if (n <= 191) return -t[n - 128];
  if (n == 192) return -1;
  if (n <= 255) return -t[256 - n];
  return 0;
}

inline double C(const SineTableType& t, int n) {
  if (n < 0) return 0;
  if (n == 0) return 1;
  if (n <= 63) return t[64 - n];
  if (n == 64) return 0;
  if (n <= 127) return -t[n - 64];
  if (n == 128) return -1;
  if (n <= 191) return -t[192 - n];
  if (n == 192) return 0;
  if (n <= 255) return t[n - 192];
  return 0;
}

// Lit: each drawn pixel's colour times the shade of its voxel's normal, straight from
// the formula.
inline void Render(const TVoxelModel& m, int ax, int ay, int az, int viewSpan, Pixel background,
                   View3DBuffers& b, bool lit = false) {
  b.ViewBitmap.FillRect(0, 0, 384, 384, background);
  const int h = viewSpan / 2;
  // Cut to the buffers, as the renderer does, so that odd spans can be compared too.
  const int lo = std::max(0, 223 - h);
  const int hi = std::min(447, 223 + h);
  for (int r = lo; r <= hi; ++r)
    for (int c = lo; c <= hi; ++c) {
      b.DepthBuffer[c + 448 * r] = 0;
      b.ViewIndexBuffer[c + 448 * r] = 0;
      if (lit) b.ViewNormalBuffer[c + 448 * r] = 0;
    }
  const SineTableType& t = b.SineTable;
  for (int k = 0; k < m.SizeZ; ++k)
    for (int j = 0; j < m.SizeY; ++j)
      for (int i = 0; i < m.SizeX; ++i) {
        const int xi = i - m.SizeX / 2;
        const int yi = j - m.SizeY / 2;
        const int zi = k - m.SizeZ / 2;
        const double x = xi, y = yi, z = zi;
        const double y1 = y * C(t, ax) - z * S(t, ax);
        const double z1 = z * C(t, ax) + y * S(t, ax);
        const double x2 = x * C(t, ay) + z1 * S(t, ay);
        const double z2 = z1 * C(t, ay) - x * S(t, ay);
        const double x3 = x2 * C(t, az) - y1 * S(t, az);
        const double y3 = y1 * C(t, az) + x2 * S(t, az);
        const int column = int(std::floor(x3 + 0.5)) + 224;
        const int row = int(std::floor(y3 + 0.5)) + 224;
        const double depth = z2 + 224;
        const std::uint8_t colour = m.Colours.at(i, j, k);
        if (colour == 0) continue;
        if (column < lo || column > hi || row < lo || row > hi) continue;
        const int p = column + 448 * row;
        if (depth >= b.DepthBuffer[p]) {
          b.DepthBuffer[p] = float(depth);
          b.ViewIndexBuffer[p] = colour;
          if (lit) b.ViewNormalBuffer[p] = m.Normals.at(i, j, k);
        }
      }
  for (int r = lo; r <= hi; ++r)
    for (int c = lo; c <= hi; ++c) {
      const std::uint8_t n = b.ViewIndexBuffer[c + 448 * r];
      if (n == 0) continue;
      b.ViewBitmap.Row(r)[c] = ToPixel(m.Palette[n]);
      const auto table = NormalTable(m.NormalType);
      const std::size_t normal = b.ViewNormalBuffer[c + 448 * r];
      if (!lit || normal >= table.size()) continue;
      const double x = table[normal].X, y = table[normal].Y, z = table[normal].Z;
      const double y1 = y * C(t, ax) - z * S(t, ax);
      const double z1 = z * C(t, ax) + y * S(t, ax);
      const double x2 = x * C(t, ay) + z1 * S(t, ay);
      const double z2 = z1 * C(t, ay) - x * S(t, ay);
      const double x3 = x2 * C(t, az) - y1 * S(t, az);
      const double y3 = y1 * C(t, az) + x2 * S(t, az);
      const double dot =
          x3 * (-1 / std::sqrt(6.0)) + y3 * (-1 / std::sqrt(6.0)) + z2 * (2 / std::sqrt(6.0));
      const double shade = 0.35 + 0.65 * std::max(0.0, dot);
      auto channel = [&](int v) { return std::min(255.0, std::floor(v * shade + 0.5)); };
      const std::int32_t colour = m.Palette[n];
      b.ViewBitmap.Row(r)[c] =
          ToPixel(PackRGB(unsigned(channel(RedOf(colour))), unsigned(channel(GreenOf(colour))),
                          unsigned(channel(BlueOf(colour)))));
    }
}

}  // namespace reference
