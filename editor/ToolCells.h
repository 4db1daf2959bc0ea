#pragma once
// Which cells the drawing tools write, in the plane of any orientation, and the step each
// makes. A tool writes one grid (the one being shown) through one CellEdit.
//
// The shapes start from the dragged rectangle u0..u1, v0..v1 (plane cells, inclusive) on
// layer L, with w = u1 - u0 + 1, h = v1 - v0 + 1, d = min(w, h) and the centre
// cu = (u0 + u1 + 1) / 2, cv = (v0 + v1 + 1) / 2:
//   Square  every cell of the rectangle on layer L;
//   Circle  the cells of layer L whose centre lies in the inscribed ellipse:
//           ((u + 0.5 - cu) / (w / 2))^2 + ((v + 0.5 - cv) / (h / 2))^2 <= 1;
//   Cube    the rectangle on layers L to L + d - 1, cut at the last layer;
//   Sphere  every cell whose centre lies within d / 2 of (cu, cv, L + 0.5), the layer
//           axis being the third.

#include <memory>
#include <string>
#include <vector>

#include "editor/DrawOps.h"
#include "editor/Orientation.h"
#include "model/CellPatch.h"

// Inclusive rectangle of plane cells.
struct PlaneRect {
  int U0 = 0, V0 = 0, U1 = 0, V1 = 0;
};

// Where a tool draws: one layer in one orientation, the grid being shown, the value.
struct PlaneTarget {
  SliceOrientation Orientation = SliceOrientation::Top;
  int Layer = 0;
  GridKind Grid = GridKind::Colours;
  std::uint8_t Value = 0;
};

// The cells U0..U1 of row V.
struct PlaneSpan {
  int V = 0, U0 = 0, U1 = 0;
  bool operator==(const PlaneSpan&) const = default;
};

enum class ShapeKind { Square, Circle, Cube, Sphere };

// What the history calls the step: "Filled rectangle", "Circle", "Cube", "Sphere".
const char* ShapeLabel(ShapeKind kind);

// The rectangle with ordered corners, each pinned into the plane the way the square
// tool pins the pointer; nothing sensible for an empty plane.
PlaneRect ClampRect(const PlaneMap& plane, PlaneRect rect);

// The cells a drag shows on layer L while it lasts, row by row from the top (rows without
// cells are left out): the ellipse for Circle, the footprint for Square and Cube, the
// ball's cut through layer L for Sphere, which is its widest (the centre lies in the
// middle of layer L) and so the ball's outline as the view sees it. Filled, like
// every preview: the cells the release writes there. out is cleared first and keeps its
// memory.
void ShapePreview(ShapeKind kind, const PlaneMap& plane, const PlaneRect& rect,
                  std::vector<PlaneSpan>& out);

// Writes the shape with target's value at release; null when nothing changed.
std::unique_ptr<CellPatch> DrawShape(TVoxelModel& model, ShapeKind kind, const PlaneTarget& target,
                                     const PlaneRect& rect);

// The cells of the current plane as a stroke of the pen touches them: one edit over the
// layer lasts from the press to the release.
CellEdit BeginPenStroke(TVoxelModel& model, const PlaneTarget& target);
// Paints plane cell (u, v) of the target layer; cells outside the plane are ignored.
void PenCell(CellEdit& stroke, const PlaneMap& plane, const PlaneTarget& target, int u, int v);

// The 4-connected fill of the target layer from plane cell (u, v); null when nothing changed.
std::unique_ptr<CellPatch> PaintFill(TVoxelModel& model, const PlaneTarget& target, int u, int v,
                                     FloodFillWork& work);
