// The slice view's tools: the mouse in the image box routed to the chosen tool, and the
// steps it makes recorded in the document. The tools themselves live in editor/tools.

#include <algorithm>

#include "document/Document.h"
#include "editor/TImageBox.h"
#include "editor/TSliceView.h"
#include "editor/tools/ToolTable.h"
#include "resources/Artwork.h"

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

}  // namespace

// The slice view as the tools see it.
class SliceCanvas final : public ToolCanvas {
 public:
  explicit SliceCanvas(TSliceView& view) : view_(view) {}
  void PaintCell(int u, int v, std::int32_t colour) override {
    view_.FillCellOnScreen(u, v, colour);
  }
  void PaintSliceCell(int u, int v, std::int32_t colour) override {
    const int z = view_.zoom_;
    view_.sliceBitmap_.FillRect(u * z, v * z, (u + 1) * z, (v + 1) * z, ToPixel(colour));
  }
  void RenderUnshown() override { view_.Render(false); }
  void ShowSlice() override { view_.ImageBoxPaint(); }
  void Render() override { view_.Render(true); }

 private:
  TSliceView& view_;
};

DrawingTool* TSliceView::Tool(DrawTool tool) {
  std::unique_ptr<DrawingTool>& t = tools_[std::size_t(tool)];
  if (!t)
    if (auto make = ToolInfoOf(tool).Make) t = make();
  return t.get();
}

GridKind TSliceView::EditedGridKind() const {
  return doc_.NormalsMode() ? GridKind::Normals : GridKind::Colours;
}

ToolContext TSliceView::ToolContextNow() {
  if (!canvas_) canvas_ = std::make_unique<SliceCanvas>(*this);
  return ToolContext{doc_.DraftModel(), ViewState(), planes_,     state_,
                     *canvas_,          EditedGridKind(), doc_.Plane()};
}

void TSliceView::SetHeld(bool held) {
  state_.MouseHeld = held;
  doc_.SetDragHeld(held);
}

void TSliceView::AbandonDrag(bool keepChanges) {
  SetHeld(false);
  for (auto& t : tools_) {
    if (!t) continue;
    std::unique_ptr<EditStep> step = t->Abandon();
    if (keepChanges) doc_.Record(std::move(step));
  }
}

void TSliceView::FinishDrag() {
  if (state_.MouseHeld) ImageBoxMouseUp(lastButton_, 0, 0);
}

void TSliceView::SelectTool(DrawTool tool) {
  imageBox_->setCursor(ArtCursor(ToolInfoOf(tool).Cursor));
  state_.CurrentTool = tool;
}

// ---- Mouse in the image box ----

void TSliceView::ImageBoxMouseDown(Qt::MouseButton button, int x, int y) {
  if (!IsDrawingButton(button) || !doc_.IsOpen()) return;
  // Save follows the history: a press enables it only by changing something.

  // A drag belongs to one press; what an interrupted earlier drag changed is its own step.
  AbandonDrag(true);
  const int px = x / zoom_;
  const int py = y / zoom_;
  state_.AnchorX = std::uint8_t(ClampTo(px, 256));
  state_.AnchorY = std::uint8_t(ClampTo(py, 256));
  state_.SquareRect = {px, py, px, py};
  state_.HeldValue = doc_.DrawingValue(button == Qt::RightButton);
  if (DrawingTool* tool = Tool(state_.CurrentTool)) {
    ToolContext c = ToolContextNow();
    std::unique_ptr<EditStep> step = tool->Press(c, px, py);
    SetHeld(state_.MouseHeld);  // the tool says whether a drag begins
    doc_.Record(std::move(step));
  }
  lastButton_ = button;
}

void TSliceView::ImageBoxMouseMove(int x, int y) {
  if (!doc_.IsOpen()) return;
  const PlaneMap plane = doc_.Plane();
  const int px = x / zoom_;
  const int py = y / zoom_;
  state_.PointerX = ClampTo(px, plane.Width());
  state_.PointerY = ClampTo(py, plane.Height());
  const bool inside = state_.PointerX == px && state_.PointerY == py;

  if (inside) {
    // The readouts name the cell's own X, Y and Z, whichever way the model is sliced.
    const ModelCell cell =
        plane.Cell(state_.PointerX, state_.PointerY, plane.ClampLayer(doc_.CurrentLayer()));
    emit cellUnderPointer(cell.X, cell.Y, cell.Z);
  }
  if (!state_.MouseHeld) return;
  if (DrawingTool* tool = Tool(state_.CurrentTool)) {
    ToolContext c = ToolContextNow();
    tool->Move(c, inside);
  }
}

void TSliceView::ImageBoxMouseUp(Qt::MouseButton button, int, int) {
  if (!IsDrawingButton(button)) return;
  const bool dragged = state_.MouseHeld;
  SetHeld(false);
  if (!doc_.IsOpen()) return;
  state_.HeldValue = doc_.DrawingValue(button == Qt::RightButton);
  bool shown = false;
  if (DrawingTool* tool = Tool(state_.CurrentTool)) {
    ToolContext c = ToolContextNow();
    shown = doc_.Record(tool->Release(c, dragged));
  }
  AbandonDrag(true);  // a stroke of another tool, should the tool have changed mid-drag
  // Without a step the render still makes the screen and SliceBitmap agree with the
  // model again, wiping a preview that the drag or an interrupted one left on the screen.
  if (!shown) Render(true);
}

void TSliceView::FormMouseUp(Qt::MouseButton button, int x, int y) {
  // A release over the bare form ends a press that was made there, never one in the
  // image box (the pressed widget keeps the mouse until release), so no drag is held.
  if (IsDrawingButton(button)) SetHeld(false);
  ImageBoxMouseUp(button, x, y);
}
