// The flood fill: a press fills the 4-connected area of the pressed cell's value on the
// current layer with the drawing value, one step.

#include "editor/tools/ToolTable.h"

namespace {

class PaintTool final : public DrawingTool {
 public:
  std::unique_ptr<EditStep> Press(ToolContext& c, int px, int py) override {
    c.State.PointerX = px;
    c.State.PointerY = py;
    c.State.FillValue = c.State.HeldValue;
    CellEdit fill(c.Model, LayerBox(c.Model, c.Layer()), "Flood fill");
    FloodFillLayer(fill.Grid(c.Grid), c.Model.SizeX, c.Model.SizeY, c.Layer(), px, py,
                   c.State.FillValue, c.State.FloodWork);
    std::unique_ptr<EditStep> step = fill.Finish();
    c.Canvas.Render();  // even when the start cell already held the value
    return step;
  }
};

}  // namespace

std::unique_ptr<DrawingTool> MakePaintTool() {
  return std::make_unique<PaintTool>();
}
