// The freehand pen: paints the cell under the pointer at the press and at every move
// while the button is held. The whole stroke, press to release, is one step.

#include "editor/tools/ToolTable.h"

namespace {

class PenTool final : public DrawingTool {
 public:
  std::unique_ptr<EditStep> Press(ToolContext& c, int pu, int pv) override {
    if (!c.Inside(pu, pv)) return nullptr;
    c.State.PointerX = pu;
    c.State.PointerY = pv;
    c.State.MouseHeld = true;
    stroke_ = std::make_unique<CellEdit>(BeginPenStroke(c.Model, c.Target(c.State.HeldValue)));
    Paint(c, pu, pv);
    return nullptr;
  }

  void Move(ToolContext& c, bool inside) override {
    // One cell per move event: a fast stroke may leave gaps.
    if (inside && stroke_) Paint(c, c.State.PointerX, c.State.PointerY);
  }

  std::unique_ptr<EditStep> Release(ToolContext&, bool) override { return Abandon(); }

  std::unique_ptr<EditStep> Abandon() override {
    if (!stroke_) return nullptr;
    std::unique_ptr<EditStep> step = stroke_->Finish();
    stroke_.reset();
    return step;
  }

 private:
  void Paint(ToolContext& c, int u, int v) {
    PenCell(*stroke_, c.Plane, c.Target(c.State.HeldValue), u, v);
    // The screen only: the render at release brings SliceBitmap up to date.
    c.Canvas.PaintCell(u, v, c.Preview(u, v, c.State.HeldValue));
  }

  std::unique_ptr<CellEdit> stroke_;
};

}  // namespace

std::unique_ptr<DrawingTool> MakePenTool() {
  return std::make_unique<PenTool>();
}
