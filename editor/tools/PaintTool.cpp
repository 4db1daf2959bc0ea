// The flood fill: a press fills the 4-connected area of the pressed cell's value on the
// current layer with the drawing value, one step.

#include "editor/tools/ToolTable.h"

namespace {

class PaintTool final : public DrawingTool {
 public:
  std::unique_ptr<EditStep> Press(ToolContext& c, int pu, int pv) override {
    c.State.PointerX = pu;
    c.State.PointerY = pv;
    c.State.FillValue = c.State.HeldValue;
    std::unique_ptr<EditStep> step =
        PaintFill(c.Model, c.Target(c.State.FillValue), pu, pv, c.State.FloodWork);
    // The window shows the step it records; a press that changed nothing renders too.
    if (!step) c.Canvas.Render();
    return step;
  }
};

}  // namespace

std::unique_ptr<DrawingTool> MakePaintTool() {
  return std::make_unique<PaintTool>();
}
