#pragma once
// The tools that are dragged out as a rectangle and written at the release: the filled
// rectangle, the circle, the cube and the sphere. The drag shows the shape's cells on the
// current layer as a rubber band; each tool file only names its shape.

#include "editor/tools/DrawingTool.h"

std::unique_ptr<DrawingTool> MakeShapeTool(ShapeKind kind);
