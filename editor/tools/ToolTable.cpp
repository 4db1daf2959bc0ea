#include "editor/tools/ToolTable.h"

namespace {

constexpr ToolInfo Tools[] = {
    {DrawTool::Freehand, "Freehand", "freehand", "Freehand pen", 2, "Pen", MakePenTool},
    {DrawTool::Square, "Square", "square", "Filled rectangle", 50, "Square", MakeSquareTool},
    {DrawTool::Circle, "Circle", "circle", "Circle", 98, "Circle", MakeCircleTool},
    {DrawTool::Paint, "Paint", "paint", "Flood fill", 146, "Fill", MakePaintTool},
    {DrawTool::Cube, "Cube", "cube", "Cube", 194, "Cube", MakeCubeTool},
    {DrawTool::Sphere, "Sphere", "sphere", "Sphere", 242, "Sphere", MakeSphereTool},
    {DrawTool::Fill, "Fill", "fill", "Fill", 290, "Fill", MakeFillTool},
};

}  // namespace

std::span<const ToolInfo> ToolTable() {
  return Tools;
}

const ToolInfo& ToolInfoOf(DrawTool tool) {
  for (const ToolInfo& t : Tools)
    if (t.Tool == tool) return t;
  return Tools[0];
}
