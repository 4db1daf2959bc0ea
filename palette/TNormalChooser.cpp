#include "palette/TNormalChooser.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>

#include "model/NormalTables.h"
#include "view3d/NormalSphere.h"

TNormalSphereBox::TNormalSphereBox(QWidget* parent, TNormalChooser* chooser)
    : QWidget(parent), chooser_(chooser) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
}

void TNormalSphereBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Shown in place: the pixels are already 0xFFRRGGBB.
  const QImage image(reinterpret_cast<const uchar*>(Picture.Data()), Picture.Width(),
                     Picture.Height(), qsizetype(Picture.Width()) * qsizetype(sizeof(Pixel)),
                     QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
}

void TNormalSphereBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  chooser_->SphereClicked(p.x(), p.y());
}

TNormalChooser::TNormalChooser(QWidget* parent) : QWidget(parent) {
  setObjectName("NormalPanel");
  setAccessibleName("Normal by direction");

  NormalSphere = new TNormalSphereBox(this, this);
  NormalSphere->setObjectName("NormalSphere");
  NormalSphere->setAccessibleName("Normal sphere");
  NormalSphere->setGeometry(0, 6, SphereWidth, SphereHeight);

  auto label = [this](const char* name, const QString& text, const QRect& place) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setGeometry(place);
    return l;
  };
  NearCaption = label("NearCaption", "Near half, facing up", QRect(0, 168, 160, 16));
  FarCaption = label("FarCaption", "Far half, facing down", QRect(160, 168, 160, 16));
  NearCaption->setAlignment(Qt::AlignCenter);
  FarCaption->setAlignment(Qt::AlignCenter);
  NormalText = label("NormalText", QString(), QRect(2, 194, 318, 16));
  NormalText->setAccessibleName("Chosen normal");
  NormalIndexLabel = label("NormalIndexLabel", "Normal &index:", QRect(2, 222, 90, 16));

  NormalIndex = new QSpinBox(this);
  NormalIndex->setObjectName("NormalIndex");
  NormalIndex->setAccessibleName("Normal index");
  NormalIndex->setGeometry(96, 218, 70, 23);
  NormalIndex->setRange(0, 255);  // in step with the grid, which holds every index
  NormalIndexLabel->setBuddy(NormalIndex);
  connect(NormalIndex, &QSpinBox::valueChanged, this, [this](int value) { emit Picked(value); });

  HintText = label("HintText",
                   "Click the sphere to choose the normal nearest that direction. It is seen "
                   "as the 3D view's Basic View shows the model: x to the right, y down, "
                   "z up towards you.",
                   QRect(2, 250, 318, 64));
  HintText->setWordWrap(true);
  HintText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TNormalChooser::ShowNormal(int normalType, int index) {
  // The sphere is the slow part: drawn again only when the set or the choice changes.
  if (normalType != normalType_ || index != index_ || NormalSphere->Picture.Width() == 0) {
    const Pixel background = Pixel(palette().color(QPalette::Button).rgb()) | 0xFF000000u;
    RenderNormalSphere(normalType, SphereWidth, SphereHeight, background, NormalSphere->Picture,
                       index);
    NormalSphere->update();
  }
  normalType_ = normalType;
  index_ = index;
  const auto table = NormalTable(normalType);
  if (index >= 0 && std::size_t(index) < table.size()) {
    const NormalVector& n = table[std::size_t(index)];
    NormalText->setText(QString::asprintf("Normal %d: (%.2f, %.2f, %.2f)", index, n.X, n.Y, n.Z));
  } else {
    NormalText->setText(
        QString::asprintf("Normal %d: not in the set of %d", index, int(table.size())));
  }
  NormalSphere->setAccessibleDescription(NormalText->text());
  const QSignalBlocker quiet(NormalIndex);
  NormalIndex->setValue(index);
}

void TNormalChooser::SphereClicked(int x, int y) {
  const int index = NormalAtPoint(normalType_, SphereWidth, SphereHeight, x, y);
  if (index >= 0) emit Picked(index);
}
