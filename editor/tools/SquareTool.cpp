// The filled rectangle: a drag shows the rectangle as a rubber band and the release
// writes it, one step.

#include <algorithm>

#include "editor/tools/ToolTable.h"

namespace {

int ClampTo(int v, int size) {
  return std::clamp(v, 0, std::max(size - 1, 0));
}

bool Covers(const VoxelRect& outer, const VoxelRect& inner) {
  return outer.X0 <= inner.X0 && outer.Y0 <= inner.Y0 && outer.X1 >= inner.X1 &&
         outer.Y1 >= inner.Y1;
}

class SquareTool final : public DrawingTool {
 public:
  std::unique_ptr<EditStep> Press(ToolContext& c, int px, int py) override {
    ToolState& s = c.State;
    s.PointerX = ClampTo(px, c.Model.SizeX);
    s.PointerY = ClampTo(py, c.Model.SizeY);
    s.MouseHeld = true;
    c.Canvas.PaintCell(s.PointerX, s.PointerY, c.Preview(s.PointerX, s.PointerY, s.HeldValue));
    return nullptr;  // the rectangle is written at the release
  }

  void Move(ToolContext& c, bool) override {
    ToolState& s = c.State;
    const VoxelRect old = s.SquareRect;
    // The clamped pointer pins the rectangle to the border when the drag leaves the model.
    const int ax = ClampTo(s.AnchorX, c.Model.SizeX);
    const int ay = ClampTo(s.AnchorY, c.Model.SizeY);
    s.SquareRect = {std::min(ax, s.PointerX), std::min(ay, s.PointerY), std::max(ax, s.PointerX),
                    std::max(ay, s.PointerY)};
    // A shrinking rectangle first wipes the larger preview, without showing the bare layer.
    if (!Covers(s.SquareRect, old)) c.Canvas.RenderUnshown();
    for (int y = s.SquareRect.Y0; y <= s.SquareRect.Y1; ++y)
      for (int x = s.SquareRect.X0; x <= s.SquareRect.X1; ++x)
        c.Canvas.PaintSliceCell(x, y, c.Preview(x, y, s.HeldValue));
    c.Canvas.ShowSlice();
  }

  std::unique_ptr<EditStep> Release(ToolContext& c, bool dragged) override {
    // Only a drag that this release ends may write: a release with no press before it
    // must never apply a rectangle left over from earlier.
    if (!dragged) return nullptr;
    const VoxelRect& r = c.State.SquareRect;
    const int x0 = ClampTo(r.X0, c.Model.SizeX), y0 = ClampTo(r.Y0, c.Model.SizeY);
    const int x1 = ClampTo(r.X1, c.Model.SizeX), y1 = ClampTo(r.Y1, c.Model.SizeY);
    const int z = ClampTo(c.Layer(), c.Model.SizeZ);
    CellEdit rect(c.Model, CellBox{x0, y0, z, x1, y1, z}, "Filled rectangle");
    FillRectOnLayer(rect.Grid(c.Grid), x0, y0, x1, y1, z, c.State.HeldValue);
    return rect.Finish();
  }
};

}  // namespace

std::unique_ptr<DrawingTool> MakeSquareTool() {
  return std::make_unique<SquareTool>();
}
