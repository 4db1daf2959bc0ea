// The tool panel's selection and the mouse in the image box. The tools themselves live
// in editor/tools; this routes the mouse to the chosen one and records the steps it makes.

#include <QCursor>
#include <algorithm>

#include "app/TMainWindow.h"
#include "editor/TImageBox.h"
#include "editor/ToolSlotWidgets.h"
#include "editor/tools/ToolTable.h"

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

// The slice view as the tools see it.
class WindowCanvas final : public ToolCanvas {
 public:
  explicit WindowCanvas(TMainWindow& w) : w_(w) {}
  void PaintCell(int u, int v, std::int32_t colour) override {
    w_.FillCellOnScreen(u, v, colour, false);
  }
  void PaintSliceCell(int u, int v, std::int32_t colour) override {
    const int z = w_.View.Zoom;
    w_.SliceBitmap.FillRect(u * z, v * z, (u + 1) * z, (v + 1) * z, ToPixel(colour));
  }
  void RenderUnshown() override {
    w_.Suppress3DRefresh = true;
    w_.SuppressImagePaint = true;
    w_.Refresh1Click();
    w_.Suppress3DRefresh = false;
    w_.SuppressImagePaint = false;
  }
  void ShowSlice() override { w_.ImageBoxPaint(); }
  void Render() override { w_.Refresh1Click(); }

 private:
  TMainWindow& w_;
};

}  // namespace

DrawingTool* TMainWindow::Tool(DrawTool tool) {
  std::unique_ptr<DrawingTool>& t = tools_[std::size_t(tool)];
  if (!t) {
    if (!canvas_) canvas_ = std::make_unique<WindowCanvas>(*this);
    if (auto make = ToolInfoOf(tool).Make) t = make();
  }
  return t.get();
}

ToolContext TMainWindow::ToolContextNow() {
  if (!canvas_) canvas_ = std::make_unique<WindowCanvas>(*this);
  return ToolContext{Model, View, Planes, *this, *canvas_, EditedGridKind(), Plane()};
}

void TMainWindow::AbandonDrag(bool keepChanges) {
  MouseHeld = false;
  for (auto& t : tools_) {
    if (!t) continue;
    std::unique_ptr<EditStep> step = t->Abandon();
    if (keepChanges) RecordStep(std::move(step));
  }
}

void TMainWindow::FinishDrag() {
  if (MouseHeld) ImageBoxMouseUp(LastButton, 0, 0);
}

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

  // A drag belongs to one press; what an interrupted earlier drag changed is its own step.
  AbandonDrag(true);
  const int px = x / View.Zoom;
  const int py = y / View.Zoom;
  AnchorX = std::uint8_t(ClampTo(px, 256));
  AnchorY = std::uint8_t(ClampTo(py, 256));
  SquareRect = {px, py, px, py};
  HeldValue = button == Qt::RightButton ? View.RightColor : View.LeftColor;
  if (DrawingTool* tool = Tool(CurrentTool)) {
    ToolContext c = ToolContextNow();
    RecordStep(tool->Press(c, px, py));
  }
  LastButton = button;
}

void TMainWindow::ImageBoxMouseMove(int x, int y) {
  if (!Model.IsOpen()) return;
  const PlaneMap plane = Plane();
  const int px = x / View.Zoom;
  const int py = y / View.Zoom;
  PointerX = ClampTo(px, plane.Width());
  PointerY = ClampTo(py, plane.Height());
  const bool inside = PointerX == px && PointerY == py;

  if (inside) {
    // The readouts name the cell's own X, Y and Z, whichever way the model is sliced.
    const ModelCell cell = plane.Cell(PointerX, PointerY, plane.ClampLayer(View.CurrentLayer));
    VoxelReadout(cell.X, cell.Y, cell.Z);
  }
  if (!MouseHeld) return;
  if (DrawingTool* tool = Tool(CurrentTool)) {
    ToolContext c = ToolContextNow();
    tool->Move(c, inside);
  }
}

void TMainWindow::ImageBoxMouseUp(Qt::MouseButton button, int, int) {
  if (!IsDrawingButton(button)) return;
  const bool dragged = MouseHeld;
  MouseHeld = false;
  if (!Model.IsOpen()) return;
  HeldValue = button == Qt::RightButton ? View.RightColor : View.LeftColor;
  bool shown = false;
  if (DrawingTool* tool = Tool(CurrentTool)) {
    ToolContext c = ToolContextNow();
    shown = RecordStep(tool->Release(c, dragged));
  }
  AbandonDrag(true);  // a stroke of another tool, should the tool have changed mid-drag
  // Without a step the render still makes the screen and SliceBitmap agree with the
  // model again, wiping a preview that the drag or an interrupted one left on the screen.
  if (!shown) Refresh1Click();
}

void TMainWindow::FormMouseUp(Qt::MouseButton button, int x, int y) {
  // A release over the bare form ends a press that was made there, never one in the
  // image box (the pressed widget keeps the mouse until release), so no drag is held.
  if (IsDrawingButton(button)) MouseHeld = false;
  ImageBoxMouseUp(button, x, y);
}
