#pragma once
// The 3D view: a tool window that shows the edited section turned by three angles. The
// render itself lives in the core (Renderer3D); this form holds the angles, the zoom,
// the render's buffers and the picture on screen. It renders when it is shown, turned
// or asked to, and when the document changes what it shows while it is showing.

#include <QRect>
#include <QWidget>

#include "widgets/TToolWindow.h"
#include "editor/PixelBuffer.h"
#include "view3d/Renderer3D.h"
#include "view3d/ViewPresets.h"

class Document;
class QAction;
class QFrame;
class QMenu;
class QPainter;
class QScrollBar;
class TThreeDWindow;

// Where the whole bitmap is stretched on the paint box: right and bottom exclusive.
struct TViewRect {
  int Left = 0;
  int Top = 0;
  int Right = 448;
  int Bottom = 448;
  explicit operator QRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
  bool operator==(const TViewRect&) const = default;
};

// The paint box: only shows ViewBitmap, never renders.
class TViewPaintBox : public QWidget {
  Q_OBJECT
 public:
  TViewPaintBox(QWidget* parent, TThreeDWindow* form);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TThreeDWindow* form_;
};

class TThreeDWindow : public TToolWindow {
  Q_OBJECT
 public:
  TThreeDWindow(Document& document, QWidget* owner);

  // ViewBitmap, ViewIndexBuffer, DepthBuffer, SineTable: allocated once with the window.
  const View3DBuffers& Buffers() const { return buffers_; }
  // The side of the square the render works in, set by the edited section's extent.
  std::int16_t ViewSpan() const { return viewSpan_; }

  // ---- Controls (objectName = the name used here) ----
  QFrame* ThreeDBox = nullptr;
  TViewPaintBox* PaintBox1 = nullptr;
  QScrollBar* XRotBar = nullptr;
  QScrollBar* YRotBar = nullptr;
  QScrollBar* ZRotBar = nullptr;
  QMenu* RCMenu = nullptr;
  QMenu* Presets1 = nullptr;
  QAction *Preset1, *Preset2, *Preset3, *Preset4;
  QMenu* Zoom1 = nullptr;
  QAction *Size1, *Size2, *Size3, *Size4;
  QAction* Lighting1 = nullptr;  // the voxels lit by their normals; kept while hidden

  // ---- State ----
  bool SuppressRotRefresh = false;
  TViewRect ViewDestRect;
  // The button-face colour when the window was made: the view's background.
  Pixel Background = 0xFF000000u;
  // Renders done so far; lets callers see whether an action rendered or only repainted.
  int RenderCount = 0;

  // ---- Handlers ----
  void RefreshView();
  void PaintBox1Paint(QPainter& painter);
  void XRotBarChange();
  void YRotBarChange();
  void ZRotBarChange();
  void Preset1Click();
  void Preset2Click();
  void Preset3Click();
  void Preset4Click();
  void Size1Click();
  void Size2Click();
  void Size3Click();
  void Size4Click();
  void Lighting1Click();
  // Renders again if the window is showing.
  void RefreshIfShown();

 protected:
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void FollowSection();
  QScrollBar* MakeRotBar(const char* name, const char* accessibleName, int top);
  void ApplyPreset(const ViewAngles& angles);
  void ApplyZoom(QAction* item, int zoom);

  Document& doc_;
  View3DBuffers buffers_;
  std::int16_t viewSpan_ = 0;
};
