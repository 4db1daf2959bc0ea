#include "dialogs/TTransDial.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <bit>
#include <cstdio>

#include "dialogs/TValChDial.h"
#include "document/Document.h"
#include "model/DocumentSteps.h"
#include "resources/Artwork.h"
#include "widgets/AccessibleLabels.h"

namespace {
constexpr int kColumnLeft[3] = {3, 111, 219};
constexpr int kCaptionTop[3] = {3, 35, 67};
constexpr int kValueTop[3] = {16, 48, 80};
constexpr int kValueWidth = 80;
constexpr int kValueHeight = 15;
constexpr int kChangeGap = 2;  // between a value label and its button

struct RowDesign {
  const char* captionName;
  const char* caption;
  const char* valueName;
  const char* changeName;
  std::size_t tailerIndex;
  const char* editorCaption;
};

// Column by column: offsets, minimum corner, maximum corner; each X, Y, Z.
constexpr RowDesign kRows[9] = {
    {"Label1", "X Offset:", "Tran5", "Change5", TailerXOffset, "X Offset"},
    {"Label2", "Y Offset", "Tran9", "Change9", TailerYOffset, "Y Offset"},
    {"Label3", "Z Offset:", "Tran13", "Change13", TailerZOffset, "Z Offset"},
    {"Label4", "X Minimum:", "Tran14", "Change14", TailerXMinimum, "X Minimum"},
    {"Label5", "Y Minimum:", "Tran15", "Change15", TailerYMinimum, "Y Minimum"},
    {"Label6", "Z Minimum:", "Tran16", "Change16", TailerZMinimum, "Z Minimum"},
    {"Label7", "X Maximum:", "Tran17", "Change17", TailerXMaximum, "X Maximum"},
    {"Label8", "Y Maximum:", "Tran18", "Change18", TailerYMaximum, "Y Maximum"},
    {"Label9", "Z Maximum:", "Tran19", "Change19", TailerZMaximum, "Z Maximum"},
};

QFrame* Separator(QWidget* parent, const char* name, int left) {
  auto* line = new QFrame(parent);
  line->setObjectName(name);
  line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  line->setGeometry(left, 3, 2, 91);
  return line;
}
}  // namespace

TTransDial::TTransDial(Document& document, QWidget* owner)
    : TToolWindow(owner, "Transformation Matrix", 318, 97, 374, 354), doc_(document) {
  setObjectName("TransDial");
  QFont font("Tahoma");
  font.setPointSize(8);
  setFont(font);

  const QPixmap picture = ArtPixmap(":/pictures/change.svg", QSize(12, 11));
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const RowDesign& d = kRows[i];
    const int left = kColumnLeft[i / 3];
    Row& row = rows_[i];
    row.TailerIndex = d.tailerIndex;
    row.EditorCaption = d.editorCaption;

    row.Caption = new QLabel(d.caption, this);
    row.Caption->setObjectName(d.captionName);
    row.Caption->setGeometry(left, kCaptionTop[i % 3], kValueWidth, 13);

    row.Value = new QLabel("0", this);
    row.Value->setObjectName(d.valueName);
    row.Value->setAlignment(Qt::AlignCenter);
    row.Value->setGeometry(left, kValueTop[i % 3], kValueWidth, kValueHeight);
    NameValueLabel(row.Value, d.editorCaption);  // read as "X Offset", then the value

    row.Change = new QToolButton(this);
    row.Change->setObjectName(d.changeName);
    row.Change->setGeometry(left + kValueWidth + kChangeGap, kValueTop[i % 3], 16, 15);
    row.Change->setIcon(QIcon(picture));
    row.Change->setIconSize(picture.isNull() ? QSize(12, 11) : picture.size());
    row.Change->setFocusPolicy(Qt::NoFocus);  // Tab skips the nine small buttons
    row.Change->setAccessibleName(QString("Change ") + d.editorCaption);
  }
  Label1 = rows_[0].Caption;
  Tran5 = rows_[0].Value;
  Change5 = rows_[0].Change;
  Label2 = rows_[1].Caption;
  Tran9 = rows_[1].Value;
  Change9 = rows_[1].Change;
  Label3 = rows_[2].Caption;
  Tran13 = rows_[2].Value;
  Change13 = rows_[2].Change;
  Label4 = rows_[3].Caption;
  Tran14 = rows_[3].Value;
  Change14 = rows_[3].Change;
  Label5 = rows_[4].Caption;
  Tran15 = rows_[4].Value;
  Change15 = rows_[4].Change;
  Label6 = rows_[5].Caption;
  Tran16 = rows_[5].Value;
  Change16 = rows_[5].Change;
  Label7 = rows_[6].Caption;
  Tran17 = rows_[6].Value;
  Change17 = rows_[6].Change;
  Label8 = rows_[7].Caption;
  Tran18 = rows_[7].Value;
  Change18 = rows_[7].Change;
  Label9 = rows_[8].Caption;
  Tran19 = rows_[8].Value;
  Change19 = rows_[8].Change;

  connect(Change5, &QToolButton::clicked, this, &TTransDial::Change5Click);
  connect(Change9, &QToolButton::clicked, this, &TTransDial::Change9Click);
  connect(Change13, &QToolButton::clicked, this, &TTransDial::Change13Click);
  connect(Change14, &QToolButton::clicked, this, &TTransDial::Change14Click);
  connect(Change15, &QToolButton::clicked, this, &TTransDial::Change15Click);
  connect(Change16, &QToolButton::clicked, this, &TTransDial::Change16Click);
  connect(Change17, &QToolButton::clicked, this, &TTransDial::Change17Click);
  connect(Change18, &QToolButton::clicked, this, &TTransDial::Change18Click);
  connect(Change19, &QToolButton::clicked, this, &TTransDial::Change19Click);

  Bevel1 = Separator(this, "Bevel1", 104);
  Bevel2 = Separator(this, "Bevel2", 212);

  ValChDial = new TValChDial(this);
  connect(&doc_, &Document::replaced, this, &TTransDial::ShowTailerValues);
  connect(&doc_, &Document::editedSectionChanged, this, &TTransDial::ShowTailerValues);
  connect(&doc_, &Document::changed, this, [this](const ChangeSet& changes) {
    if (changes.Has(ChangedTailer) || changes.Has(ChangedSections)) ShowTailerValues();
  });
}

bool TTransDial::event(QEvent* event) {
  // Becoming visible or active shows what the tailer holds now.
  if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) ShowTailerValues();
  return TToolWindow::event(event);
}

void TTransDial::ShowTailerValues() {
  const TVoxelModel& model = doc_.Model();
  for (const Row& row : rows_) {
    std::snprintf(text_, sizeof text_, "%g", double(model.TailerFloat(row.TailerIndex)));
    row.Value->setText(QString::fromLatin1(text_));
  }
}

void TTransDial::EditValue(const Row& row) {
  ValChDial->setWindowTitle(row.EditorCaption);
  ValChDial->NumBox->clear();
  ValChDial->ValueIndex = row.TailerIndex;
  if (ValChDial->exec() != QDialog::Accepted) return;
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(ValChDial->Value());
  // The caption names the value: the step is "X Offset", and so on.
  doc_.Edit([&](TVoxelModel& m) {
    return ChangeTailerValue(m, row.TailerIndex, bits, row.EditorCaption);
  });
}

void TTransDial::Change5Click() {
  EditValue(rows_[0]);
}
void TTransDial::Change9Click() {
  EditValue(rows_[1]);
}
void TTransDial::Change13Click() {
  EditValue(rows_[2]);
}
void TTransDial::Change14Click() {
  EditValue(rows_[3]);
}
void TTransDial::Change15Click() {
  EditValue(rows_[4]);
}
void TTransDial::Change16Click() {
  EditValue(rows_[5]);
}
void TTransDial::Change17Click() {
  EditValue(rows_[6]);
}
void TTransDial::Change18Click() {
  EditValue(rows_[7]);
}
void TTransDial::Change19Click() {
  EditValue(rows_[8]);
}
