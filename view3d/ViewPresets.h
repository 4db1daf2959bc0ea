#pragma once
// The 3D window's preset views, as the positions of its X, Y and Z scroll bars. The
// window's menu, the companion's --preset and the thumbnail all take them from here.

struct ViewAngles {
  int X, Y, Z;
};

constexpr ViewAngles ViewPresets[4] = {
    {0, 0, 0},        // 1 - Basic View
    {0, 208, 64},     // 2 - Face Forward
    {64, 0, 0},       // 3 - Side View
    {219, 228, 109},  // 4 - TS Cameo
};
constexpr ViewAngles CameoView = ViewPresets[3];
