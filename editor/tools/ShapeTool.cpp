#include "editor/tools/ShapeTool.h"

#include <algorithm>
#include <vector>

namespace {

int ClampTo(int v, int size) {
  return std::clamp(v, 0, std::max(size - 1, 0));
}

bool Covers(const VoxelRect& outer, const VoxelRect& inner) {
  return outer.X0 <= inner.X0 && outer.Y0 <= inner.Y0 && outer.X1 >= inner.X1 &&
         outer.Y1 >= inner.Y1;
}

bool Same(const VoxelRect& a, const VoxelRect& b) {
  return a.X0 == b.X0 && a.Y0 == b.Y0 && a.X1 == b.X1 && a.Y1 == b.Y1;
}

PlaneRect ToPlane(const VoxelRect& r) {
  return {r.X0, r.Y0, r.X1, r.Y1};
}

class ShapeTool final : public DrawingTool {
 public:
  explicit ShapeTool(ShapeKind kind) : kind_(kind) {}

  std::unique_ptr<EditStep> Press(ToolContext& c, int pu, int pv) override {
    ToolState& s = c.State;
    s.PointerX = ClampTo(pu, c.Plane.Width());
    s.PointerY = ClampTo(pv, c.Plane.Height());
    s.MouseHeld = true;
    // A one-cell drag is one cell in every shape.
    c.Canvas.PaintCell(s.PointerX, s.PointerY, c.Preview(s.PointerX, s.PointerY, s.HeldValue));
    return nullptr;  // the shape is written at the release
  }

  void Move(ToolContext& c, bool) override {
    ToolState& s = c.State;
    const VoxelRect old = s.SquareRect;
    // The clamped pointer pins the rectangle to the border when the drag leaves the plane.
    const int au = ClampTo(s.AnchorX, c.Plane.Width());
    const int av = ClampTo(s.AnchorY, c.Plane.Height());
    s.SquareRect = {std::min(au, s.PointerX), std::min(av, s.PointerY), std::max(au, s.PointerX),
                    std::max(av, s.PointerY)};
    // The old preview is wiped, without showing the bare layer, when the new one may not
    // cover it: a smaller rectangle, or any other one for the round shapes, whose cells
    // move with the centre.
    const bool boxy = kind_ == ShapeKind::Square || kind_ == ShapeKind::Cube;
    if (boxy ? !Covers(s.SquareRect, old) : !Same(s.SquareRect, old)) c.Canvas.RenderUnshown();
    ShapePreview(kind_, c.Plane, ToPlane(s.SquareRect), spans_);
    for (const PlaneSpan& span : spans_)
      for (int u = span.U0; u <= span.U1; ++u)
        c.Canvas.PaintSliceCell(u, span.V, c.Preview(u, span.V, s.HeldValue));
    c.Canvas.ShowSlice();
  }

  std::unique_ptr<EditStep> Release(ToolContext& c, bool dragged) override {
    // Only a drag that this release ends may write: a release with no press before it
    // must never apply a rectangle left over from earlier.
    if (!dragged) return nullptr;
    return DrawShape(c.Model, kind_, c.Target(c.State.HeldValue), ToPlane(c.State.SquareRect));
  }

 private:
  ShapeKind kind_;
  std::vector<PlaneSpan> spans_;  // the preview's cells, kept between moves
};

}  // namespace

std::unique_ptr<DrawingTool> MakeShapeTool(ShapeKind kind) {
  return std::make_unique<ShapeTool>(kind);
}
