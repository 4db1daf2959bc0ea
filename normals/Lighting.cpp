#include "normals/Lighting.h"

#include <algorithm>
#include <cmath>

#include "model/VoxelModel.h"

double LightShade(double x3, double y3, double z2) {
  static const double root6 = std::sqrt(6.0);
  const double lx = -1 / root6, ly = -1 / root6, lz = 2 / root6;
  return 0.35 + 0.65 * std::max(0.0, x3 * lx + y3 * ly + z2 * lz);
}

std::int32_t LitColour(std::int32_t colour, double shade) {
  auto lit = [shade](unsigned channel) {
    return unsigned(std::min(255.0, std::floor(double(channel) * shade + 0.5)));
  };
  return PackRGB(lit(RedOf(colour)), lit(GreenOf(colour)), lit(BlueOf(colour)));
}
