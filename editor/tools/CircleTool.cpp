// The circle: the cells of the current layer whose centres lie in the ellipse inscribed in
// the dragged rectangle, written at the release, one step.

#include "editor/tools/ShapeTool.h"
#include "editor/tools/ToolTable.h"

std::unique_ptr<DrawingTool> MakeCircleTool() {
  return MakeShapeTool(ShapeKind::Circle);
}
