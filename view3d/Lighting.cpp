#include "view3d/Lighting.h"

#include <algorithm>
#include <cmath>

#include "model/VoxelModel.h"

double LightShade(double x3, double y3, double z2) {
  static const double root6 = std::sqrt(6.0);
  const double lx = -1 / root6, ly = -1 / root6, lz = 2 / root6;
  return 0.35 + 0.65 * std::max(0.0, x3 * lx + y3 * ly + z2 * lz);
}

std::int32_t LitColour(std::int32_t colour, double shade) {
  // The product is never negative, so truncation is the floor (and needs no library call).
  auto lit = [shade](unsigned channel) {
    return std::min(255u, unsigned(double(channel) * shade + 0.5));
  };
  return PackRGB(lit(RedOf(colour)), lit(GreenOf(colour)), lit(BlueOf(colour)));
}
