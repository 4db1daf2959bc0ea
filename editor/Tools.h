#pragma once
// The tool panel's tools; the values are the order of the seven slots' numbering.

enum class DrawTool {
  Sphere = 1,
  Cube = 2,
  Circle = 3,
  Square = 4,
  Freehand = 5,
  Fill = 6,
  Paint = 7,
};

// The rectangle of a drag in plane cells, inclusive.
struct VoxelRect {
  int X0 = 0;
  int Y0 = 0;
  int X1 = 0;
  int Y1 = 0;
};
