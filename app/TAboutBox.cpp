#include "app/TAboutBox.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "resources/Artwork.h"

namespace {
QFont ArialFont(int pixelHeight, bool bold, bool italic) {
  QFont f("Arial");
  f.setPixelSize(pixelHeight);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

// Width the text takes on screen, an italic's overhang past its last advance included.
int InkWidth(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  const QRect ink = metrics.boundingRect(text);
  return qMax(metrics.horizontalAdvance(text), ink.right() + 1) - qMin(0, ink.left());
}

// The large font when the name fits the label in it, else the largest that does: the
// one word cannot wrap, and a substitute for Arial may be wider than Arial itself.
QFont FittedFont(QFont font, const QString& text, int width) {
  while (font.pixelSize() > 8 && InkWidth(font, text) > width)
    font.setPixelSize(font.pixelSize() - 1);
  return font;
}
}  // namespace

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("About");
  setFixedSize(316, 185);
  move(190, 102);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Panel1->setLineWidth(1);
  Panel1->setGeometry(8, 8, 164, 124);
  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(2, 2, 160, 120);
  Image1->setPixmap(ArtPixmap(":/pictures/about.svg", QSize(160, 120)));
  Image1->setFocusPolicy(Qt::NoFocus);
  Image1->setAccessibleName("A stepped pile of voxels");

  Label1 = new QLabel("Kobaltine", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(188, 8, 114, 108);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setFont(
      FittedFont(ArialFont(32, true, true), Label1->text(), Label1->contentsRect().width()));
  Label1->setStyleSheet("color: black");

  Label2 = new QLabel("Version 0.091", this);
  Label2->setObjectName("Label2");
  Label2->move(188, 118);
  Label2->setFont(ArialFont(11, false, true));
  Label2->setStyleSheet("color: blue");
  Label2->adjustSize();

  Label3 = new QLabel("Made for voxel artists.", this);
  Label3->setObjectName("Label3");
  Label3->move(8, 164);
  Label3->setFont(ArialFont(11, true, false));
  Label3->setStyleSheet("color: black");
  Label3->adjustSize();

  OKBut = new QPushButton("OK", this);
  OKBut->setObjectName("OKBut");
  OKBut->setGeometry(235, 155, 75, 23);
  OKBut->setDefault(true);
  connect(OKBut, &QPushButton::clicked, this, &TAboutBox::OKButClick);
}

void TAboutBox::OKButClick() {
  accept();
}
