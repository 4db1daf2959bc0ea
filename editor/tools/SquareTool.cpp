// The filled rectangle: a drag shows the rectangle as a rubber band and the release
// writes it on the current layer, one step.

#include "editor/tools/ShapeTool.h"
#include "editor/tools/ToolTable.h"

std::unique_ptr<DrawingTool> MakeSquareTool() {
  return MakeShapeTool(ShapeKind::Square);
}
