#include "view3d/TThreeDWindow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>

#include "document/Document.h"
#include "model/NewModel.h"

TViewPaintBox::TViewPaintBox(QWidget* parent, TThreeDWindow* form) : QWidget(parent), form_(form) {
  // Every pixel is painted from the bitmap; nothing needs clearing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TViewPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  form_->PaintBox1Paint(painter);
}

TThreeDWindow::TThreeDWindow(Document& document, QWidget* owner)
    : TToolWindow(owner, "3D View", 180, 240, 457, 199), doc_(document) {
  setObjectName("ThreeDWindow");
  Background = Pixel(palette().color(QPalette::Button).rgb()) | 0xFF000000u;

  ThreeDBox = new QFrame(this);
  ThreeDBox->setObjectName("ThreeDBox");
  ThreeDBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ThreeDBox->setLineWidth(1);
  ThreeDBox->setGeometry(4, 4, 174, 174);
  // A frame's children would paint over its border, so the paint box sits in a client
  // area inside the border, which also clips it; its position counts from there.
  auto* client = new QWidget(ThreeDBox);
  client->setObjectName("ThreeDBoxClient");
  client->setGeometry(ThreeDBox->contentsRect());

  PaintBox1 = new TViewPaintBox(client, this);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setAccessibleName("3D view");
  PaintBox1->setGeometry(-137, -137, ViewSide, ViewSide);

  XRotBar = MakeRotBar("XRotBar", "X rotation", 182);
  YRotBar = MakeRotBar("YRotBar", "Y rotation", 202);
  ZRotBar = MakeRotBar("ZRotBar", "Z rotation", 222);
  connect(XRotBar, &QScrollBar::valueChanged, this, &TThreeDWindow::XRotBarChange);
  connect(YRotBar, &QScrollBar::valueChanged, this, &TThreeDWindow::YRotBarChange);
  connect(ZRotBar, &QScrollBar::valueChanged, this, &TThreeDWindow::ZRotBarChange);

  RCMenu = new QMenu(this);
  RCMenu->setObjectName("RCMenu");
  Presets1 = RCMenu->addMenu("&Presets");
  Presets1->setObjectName("Presets1");
  auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                        void (TThreeDWindow::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, handler);
    return item;
  };
  Preset1 = addItem(Presets1, "Preset1", "&1 - Basic View", &TThreeDWindow::Preset1Click);
  Preset2 = addItem(Presets1, "Preset2", "&2 - Face Foreward", &TThreeDWindow::Preset2Click);
  Preset3 = addItem(Presets1, "Preset3", "&3 - Side View", &TThreeDWindow::Preset3Click);
  Preset4 = addItem(Presets1, "Preset4", "4 - TS Cameo", &TThreeDWindow::Preset4Click);
  Zoom1 = RCMenu->addMenu("&Zoom");
  Zoom1->setObjectName("Zoom1");
  Size1 = addItem(Zoom1, "Size1", "&1x", &TThreeDWindow::Size1Click);
  Size2 = addItem(Zoom1, "Size2", "&2x", &TThreeDWindow::Size2Click);
  Size3 = addItem(Zoom1, "Size3", "&3x", &TThreeDWindow::Size3Click);
  Size4 = addItem(Zoom1, "Size4", "&4x", &TThreeDWindow::Size4Click);
  for (QAction* item : {Size1, Size2, Size3, Size4}) item->setCheckable(true);
  Size1->setChecked(true);
  RCMenu->addSeparator();
  Lighting1 = addItem(RCMenu, "Lighting1", "&Lighting", &TThreeDWindow::Lighting1Click);
  Lighting1->setCheckable(true);

  connect(&doc_, &Document::replaced, this, &TThreeDWindow::FollowSection);
  connect(&doc_, &Document::editedSectionChanged, this, &TThreeDWindow::FollowSection);
  connect(&doc_, &Document::changed, this, [this](const ChangeSet& changes) {
    if (changes.Has(ChangedSections))
      FollowSection();
    else if (changes.Has(ChangedCells) || changes.Has(ChangedPalette) ||
             changes.Has(ChangedNormalType))
      RefreshIfShown();
  });
}

void TThreeDWindow::FollowSection() {
  // The square must fit the section before the render.
  viewSpan_ = ComputeViewSpan(doc_.Model());
  RefreshIfShown();
}

void TThreeDWindow::RefreshIfShown() {
  if (isVisible()) RefreshView();
}

QScrollBar* TThreeDWindow::MakeRotBar(const char* name, const char* accessibleName, int top) {
  auto* bar = new QScrollBar(Qt::Horizontal, this);
  bar->setObjectName(name);
  bar->setAccessibleName(accessibleName);
  bar->setGeometry(4, top, 174, 16);
  bar->setRange(0, 255);
  bar->setSingleStep(1);
  bar->setPageStep(32);
  bar->setValue(0);
  bar->setToolTip(QString("%1: 0").arg(QChar(name[0])));
  // Reachable with Tab, so the keys can turn the model; a click does not move the focus.
  bar->setFocusPolicy(Qt::TabFocus);
  // A scroll bar brings its own menu; a right click on it opens the window's menu instead.
  bar->setContextMenuPolicy(Qt::NoContextMenu);
  return bar;
}

void TThreeDWindow::RefreshView() {
  RenderView(doc_.Model(), XRotBar->value(), YRotBar->value(), ZRotBar->value(), viewSpan_,
             Background, buffers_, Lighting1->isChecked());
  ++RenderCount;
  PaintBox1->update();
}

void TThreeDWindow::PaintBox1Paint(QPainter& painter) {
  const PixelBuffer& bitmap = buffers_.ViewBitmap;
  // Shown in place: the pixels are already 0xFFRRGGBB.
  const QImage image(reinterpret_cast<const uchar*>(bitmap.Data()), bitmap.Width(), bitmap.Height(),
                     qsizetype(bitmap.Width()) * qsizetype(sizeof(Pixel)), QImage::Format_RGB32);
  // Whole multiples only: plain pixel replication, no smoothing.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(ViewDestRect), image);
}

void TThreeDWindow::XRotBarChange() {
  XRotBar->setToolTip(QString::asprintf("X: %i", XRotBar->value()));
  if (!SuppressRotRefresh) RefreshView();
}

void TThreeDWindow::YRotBarChange() {
  YRotBar->setToolTip(QString::asprintf("Y: %i", YRotBar->value()));
  if (!SuppressRotRefresh) RefreshView();
}

void TThreeDWindow::ZRotBarChange() {
  ZRotBar->setToolTip(QString::asprintf("Z: %i", ZRotBar->value()));
  if (!SuppressRotRefresh) RefreshView();
}

void TThreeDWindow::ApplyPreset(const ViewAngles& angles) {
  // One render for the whole preset, not one per scroll bar that moves.
  SuppressRotRefresh = true;
  XRotBar->setValue(angles.X);
  YRotBar->setValue(angles.Y);
  ZRotBar->setValue(angles.Z);
  SuppressRotRefresh = false;
  RefreshView();
}

void TThreeDWindow::Preset1Click() {
  ApplyPreset(ViewPresets[0]);
}
void TThreeDWindow::Preset2Click() {
  ApplyPreset(ViewPresets[1]);
}
void TThreeDWindow::Preset3Click() {
  ApplyPreset(ViewPresets[2]);
}
void TThreeDWindow::Preset4Click() {
  ApplyPreset(ViewPresets[3]);
}

void TThreeDWindow::ApplyZoom(QAction* item, int zoom) {
  // The bitmap point (224, 224) stays at the paint box's point (224, 224).
  const int half = 224 * zoom;
  ViewDestRect = TViewRect{224 - half, 224 - half, 224 + half, 224 + half};
  for (QAction* size : {Size1, Size2, Size3, Size4}) size->setChecked(size == item);
  PaintBox1->update();
}

void TThreeDWindow::Size1Click() {
  ApplyZoom(Size1, 1);
}
void TThreeDWindow::Size2Click() {
  ApplyZoom(Size2, 2);
}
void TThreeDWindow::Size3Click() {
  ApplyZoom(Size3, 3);
}
void TThreeDWindow::Size4Click() {
  ApplyZoom(Size4, 4);
}

void TThreeDWindow::Lighting1Click() {
  // The menu has already moved the check mark.
  RefreshView();
}

void TThreeDWindow::showEvent(QShowEvent* event) {
  TToolWindow::showEvent(event);
  // Only when the window is shown by the program; a restore by the window system
  // shows the picture it already has.
  if (!event->spontaneous()) RefreshView();
}

void TThreeDWindow::contextMenuEvent(QContextMenuEvent* event) {
  // Reached from the panel, the paint box and the scroll bars too: they pass it up.
  RCMenu->popup(event->globalPos());
  event->accept();
}
