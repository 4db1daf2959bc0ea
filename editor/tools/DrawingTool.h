#pragma once
// A drawing tool of the tool panel: what a press, the moves of a drag and the release
// do to the model and to what the slice view shows meanwhile. Each tool is one file in
// this folder and one line of the tool table (ToolTable.h); the main window only routes
// the mouse to the chosen tool.
//
// Tools work in the plane of the current orientation: positions are plane cells (u, v)
// of the current layer, which the plane map turns into model cells.

#include <cstdint>
#include <memory>

#include "editor/DrawOps.h"
#include "editor/Orientation.h"
#include "editor/SliceRender.h"
#include "editor/ToolCells.h"
#include "editor/Tools.h"
#include "model/CellPatch.h"
#include "model/EditStep.h"

// The tool state the main window keeps. Pointer, anchor and rectangle are plane cells.
struct ToolState {
  DrawTool CurrentTool = DrawTool::Freehand;
  bool MouseHeld = false;  // a drag of a drawing button is under way
  std::uint8_t AnchorX = 0;
  std::uint8_t AnchorY = 0;
  VoxelRect SquareRect;
  int PointerX = 0;
  int PointerY = 0;
  std::uint8_t FillValue = 0;
  std::uint8_t HeldValue = 0;  // the drawing value of the button that started the drag
  FloodFillWork FloodWork;     // MarkPlane and the fill's stack
};

// What a tool may ask of the slice view while it works; cells are plane cells.
class ToolCanvas {
 public:
  virtual ~ToolCanvas() = default;
  // A cell's square on the screen only; the render after the drag brings SliceBitmap along.
  virtual void PaintCell(int u, int v, std::int32_t colour) = 0;
  // A cell's square in SliceBitmap, shown at the next ShowSlice.
  virtual void PaintSliceCell(int u, int v, std::int32_t colour) = 0;
  // Renders SliceBitmap afresh without showing it and without the 3D view.
  virtual void RenderUnshown() = 0;
  // Copies SliceBitmap to the screen.
  virtual void ShowSlice() = 0;
  // The full render, with the 3D view when it is showing.
  virtual void Render() = 0;
};

struct ToolContext {
  TVoxelModel& Model;
  const SliceViewState& View;
  const SlicePlanes& Planes;
  ToolState& State;
  ToolCanvas& Canvas;
  GridKind Grid;   // the grid being shown, which the tools edit
  PlaneMap Plane;  // the slicing the view shows

  int Layer() const { return View.CurrentLayer; }
  // The current layer of the current orientation, drawn with value.
  PlaneTarget Target(std::uint8_t value) const { return {View.Orientation, Layer(), Grid, value}; }
  // What plane cell (u, v) would show with value drawn into it.
  std::int32_t Preview(int u, int v, std::uint8_t value) const {
    return PreviewColour(Model, View, Planes, unsigned(u), unsigned(v), value);
  }
  bool Inside(int u, int v) const { return Plane.Inside(u, v); }
};

class DrawingTool {
 public:
  virtual ~DrawingTool() = default;
  // A press of a drawing button over plane cell (pu, pv), which may lie outside the plane.
  // Anchor, SquareRect and HeldValue are set; the tool sets MouseHeld for a drag. Each
  // of these returns the step it made, if it made one then.
  virtual std::unique_ptr<EditStep> Press(ToolContext& c, int pu, int pv) = 0;
  // A move while the drag is held; PointerX and PointerY are clamped into the plane and
  // inside tells whether they had to be.
  virtual void Move(ToolContext&, bool /*inside*/) {}
  // The release; dragged tells whether this release ends a held drag.
  virtual std::unique_ptr<EditStep> Release(ToolContext&, bool /*dragged*/) { return nullptr; }
  // A drag that ends without its release (another press, a new document): what it has
  // already changed, as a step.
  virtual std::unique_ptr<EditStep> Abandon() { return nullptr; }
};
