#pragma once
// The light of the lit views: from the upper left, towards the viewer, the direction
// (-1, -1, 2) / sqrt(6) in view axes (x right, y down, z towards the viewer).

#include <cstdint>

// How bright a surface is whose normal, turned into the view, is (x3, y3, z2):
// 0.35 + 0.65 * max(0, n . L), in double precision.
double LightShade(double x3, double y3, double z2);

// A colour (red low, as palette entries) lit by a shade: each channel becomes
// min(255, floor(channel * shade + 0.5)).
std::int32_t LitColour(std::int32_t colour, double shade);
