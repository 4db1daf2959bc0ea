#include "view3d/NormalSphere.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "view3d/Lighting.h"
#include "model/NormalTables.h"

namespace {

constexpr std::int32_t SphereGrey = PackRGB(214, 214, 214);
constexpr Pixel SpotColour = 0xFF202020u;
constexpr Pixel RingColour = 0xFFFF4000u;

struct Layout {
  double radius;  // of each disc, in pixels
  double nearX, farX, centreY;
};

Layout LayoutOf(int width, int height) {
  const double radius = std::max(1.0, std::min(width / 4.0, height / 2.0) - 2);
  return {radius, width / 4.0, 3 * width / 4.0, height / 2.0};
}

// The direction at a pixel's centre, when it lies on a disc. The distance from a disc's
// centre grows with the angle from the line of sight (90 degrees at the rim), so that
// normals near the rim are as far apart as the others and as easy to pick.
bool DirectionAt(const Layout& l, int x, int y, double& dx, double& dy, double& dz) {
  const bool far = x + 0.5 >= (l.nearX + l.farX) / 2;
  const double u = (x + 0.5 - (far ? l.farX : l.nearX)) / l.radius;
  const double v = (y + 0.5 - l.centreY) / l.radius;
  const double rho = std::hypot(u, v);
  if (rho > 1) return false;
  const double angle = rho * std::numbers::pi / 2;
  const double side = rho > 0 ? std::sin(angle) / rho : 0;
  dx = u * side, dy = v * side;
  dz = std::cos(angle) * (far ? -1 : 1);
  return true;
}

void Mark(PixelBuffer& out, int cx, int cy, int reach, bool ring, Pixel colour) {
  for (int y = cy - reach; y <= cy + reach; ++y)
    for (int x = cx - reach; x <= cx + reach; ++x) {
      if (x < 0 || y < 0 || x >= out.Width() || y >= out.Height()) continue;
      const int d = std::max(std::abs(x - cx), std::abs(y - cy));
      if (!ring || d >= reach - 1) out.Row(y)[x] = colour;
    }
}

}  // namespace

void RenderNormalSphere(int normalType, int width, int height, Pixel background, PixelBuffer& out,
                        int selected) {
  out.Resize(width, height);
  out.Fill(background);
  const auto table = NormalTable(normalType);
  if (table.empty()) return;
  const Layout l = LayoutOf(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double dx, dy, dz;
      if (!DirectionAt(l, x, y, dx, dy, dz)) continue;
      const NormalVector& n = table[std::size_t(NearestNormal(normalType, dx, dy, dz))];
      out.Row(y)[x] = ToPixel(LitColour(SphereGrey, LightShade(n.X, n.Y, n.Z)));
    }
  for (int i = 0; i < int(table.size()); ++i) {
    const SpherePoint p = *SpotOfNormal(normalType, width, height, i);
    Mark(out, p.X, p.Y, 1, false, SpotColour);
  }
  if (const auto p = SpotOfNormal(normalType, width, height, selected))
    Mark(out, p->X, p->Y, 4, true, RingColour);
}

int NormalAtPoint(int normalType, int width, int height, int x, int y) {
  if (NormalTable(normalType).empty() || x < 0 || y < 0 || x >= width || y >= height) return -1;
  double dx, dy, dz;
  if (!DirectionAt(LayoutOf(width, height), x, y, dx, dy, dz)) return -1;
  return NearestNormal(normalType, dx, dy, dz);
}

std::optional<SpherePoint> SpotOfNormal(int normalType, int width, int height, int index) {
  const auto table = NormalTable(normalType);
  if (index < 0 || std::size_t(index) >= table.size()) return std::nullopt;
  const NormalVector& n = table[std::size_t(index)];
  const Layout l = LayoutOf(width, height);
  // A little inside the rim, so that the spot's pixel still lies on its disc.
  const double angle = std::acos(std::clamp(std::fabs(n.Z), 0.0, 1.0));
  const double rho = std::min(angle / (std::numbers::pi / 2), 1 - 1.5 / l.radius);
  const double len = std::hypot(n.X, n.Y);
  const double ux = len > 0 ? n.X / len * rho : 0, uy = len > 0 ? n.Y / len * rho : 0;
  const double cx = n.Z >= 0 ? l.nearX : l.farX;
  return SpherePoint{int(std::floor(cx + ux * l.radius)),
                     int(std::floor(l.centreY + uy * l.radius))};
}
