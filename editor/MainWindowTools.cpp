// The tool panel's selection and the mouse in the image box: pen, filled rectangle and
// flood fill on the current layer of the grid being shown.

#include <QCursor>
#include <algorithm>

#include "app/TMainWindow.h"
#include "editor/TImageBox.h"
#include "editor/ToolSlotWidgets.h"

namespace {

// Only the left and right buttons draw; the middle and any extra buttons are ignored
// everywhere, so that a stray middle click can neither edit nor mark the model changed.
bool IsDrawingButton(Qt::MouseButton button) {
  return button == Qt::LeftButton || button == Qt::RightButton;
}

int ClampTo(int v, int size) {
  if (v >= size) return size - 1;
  if (v < 0) return 0;
  return v;
}

bool CoversRect(const VoxelRect& outer, const VoxelRect& inner) {
  return outer.X0 <= inner.X0 && outer.Y0 <= inner.Y0 && outer.X1 >= inner.X1 &&
         outer.Y1 >= inner.Y1;
}

}  // namespace

// ---- Tool selection ----

void TMainWindow::SelectTool(DrawTool tool) {
  for (TToolSlot& s : ToolSlots) s.Select->setVisible(s.Tool == tool);
  ImageBox->setCursor(CursorFor(tool));
  CurrentTool = tool;
}

void TMainWindow::SelectSphere() {
  SelectTool(DrawTool::Sphere);
}
void TMainWindow::SelectCube() {
  SelectTool(DrawTool::Cube);
}
void TMainWindow::SelectCircle() {
  SelectTool(DrawTool::Circle);
}
void TMainWindow::SelectSquare() {
  SelectTool(DrawTool::Square);
}
void TMainWindow::SelectFreehand() {
  SelectTool(DrawTool::Freehand);
}
void TMainWindow::SelectFill() {
  SelectTool(DrawTool::Fill);
}
void TMainWindow::SelectPaint() {
  SelectTool(DrawTool::Paint);
}

// ---- Mouse in the image box ----

void TMainWindow::ImageBoxMouseDown(Qt::MouseButton button, int x, int y) {
  if (!IsDrawingButton(button) || !Model.IsOpen()) return;
  // Save follows the history: a press enables it only by changing something.

  const int px = x / View.Zoom;
  const int py = y / View.Zoom;
  AnchorX = std::uint8_t(ClampTo(px, 256));
  AnchorY = std::uint8_t(ClampTo(py, 256));
  SquareRect = {px, py, px, py};
  // A drag belongs to one press; whatever an interrupted earlier drag left behind is gone.
  MouseHeld = false;
  if (Stroke) RecordStep(Stroke->Finish());
  Stroke.reset();

  const std::uint8_t value = button == Qt::RightButton ? View.RightColor : View.LeftColor;
  const bool inside = px >= 0 && px < Model.SizeX && py >= 0 && py < Model.SizeY;
  switch (CurrentTool) {
    case DrawTool::Square:
      PointerX = ClampTo(px, Model.SizeX);
      PointerY = ClampTo(py, Model.SizeY);
      MouseHeld = true;
      FillCellOnScreen(
          PointerX, PointerY,
          PreviewColour(Model, View, Planes, unsigned(PointerX), unsigned(PointerY), value), false);
      break;
    case DrawTool::Freehand:
      if (!inside) break;
      PointerX = px;
      PointerY = py;
      MouseHeld = true;
      // The whole stroke, press to release, is one step.
      Stroke = std::make_unique<CellEdit>(Model, LayerBox(Model, View.CurrentLayer), "Pen stroke");
      Stroke->Set(EditedGridKind(), px, py, View.CurrentLayer, value);
      // The screen only: the render at release brings SliceBitmap up to date.
      FillCellOnScreen(
          px, py, PreviewColour(Model, View, Planes, unsigned(px), unsigned(py), value), false);
      break;
    case DrawTool::Paint:
      PointerX = px;
      PointerY = py;
      FillValue = value;
      {
        CellEdit fill(Model, LayerBox(Model, View.CurrentLayer), "Flood fill");
        FloodFillLayer(fill.Grid(EditedGridKind()), Model.SizeX, Model.SizeY, View.CurrentLayer,
                       px, py, FillValue, FloodWork);
        RecordStep(fill.Finish());
      }
      // Rendered even when the start cell already held the value.
      Refresh1Click();
      break;
    case DrawTool::Sphere:
    case DrawTool::Cube:
    case DrawTool::Circle:
    case DrawTool::Fill:
      break;
  }
  LastButton = button;
}

void TMainWindow::ImageBoxMouseMove(int x, int y) {
  if (!Model.IsOpen()) return;
  const int px = x / View.Zoom;
  const int py = y / View.Zoom;
  PointerX = ClampTo(px, Model.SizeX);
  PointerY = ClampTo(py, Model.SizeY);
  const bool inside = PointerX == px && PointerY == py;

  if (inside) VoxelReadout(PointerX, PointerY, View.CurrentLayer);
  if (!MouseHeld) return;

  const std::uint8_t value = LastButton == Qt::RightButton ? View.RightColor : View.LeftColor;
  if (CurrentTool == DrawTool::Square) {
    const VoxelRect old = SquareRect;
    const int ax = ClampTo(AnchorX, Model.SizeX);
    const int ay = ClampTo(AnchorY, Model.SizeY);
    SquareRect = {std::min(ax, PointerX), std::min(ay, PointerY), std::max(ax, PointerX),
                  std::max(ay, PointerY)};
    if (!CoversRect(SquareRect, old)) {
      // Wipe the larger preview from SliceBitmap without showing the bare layer.
      Suppress3DRefresh = true;
      SuppressImagePaint = true;
      Refresh1Click();
      Suppress3DRefresh = false;
      SuppressImagePaint = false;
    }
    const int z = View.Zoom;
    for (int cy = SquareRect.Y0; cy <= SquareRect.Y1; ++cy)
      for (int cx = SquareRect.X0; cx <= SquareRect.X1; ++cx)
        SliceBitmap.FillRect(
            cx * z, cy * z, (cx + 1) * z, (cy + 1) * z,
            ToPixel(PreviewColour(Model, View, Planes, unsigned(cx), unsigned(cy), value)));
    ImageBoxPaint();
  } else if (CurrentTool == DrawTool::Freehand && inside) {
    // One cell per move event: a fast stroke may leave gaps.
    if (Stroke) Stroke->Set(EditedGridKind(), PointerX, PointerY, View.CurrentLayer, value);
    FillCellOnScreen(
        PointerX, PointerY,
        PreviewColour(Model, View, Planes, unsigned(PointerX), unsigned(PointerY), value), false);
  }
}

void TMainWindow::ImageBoxMouseUp(Qt::MouseButton button, int, int) {
  if (!IsDrawingButton(button)) return;
  const bool dragging = MouseHeld;
  MouseHeld = false;
  if (!Model.IsOpen()) return;
  // Only a square drag that this release ends may write; a release with no press before
  // it must never apply a rectangle left over from earlier.
  if (CurrentTool == DrawTool::Square && dragging) {
    const std::uint8_t value = button == Qt::RightButton ? View.RightColor : View.LeftColor;
    const VoxelRect r = SquareRect;
    const int x0 = ClampTo(r.X0, Model.SizeX), y0 = ClampTo(r.Y0, Model.SizeY);
    const int x1 = ClampTo(r.X1, Model.SizeX), y1 = ClampTo(r.Y1, Model.SizeY);
    const int z = ClampTo(View.CurrentLayer, Model.SizeZ);
    CellEdit rect(Model, CellBox{x0, y0, z, x1, y1, z}, "Filled rectangle");
    FillRectOnLayer(rect.Grid(EditedGridKind()), x0, y0, x1, y1, z, value);
    RecordStep(rect.Finish());
  }
  if (Stroke) RecordStep(Stroke->Finish());
  Stroke.reset();
  // The render makes the screen, SliceBitmap and the 3D view agree with the model again,
  // also wiping a preview that an interrupted drag left on the screen.
  Refresh1Click();
}

void TMainWindow::FormMouseUp(Qt::MouseButton button, int x, int y) {
  // A release over the bare form ends a press that was made there, never one in the
  // image box (the pressed widget keeps the mouse until release), so no drag is held.
  if (IsDrawingButton(button)) MouseHeld = false;
  ImageBoxMouseUp(button, x, y);
}
