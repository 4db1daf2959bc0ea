#include "palette/TPaletteDialog.h"

#include <algorithm>

#include <QColorDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>

#include "document/Document.h"
#include "model/DocumentSteps.h"
#include "model/NormalTables.h"
#include "palette/TNormalChooser.h"
#include "widgets/CentreOnScreen.h"
#include "widgets/ModelColour.h"

namespace {
constexpr int kClientWidth = 331;
constexpr int kClientHeight = 369;
constexpr int kCellSide = 20;    // a cell's square in the grid
constexpr int kSwatchSide = 16;  // the swatch inside it, 2 pixels in from each edge
constexpr int kSwatchInset = 2;
constexpr int kGridSide = 16 * kCellSide;

TPaletteCell CellOf(unsigned index) {
  return TPaletteCell{std::uint8_t(index), std::uint8_t(index % 16), std::uint8_t(index / 16)};
}
}  // namespace

// ---- PaintBox1 ----

TPaletteGrid::TPaletteGrid(QWidget* parent, TPaletteDialog* form) : QWidget(parent), form_(form) {
  setObjectName("PaintBox1");
  setAccessibleName("Palette grid");
  setFocusPolicy(Qt::StrongFocus);
}

void TPaletteGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  form_->PaintBox1Paint(painter);
}

void TPaletteGrid::mousePressEvent(QMouseEvent* event) {
  event->accept();
  const QPoint p = event->position().toPoint();
  form_->GetMousePos(p.x(), p.y());
  if (event->button() == Qt::LeftButton) clickPending_ = true;
}

void TPaletteGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !clickPending_) return;
  clickPending_ = false;
  // Like a button: letting go outside the box is no click.
  if (rect().contains(event->position().toPoint())) form_->PaintBox1Click();
}

void TPaletteGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  clickPending_ = false;
  // The first half's click has already made the cell under the pointer the current one.
  if (event->button() == Qt::LeftButton) form_->PaintBox1DblClick();
  // The second press of a double click arrives only as this event.
  const QPoint p = event->position().toPoint();
  form_->GetMousePos(p.x(), p.y());
}

void TPaletteGrid::keyPressEvent(QKeyEvent* event) {
  const TPaletteCell& cell = form_->CurrentCell();
  int column = cell.Index % 16;
  int row = cell.Index / 16;
  switch (event->key()) {
    case Qt::Key_Left:
      column = std::max(column - 1, 0);
      break;
    case Qt::Key_Right:
      column = std::min(column + 1, 15);
      break;
    case Qt::Key_Up:
      row = std::max(row - 1, 0);
      break;
    case Qt::Key_Down:
      row = std::min(row + 1, 15);
      break;
    case Qt::Key_Space:
      event->accept();
      form_->PaintBox1DblClick();
      return;
    default:
      QWidget::keyPressEvent(event);  // Enter and Escape go on to the dialog
      return;
  }
  event->accept();
  // As if the cell's centre had been clicked.
  form_->GetMousePos(column * kCellSide + kCellSide / 2, row * kCellSide + kCellSide / 2);
  form_->PaintBox1Click();
}

// ---- The dialog ----

TPaletteDialog::TPaletteDialog(Document& document, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         // above the stay-on-top tool windows, which would hide its buttons
                         Qt::WindowStaysOnTopHint),
      doc_(document) {
  setObjectName("PaletteDialog");
  setWindowTitle("Palette");
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);

  PaintBox1 = new TPaletteGrid(this, this);
  PaintBox1->setGeometry(6, 6, kGridSide, kGridSide);

  IndexText = new QLabel(this);
  IndexText->setObjectName("IndexText");
  IndexText->setGeometry(8, 332, 150, 16);
  RGBText = new QLabel(this);
  RGBText->setObjectName("RGBText");
  RGBText->setGeometry(8, 348, 150, 16);

  PalOKButton = new QPushButton("&OK", this);
  PalOKButton->setObjectName("PalOKButton");
  PalOKButton->setGeometry(160, 337, 75, 23);
  PalCancelButton = new QPushButton("&Cancel", this);
  PalCancelButton->setObjectName("PalCancelButton");
  PalCancelButton->setGeometry(248, 337, 75, 23);
  connect(PalOKButton, &QPushButton::clicked, this, &TPaletteDialog::PalOKButtonClick);
  connect(PalCancelButton, &QPushButton::clicked, this, &TPaletteDialog::PalCancelButtonClick);

  // The toolkit's own chooser always shows its custom-colour part and takes any colour.
  PalEditDialog = new QColorDialog(this);
  PalEditDialog->setObjectName("PalEditDialog");
  PalEditDialog->setOption(QColorDialog::DontUseNativeDialog, true);

  NormalPanel = new TNormalChooser(this);
  NormalPanel->setGeometry(kClientWidth, 0, TNormalChooser::PanelWidth, kClientHeight);
  NormalPanel->hide();
  connect(NormalPanel, &TNormalChooser::Picked, this, &TPaletteDialog::PickNormal);
  // From the grid to the index, then to the buttons.
  setTabOrder(PaintBox1, NormalPanel->NormalIndex);
  setTabOrder(NormalPanel->NormalIndex, PalOKButton);

  // The normal version decides whether the sphere panel is there and what it shows.
  connect(&doc_, &Document::changed, this, [this](const ChangeSet& changes) {
    if ((changes.Has(ChangedNormalType) || changes.Has(ChangedSections)) && isVisible())
      FollowNormalType();
  });
}

bool TPaletteDialog::ChoosingNormal() const {
  return doc_.NormalsMode() && !EditMode && !NormalTable(doc_.Model().NormalType).empty();
}

void TPaletteDialog::FitToMode() {
  const bool normal = ChoosingNormal();
  setFixedSize(kClientWidth + (normal ? TNormalChooser::PanelWidth : 0), kClientHeight);
  NormalPanel->setVisible(normal);
}

void TPaletteDialog::FollowNormal() {
  if (NormalPanel->isVisibleTo(this))
    NormalPanel->ShowNormal(doc_.Model().NormalType, CurrentCell().Index);
}

void TPaletteDialog::FollowNormalType() {
  FitToMode();
  FollowNormal();
}

void TPaletteDialog::PickNormal(int index) {
  const TPaletteCell cell = CellOf(unsigned(index) & 0xFFu);
  GetMousePos(cell.Column * kCellSide + kCellSide / 2, cell.Row * kCellSide + kCellSide / 2);
  PaintBox1Click();
}

void TPaletteDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored by the window manager is no new opening: taking the backup again
  // would lose the edits made before it was minimised.
  if (event->spontaneous()) return;
  FitToMode();
  CentreOnScreen(this);
  FormActivate();
}

void TPaletteDialog::accept() {
  PalOKButtonClick();
}

// Escape, and a close from the window manager, cancel like the Cancel button: the dialog
// has no close box, and nothing may end it without putting the palette back.
void TPaletteDialog::reject() {
  PalCancelButtonClick();
}

std::uint8_t TPaletteDialog::CurrentValue() const {
  return doc_.DrawingValue(SelectRightColor);
}

const PaletteRGB& TPaletteDialog::ShownPalette() const {
  return EditMode ? EditedPalette : doc_.Model().Palette;
}

std::int32_t TPaletteDialog::SwatchColour(int index) const {
  if (doc_.NormalsMode() && !EditMode) return Grey(unsigned(index));
  return ShownPalette()[std::size_t(index)];
}

void TPaletteDialog::ShowCellTexts(const char* notAvailable) {
  const std::uint8_t index = CurrentCell().Index;
  IndexText->setText(QString::asprintf("Palette Index: %d", int(index)));
  PaintBox1->setAccessibleDescription(IndexText->text());  // the framed cell, for screen readers
  if (!doc_.NormalsMode() || EditMode) {
    const std::int32_t e = ShownPalette()[index];
    RGBText->setText(
        QString::asprintf("Colour: %d, %d, %d", int(RedOf(e)), int(GreenOf(e)), int(BlueOf(e))));
  } else {
    RGBText->setText(notAvailable);
  }
}

void TPaletteDialog::FormActivate() {
  CurrentCell() = CellOf(CurrentValue());
  if (EditMode) EditedPalette = doc_.Model().Palette;
  ShowCellTexts("Colour: N/A");
  FollowNormal();
  PaintBox1->update();
}

void TPaletteDialog::PaintBox1Paint(QPainter& painter) {
  painter.fillRect(PaintBox1->rect(), palette().color(QPalette::Button));
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c)
      painter.fillRect(c * kCellSide + kSwatchInset, r * kCellSide + kSwatchInset, kSwatchSide,
                       kSwatchSide, ModelColour(SwatchColour(r * 16 + c)));
  // One pixel along the inside edge of the cell's square, in the margin around its swatch.
  const TPaletteCell& cell = CurrentCell();
  const int x = cell.Column * kCellSide;
  const int y = cell.Row * kCellSide;
  painter.fillRect(x, y, kCellSide, 1, Qt::black);
  painter.fillRect(x, y + kCellSide - 1, kCellSide, 1, Qt::black);
  painter.fillRect(x, y, 1, kCellSide, Qt::black);
  painter.fillRect(x + kCellSide - 1, y, 1, kCellSide, Qt::black);
}

void TPaletteDialog::GetMousePos(int x, int y) {
  ClickPos = QPoint(x, y);
}

void TPaletteDialog::PaintBox1Click() {
  // A press can only come from inside the box, but keep the cell on the grid whatever
  // position is stored.
  const int column = std::clamp(ClickPos.x() / kCellSide, 0, 15);
  const int row = std::clamp(ClickPos.y() / kCellSide, 0, 15);
  CurrentCell() = CellOf(unsigned(row * 16 + column));
  ShowCellTexts("Color: N/A");
  FollowNormal();
  PaintBox1->update();
}

void TPaletteDialog::PaintBox1DblClick() {
  if (EditMode) {
    const std::uint8_t index = CurrentCell().Index;
    PalEditDialog->setCurrentColor(ModelColour(EditedPalette[index]));
    // A cancelled chooser keeps its starting colour, so the entry stays as it was.
    if (PalEditDialog->exec() == QDialog::Accepted) {
      const QColor chosen = PalEditDialog->currentColor();
      // Shown live in the dialog; OK turns all of the dialog's edits into one step.
      EditedPalette[index] =
          PackRGB(unsigned(chosen.red()), unsigned(chosen.green()), unsigned(chosen.blue()));
    }
    PaintBox1->update();
  }
  ShowCellTexts("Colour: N/A");
}

void TPaletteDialog::PalOKButtonClick() {
  doc_.SetDrawingValue(SelectRightColor, CurrentCell().Index);
  done(QDialog::Accepted);
  if (EditMode) {
    // Every entry changed while the dialog was open makes one step.
    const PaletteRGB edited = EditedPalette;
    doc_.Edit([&](TVoxelModel& m) { return ChangePalette(m, edited, "Edit Palette"); });
  }
  EditMode = false;
}

void TPaletteDialog::PalCancelButtonClick() {
  // Column and row follow at the next opening.
  CurrentCell().Index = CurrentValue();
  EditMode = false;
  done(QDialog::Rejected);
}
