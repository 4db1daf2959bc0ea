#include "editor/TStatBox.h"

#include <QFont>
#include <QFrame>
#include <QLabel>

#include "document/Document.h"
#include "widgets/AccessibleLabels.h"

namespace {
constexpr int kClientWidth = 129;
constexpr int kClientHeight = 97;
constexpr int kBevelHeight = 24;
constexpr int kLabelHeight = 15;

// spokenName is what a screen reader calls the reading; the label's text is the value.
QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top,
                  int width, const char* spokenName) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setGeometry(left, top, width, kLabelHeight);
  NameValueLabel(label, spokenName);
  return label;
}
}  // namespace

TStatBox::TStatBox(Document& document, QWidget* owner)
    : TToolWindow(owner, "Statistics", kClientWidth, kClientHeight, 461, 320), doc_(document) {
  setObjectName("StatBox");
  // Small type, so that "I: 255" fits left of the panel and "Y: 255" in its 40 pixels.
  QFont small = font();
  small.setPointSize(8);
  setFont(small);

  // Bottom-aligned bevel whose only line is its top edge; created first so that the
  // position labels lie on top of it.
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameShape(QFrame::NoFrame);
  Bevel1->setGeometry(0, kClientHeight - kBevelHeight, kClientWidth, kBevelHeight);
  auto* line = new QFrame(Bevel1);
  line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  line->setGeometry(0, 0, kClientWidth, 2);

  RedText = MakeLabel(this, "RedText", "R: N/A", 8, 8, 46, "Red");
  GreenText = MakeLabel(this, "GreenText", "G: N/A", 8, 24, 46, "Green");
  BlueText = MakeLabel(this, "BlueText", "B: N/A", 9, 40, 45, "Blue");
  IndexText = MakeLabel(this, "IndexText", "I: N/A", 13, 56, 41, "Palette index");
  XText = MakeLabel(this, "XText", "X: N/A", 9, 80, 40, "X position");
  YText = MakeLabel(this, "YText", "Y: N/A", 49, 80, 40, "Y position");
  ZText = MakeLabel(this, "ZText", "Z: N/A", 89, 80, 40, "Z position");

  ColorPanel = new QFrame(this);
  ColorPanel->setObjectName("ColorPanel");
  ColorPanel->setGeometry(56, 12, 65, 53);
  ColorPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
  ColorPanel->setLineWidth(1);
  ColorPanel->setAutoFillBackground(true);
  ColorPanel->setAccessibleName("Colour under the pointer");

  connect(&doc_, &Document::changed, this, [this] { RepeatReadout(); });
  connect(&doc_, &Document::editedSectionChanged, this, [this] { RepeatReadout(); });
}
