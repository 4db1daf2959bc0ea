// The slice view's commands: render, paint, zoom, display modes and the underlay.

#include <QAction>
#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>
#include <cstring>

#include "app/Forms.h"
#include "app/TMainWindow.h"
#include "editor/TColorBox.h"
#include "editor/TImageBox.h"
#include "view3d/TThreeDWindow.h"

void TMainWindow::Refresh1Click() {
  RenderSlice(Model, View, Planes, SliceBitmap);
  if (!SuppressImagePaint) ImageBoxPaint();
  LeftColorBox->SetFill(DrawingValueColour(View.LeftColor), View.LeftColor);
  RightColorBox->SetFill(DrawingValueColour(View.RightColor), View.RightColor);
  ImageBox->resize(SliceSize());
  if (!Suppress3DRefresh && ThreeDWindow != nullptr && ThreeDWindow->isVisible())
    ThreeDWindow->RefreshView();
}

void TMainWindow::RefreshWithout3D() {
  Suppress3DRefresh = true;
  Refresh1Click();
  Suppress3DRefresh = false;
}

void TMainWindow::ImageBoxPaint() {
  const int w = SliceBitmap.Width();
  const int h = SliceBitmap.Height();
  if (ScreenImage.width() != w || ScreenImage.height() != h)
    ScreenImage = QImage(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    std::memcpy(ScreenImage.scanLine(y), SliceBitmap.Row(y), std::size_t(w) * sizeof(Pixel));
  ImageBox->update();
}

GridKind TMainWindow::EditedGridKind() const {
  return View.NormalsMode ? GridKind::Normals : GridKind::Colours;
}

std::int32_t TMainWindow::DrawingValueColour(std::uint8_t value) const {
  return View.NormalsMode ? NormalIndexColour(Model, View, value) : Model.Palette[value];
}

void TMainWindow::FillCellOnScreen(int x, int y, std::int32_t colour, bool alsoSliceBitmap) {
  const int z = View.Zoom;
  const Pixel p = ToPixel(colour);
  const QRect cell(x * z, y * z, z, z);
  const QRect onScreen = cell.intersected(ScreenImage.rect());
  for (int row = onScreen.top(); row <= onScreen.bottom(); ++row) {
    auto* line = reinterpret_cast<Pixel*>(ScreenImage.scanLine(row));
    std::fill(line + onScreen.left(), line + onScreen.right() + 1, p);
  }
  if (alsoSliceBitmap)
    SliceBitmap.FillRect(cell.left(), cell.top(), cell.left() + z, cell.top() + z, p);
  ImageBox->update(onScreen);
}

namespace {
void SetZoomItems(TMainWindow& w) {
  // ZoomIn1 and MaxZoom1 exactly when Zoom < 16; ZoomOut1 and NormSize1 when Zoom > 1.
  w.ZoomIn1->setEnabled(w.View.Zoom < 16);
  w.MaxZoom1->setEnabled(w.View.Zoom < 16);
  w.ZoomOut1->setEnabled(w.View.Zoom > 1);
  w.NormSize1->setEnabled(w.View.Zoom > 1);
}

// Where the user looks along one axis, in cells: the centre of the part of the picture
// that is visible. A picture smaller than the view is seen whole, so its own centre
// counts, not the view's, which lies off the picture. The pixel at that centre keeps its
// place within its cell.
double SeenCentre(int offset, int seen, int picture, int zoom) {
  const double spot = offset + std::min(seen, picture) / 2 + 0.5;
  return std::clamp(spot, 0.0, double(std::max(picture, 1)) - 0.5) / zoom;
}

// The scroll offset that puts that spot, scaled by the new zoom, back at the centre of
// the visible area; the scroll bar cuts it to its range.
int CentredOffset(double spot, int seen, int zoom) {
  return int(spot * zoom) - seen / 2;
}

void ApplyZoom(TMainWindow& w, int zoom) {
  QScrollBar* h = w.MainView->horizontalScrollBar();
  QScrollBar* v = w.MainView->verticalScrollBar();
  const QSize oldSeen = w.MainView->viewport()->size();
  const QSize oldPicture = w.SliceSize();
  const int oldZoom = w.View.Zoom;
  const double spotX = SeenCentre(h->value(), oldSeen.width(), oldPicture.width(), oldZoom);
  const double spotY = SeenCentre(v->value(), oldSeen.height(), oldPicture.height(), oldZoom);
  w.View.Zoom = zoom < 1 ? 1 : (zoom > 16 ? 16 : zoom);
  SetZoomItems(w);
  w.SliceBitmap.Resize(w.SliceSize().width(), w.SliceSize().height());
  w.RefreshWithout3D();
  // The scroll area shows or hides its bars for the new size in a queued call; let it
  // run now, so that the centre is taken in the visible area the user will see.
  QCoreApplication::sendPostedEvents(w.MainView, QEvent::MetaCall);
  const QSize seen = w.MainView->viewport()->size();
  h->setValue(CentredOffset(spotX, seen.width(), w.View.Zoom));
  v->setValue(CentredOffset(spotY, seen.height(), w.View.Zoom));
}
}  // namespace

void TMainWindow::ZoomIn1Click() {
  ApplyZoom(*this, View.Zoom + 1);
}
void TMainWindow::ZoomOut1Click() {
  ApplyZoom(*this, View.Zoom - 1);
}
void TMainWindow::NormSize1Click() {
  ApplyZoom(*this, 1);
}
void TMainWindow::MaxZoom1Click() {
  ApplyZoom(*this, 16);
}

void TMainWindow::Colors2Click() {
  // The menu's radio group has already moved its check; NormalsMode is the record.
  if (View.NormalsMode) View.NormalsMode = false;
  Colors2->setChecked(true);
  ColorBut->setChecked(true);
  Normals1->setChecked(false);
  DirectionColours1->setEnabled(false);
  RefreshWithout3D();
}

void TMainWindow::Normals1Click() {
  Normals1->setChecked(true);
  NormalBut->setChecked(true);
  Colors2->setChecked(false);
  View.NormalsMode = true;
  DirectionColours1->setEnabled(true);
  RefreshWithout3D();
}

void TMainWindow::HideUnderLay1Click() {
  View.UnderlayHidden = !View.UnderlayHidden;
  HideUnderLay1->setChecked(View.UnderlayHidden);
  HideUnderBut->setChecked(View.UnderlayHidden);
  RefreshWithout3D();
}
