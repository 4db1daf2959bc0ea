#pragma once
// The picture for choosing a normal by its direction: the normals of a set on a lit
// sphere seen from the front of the model (as the 3D view at angles 0, 0, 0: x to the
// right, y down, looking down the z axis). A sphere shows only its near half, so the
// picture holds two discs side by side: on the left the near half (normals with z of 0
// or more, towards the viewer), on the right the far half, seen through the sphere with
// the same axes. A disc's radius spans 90 degrees from the line of sight evenly. Each
// point of a disc is lit as the normal nearest to its direction would be, so the set's
// regions show; each normal's spot is marked.

#include <optional>

#include "editor/PixelBuffer.h"

struct SpherePoint {
  int X, Y;
};

// Renders the picture at width x height into out (resized to it). The spot of selected
// (an index of the set, or -1) is ringed.
void RenderNormalSphere(int normalType, int width, int height, Pixel background, PixelBuffer& out,
                        int selected = -1);

// The index of the set's normal nearest to the direction at pixel (x, y) of the picture
// of that size; -1 outside the discs or for a version without a set.
int NormalAtPoint(int normalType, int width, int height, int x, int y);

// Where an index's spot lies on that picture; none for an index beyond the set.
std::optional<SpherePoint> SpotOfNormal(int normalType, int width, int height, int index);
