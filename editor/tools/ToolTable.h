#pragma once
// The tool panel's tools, in panel order: names, pictures, cursors and the tool itself.
// A new tool is a file in this folder and its line in ToolTable.cpp.

#include <memory>
#include <span>

#include "editor/tools/DrawingTool.h"

struct ToolInfo {
  DrawTool Tool;
  const char* Name;    // "Freehand": FreehandRAButton, FreehandRAButtonB, FreehandSelect
  const char* Art;     // the panel pictures: "freehand"
  const char* Spoken;  // what assistive technology reads: "Freehand pen"
  int Top;             // the slot's place in the panel
  const char* Cursor;  // the image box's cursor while it is chosen: "Pen"
  std::unique_ptr<DrawingTool> (*Make)();  // null: the slot cannot be chosen yet
};

std::span<const ToolInfo> ToolTable();
const ToolInfo& ToolInfoOf(DrawTool tool);

std::unique_ptr<DrawingTool> MakePenTool();
std::unique_ptr<DrawingTool> MakeSquareTool();
std::unique_ptr<DrawingTool> MakePaintTool();
std::unique_ptr<DrawingTool> MakeCircleTool();
std::unique_ptr<DrawingTool> MakeCubeTool();
std::unique_ptr<DrawingTool> MakeSphereTool();
std::unique_ptr<DrawingTool> MakeFillTool();
