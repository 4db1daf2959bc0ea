// The cube: the dragged rectangle on the current layer and the layers after it, as many
// layers as the rectangle's shorter side (cut at the last layer), written at the release.

#include "editor/tools/ShapeTool.h"
#include "editor/tools/ToolTable.h"

std::unique_ptr<DrawingTool> MakeCubeTool() {
  return MakeShapeTool(ShapeKind::Cube);
}
