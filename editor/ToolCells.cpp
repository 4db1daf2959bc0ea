#include "editor/ToolCells.h"

#include <algorithm>

namespace {

int Pin(int v, int size) {
  return std::clamp(v, 0, std::max(size - 1, 0));
}

// The shape's measures. Every value is a multiple of one half and small, so all but the
// ellipse's divisions are exact in double precision.
struct Shape {
  ShapeKind Kind;
  PlaneRect Rect;
  int W, H, D;
  double Cu, Cv;

  Shape(ShapeKind kind, const PlaneRect& r)
      : Kind(kind),
        Rect(r),
        W(r.U1 - r.U0 + 1),
        H(r.V1 - r.V0 + 1),
        D(std::min(W, H)),
        Cu((r.U0 + r.U1 + 1) / 2.0),
        Cv((r.V0 + r.V1 + 1) / 2.0) {}

  // Whether plane cell (u, v) on the layer dl away from L belongs to the shape. Circle
  // and Sphere depend on u only through |u + 0.5 - Cu|, and grow monotonically with it.
  bool Holds(int u, int v, int dl) const {
    switch (Kind) {
      case ShapeKind::Circle: {
        const double rx = W / 2.0, ry = H / 2.0;
        const double a = (u + 0.5 - Cu) / rx, b = (v + 0.5 - Cv) / ry;
        return a * a + b * b <= 1;
      }
      case ShapeKind::Sphere: {
        const double r = D / 2.0;
        const double a = u + 0.5 - Cu, b = v + 0.5 - Cv, c = dl;  // (l + 0.5) - (L + 0.5)
        return a * a + b * b + c * c <= r * r;
      }
      case ShapeKind::Square:
      case ShapeKind::Cube:
        break;
    }
    return true;
  }

  // The cells of row v on the layer dl away from L, grown outwards from the column
  // nearest the centre, so the work is the span's length; false for an empty row.
  bool RowSpan(int v, int dl, int& u0, int& u1) const {
    if (Kind == ShapeKind::Square || Kind == ShapeKind::Cube) {
      u0 = Rect.U0, u1 = Rect.U1;
      return true;
    }
    const int mid = Rect.U0 + (W - 1) / 2;
    if (!Holds(mid, v, dl)) return false;
    u0 = mid, u1 = mid;
    while (u0 > Rect.U0 && Holds(u0 - 1, v, dl)) --u0;
    while (u1 < Rect.U1 && Holds(u1 + 1, v, dl)) ++u1;
    return true;
  }

  // The layers the shape reaches, relative to L.
  int LayersBelow() const { return Kind == ShapeKind::Sphere ? D / 2 : 0; }
  int LayersAbove() const {
    if (Kind == ShapeKind::Cube) return D - 1;
    return Kind == ShapeKind::Sphere ? D / 2 : 0;
  }

  void Spans(int dl, std::vector<PlaneSpan>& out) const {
    out.clear();
    int u0 = 0, u1 = 0;
    for (int v = Rect.V0; v <= Rect.V1; ++v)
      if (RowSpan(v, dl, u0, u1)) out.push_back({v, u0, u1});
  }
};

}  // namespace

const char* ShapeLabel(ShapeKind kind) {
  switch (kind) {
    case ShapeKind::Circle:
      return "Circle";
    case ShapeKind::Cube:
      return "Cube";
    case ShapeKind::Sphere:
      return "Sphere";
    case ShapeKind::Square:
      break;
  }
  return "Filled rectangle";
}

PlaneRect ClampRect(const PlaneMap& plane, PlaneRect r) {
  if (r.U0 > r.U1) std::swap(r.U0, r.U1);
  if (r.V0 > r.V1) std::swap(r.V0, r.V1);
  return {Pin(r.U0, plane.Width()), Pin(r.V0, plane.Height()), Pin(r.U1, plane.Width()),
          Pin(r.V1, plane.Height())};
}

void ShapePreview(ShapeKind kind, const PlaneMap& plane, const PlaneRect& rect,
                  std::vector<PlaneSpan>& out) {
  out.clear();
  if (plane.Empty()) return;
  Shape(kind, ClampRect(plane, rect)).Spans(0, out);
}

std::unique_ptr<CellPatch> DrawShape(TVoxelModel& model, ShapeKind kind, const PlaneTarget& target,
                                     const PlaneRect& rect) {
  const PlaneMap plane(model, target.Orientation);
  if (plane.Empty()) return nullptr;
  const Shape shape(kind, ClampRect(plane, rect));
  const int layer = plane.ClampLayer(target.Layer);
  const int l0 = std::max(layer - shape.LayersBelow(), 0);
  const int l1 = std::min(layer + shape.LayersAbove(), plane.Layers() - 1);
  const PlaneRect& r = shape.Rect;
  CellEdit edit(model, plane.Box(r.U0, r.V0, r.U1, r.V1, l0, l1), ShapeLabel(kind));
  VoxelGrid& grid = edit.Grid(target.Grid);
  std::vector<PlaneSpan> spans;
  for (int l = l0; l <= l1; ++l) {
    shape.Spans(l - layer, spans);
    for (const PlaneSpan& s : spans)
      FillRectOnPlane(grid, plane, s.U0, s.V, s.U1, s.V, l, target.Value);
  }
  return edit.Finish();
}

CellEdit BeginPenStroke(TVoxelModel& model, const PlaneTarget& target) {
  const PlaneMap plane(model, target.Orientation);
  return CellEdit(model, plane.Empty() ? CellBox{} : plane.LayerBox(plane.ClampLayer(target.Layer)),
                  "Pen stroke");
}

void PenCell(CellEdit& stroke, const PlaneMap& plane, const PlaneTarget& target, int u, int v) {
  if (plane.Empty() || !plane.Inside(u, v)) return;
  const ModelCell c = plane.Cell(u, v, plane.ClampLayer(target.Layer));
  stroke.Set(target.Grid, c.X, c.Y, c.Z, target.Value);
}

std::unique_ptr<CellPatch> PaintFill(TVoxelModel& model, const PlaneTarget& target, int u, int v,
                                     FloodFillWork& work) {
  const PlaneMap plane(model, target.Orientation);
  if (plane.Empty() || !plane.Inside(u, v)) return nullptr;
  const int layer = plane.ClampLayer(target.Layer);
  CellEdit edit(model, plane.LayerBox(layer), "Flood fill");
  FloodFillPlane(edit.Grid(target.Grid), plane, layer, u, v, target.Value, work);
  return edit.Finish();
}
