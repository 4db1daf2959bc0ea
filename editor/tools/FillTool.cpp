// The volume fill: a press fills the 6-connected region of cells that hold the pressed
// cell's value, through all layers, with the drawing value, one step.

#include "editor/VolumeFill.h"
#include "editor/tools/ToolTable.h"

namespace {

class FillTool final : public DrawingTool {
 public:
  std::unique_ptr<EditStep> Press(ToolContext& c, int pu, int pv) override {
    c.State.PointerX = pu;
    c.State.PointerY = pv;
    c.State.FillValue = c.State.HeldValue;
    std::unique_ptr<EditStep> step;
    if (c.Inside(pu, pv)) {
      const ModelCell cell = c.Plane.Cell(pu, pv, c.Plane.ClampLayer(c.Layer()));
      step = VolumeFill(c.Model, c.Grid, cell.X, cell.Y, cell.Z, c.State.FillValue, work_);
    }
    // The window shows the step it records; a press that changed nothing renders too.
    if (!step) c.Canvas.Render();
    return step;
  }

 private:
  VolumeFillWork work_;  // made with the tool, once per window
};

}  // namespace

std::unique_ptr<DrawingTool> MakeFillTool() {
  return std::make_unique<FillTool>();
}
