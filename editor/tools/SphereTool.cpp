// The sphere: every cell whose centre lies within half the rectangle's shorter side of
// the rectangle's centre on the current layer; the drag shows the ball's cut through that
// layer, the release writes the whole ball, one step.

#include "editor/tools/ShapeTool.h"
#include "editor/tools/ToolTable.h"

std::unique_ptr<DrawingTool> MakeSphereTool() {
  return MakeShapeTool(ShapeKind::Sphere);
}
