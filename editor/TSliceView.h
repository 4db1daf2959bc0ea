#pragma once
// The slice view (MainView): a scroll box holding the image box, which shows the current
// layer of the document enlarged, with its underlay, and takes the mouse for the drawing
// tools. It owns what it shows (the render, the screen image, the planes), its own
// display choices (zoom, underlay, direction colours) and the tools with their drag
// state. It follows the document's signals and writes the model only through steps.

#include <QImage>
#include <QScrollArea>
#include <array>
#include <memory>

#include "editor/PixelBuffer.h"
#include "editor/SliceRender.h"
#include "editor/tools/DrawingTool.h"

class Document;
class TImageBox;
struct ChangeSet;

class TSliceView : public QScrollArea {
  Q_OBJECT

 public:
  TSliceView(Document& document, QWidget* parent);
  ~TSliceView() override;

  TImageBox* ImageBox() const { return imageBox_; }

  // ---- What it shows ----
  int Zoom() const { return zoom_; }
  // 1 to 16; the cell at the centre of the part of the picture in view stays there.
  void SetZoom(int zoom);
  bool UnderlayHidden() const { return underlayHidden_; }
  void SetUnderlayHidden(bool hidden);
  // Normals mode shows each coloured voxel's normal by the colour of its direction.
  bool DirectionColours() const { return directionColours_; }
  void SetDirectionColours(bool on);
  // The view state the render reads: the document's choices and the view's own.
  const SliceViewState& ViewState() const;
  const PixelBuffer& SliceBitmap() const { return sliceBitmap_; }
  const QImage& ScreenImage() const { return screenImage_; }
  // The picture's size in pixels: the plane's width and height times Zoom.
  QSize SliceSize() const;
  // The fill of a colour box for a drawing value: grey (or the direction colour) in
  // normals mode, else the palette colour.
  std::int32_t DrawingValueColour(std::uint8_t value) const;
  // Renders the current layer and shows it.
  void Refresh();

  // ---- Tools ----
  void SelectTool(DrawTool tool);
  DrawTool CurrentTool() const { return state_.CurrentTool; }
  const ToolState& Tools() const { return state_; }
  Qt::MouseButton LastButton() const { return lastButton_; }
  // The image box's mouse, in its pixels.
  void ImageBoxMouseDown(Qt::MouseButton button, int x, int y);
  void ImageBoxMouseMove(int x, int y);
  void ImageBoxMouseUp(Qt::MouseButton button, int x, int y);
  // A release over the bare main form.
  void FormMouseUp(Qt::MouseButton button, int x, int y);

  // ---- The current layer through the system clipboard ----
  void Cut();
  void Copy();
  void Paste();
  // The clipboard holds a layer or a picture, as it last announced.
  bool ClipboardHasLayer() const { return clipboardHasLayer_; }

 signals:
  // After every render: the colour boxes show the drawing values in its colours.
  void rendered();
  void zoomChanged(int zoom);
  // The model cell under the pointer, when it is inside the model.
  void cellUnderPointer(int x, int y, int z);
  void clipboardChanged();

 private:
  friend class SliceCanvas;
  void Render(bool show);
  void ImageBoxPaint();
  void FillCellOnScreen(int u, int v, std::int32_t colour);
  void Resized();  // the picture takes the plane's size
  void Changed(const ChangeSet& changes);
  DrawingTool* Tool(DrawTool tool);
  ToolContext ToolContextNow();
  void SetHeld(bool held);
  void FinishDrag();
  void AbandonDrag(bool keepChanges);
  GridKind EditedGridKind() const;
  void WatchClipboard();

  Document& doc_;
  TImageBox* imageBox_ = nullptr;
  int zoom_ = 8;
  bool underlayHidden_ = false;
  bool directionColours_ = false;
  mutable SliceViewState view_;
  SlicePlanes planes_;
  PixelBuffer sliceBitmap_;  // the last render
  QImage screenImage_;       // what the image box shows: the render and the previews
  ToolState state_;
  Qt::MouseButton lastButton_ = Qt::LeftButton;
  std::array<std::unique_ptr<DrawingTool>, 8> tools_;  // by DrawTool value; null: none
  std::unique_ptr<ToolCanvas> canvas_;
  bool clipboardHasLayer_ = false;
};
