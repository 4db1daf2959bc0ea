#pragma once
// The palette dialog: a 16 x 16 grid of the model's palette that either chooses a
// drawing value for one mouse button or, opened for editing, changes single entries
// with the colour chooser. Edits are made on a copy of the palette, which OK makes one
// step of the document's history; Cancel drops it.

#include <QDialog>
#include <QPoint>
#include <cstdint>

#include "model/VoxelModel.h"

class Document;
class QColorDialog;
class QLabel;
class QPushButton;
class TNormalChooser;
class TPaletteDialog;

// A cell of the grid: index = Row * 16 + Column.
struct TPaletteCell {
  std::uint8_t Index = 0;
  std::uint8_t Column = 0;
  std::uint8_t Row = 0;
};

// PaintBox1: draws the grid and turns mouse input into the dialog's handlers.
class TPaletteGrid : public QWidget {
  Q_OBJECT
 public:
  TPaletteGrid(QWidget* parent, TPaletteDialog* form);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The keyboard's way through the grid: the arrow keys click the neighbouring cell,
  // Space double-clicks the current one (edits it in edit mode).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TPaletteDialog* form_;
  // A left press inside the box that its release may turn into a click. The press that
  // makes a double click arrives as the double-click event and never sets it, so the
  // release that ends a double click is not a click.
  bool clickPending_ = false;
};

class TPaletteDialog : public QDialog {
  Q_OBJECT
 public:
  TPaletteDialog(Document& document, QWidget* owner);

  // ---- Controls (objectName = the name used here) ----
  TPaletteGrid* PaintBox1 = nullptr;
  QLabel* IndexText = nullptr;
  QLabel* RGBText = nullptr;
  QPushButton* PalOKButton = nullptr;
  QPushButton* PalCancelButton = nullptr;
  QColorDialog* PalEditDialog = nullptr;
  // Beside the grid, only while a normal of the model's set is being chosen; the dialog
  // is widened for it then and has its own size otherwise.
  TNormalChooser* NormalPanel = nullptr;

  // ---- State ----
  bool SelectRightColor = false;  // which drawing value OK sets: right when true
  bool EditMode = false;          // open for palette editing
  QPoint ClickPos;                // last press in PaintBox1
  TPaletteCell LeftCell;
  TPaletteCell RightCell;
  PaletteRGB EditedPalette{};  // the entries as edited while the dialog is open

  // The cell of the drawing value this dialog serves.
  TPaletteCell& CurrentCell() { return SelectRightColor ? RightCell : LeftCell; }
  // A drawing value is chosen in normals display and the model has a normal set.
  bool ChoosingNormal() const;
  // The model's normal version changed while the dialog is open: the sphere panel comes
  // or goes and shows the set of the new version.
  void FollowNormalType();

  // ---- Handlers ----
  void FormActivate();
  void PaintBox1Paint(QPainter& painter);
  void GetMousePos(int x, int y);
  void PaintBox1Click();
  void PaintBox1DblClick();
  void PalOKButtonClick();
  void PalCancelButtonClick();

  // Every way of closing the dialog runs one of the two button handlers.
  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::uint8_t CurrentValue() const;
  // The palette the grid shows: the one being edited, or the model's.
  const PaletteRGB& ShownPalette() const;
  // IndexText and RGBText for the current cell; notAvailable when no colour applies.
  void ShowCellTexts(const char* notAvailable);
  std::int32_t SwatchColour(int index) const;
  // The size and panels of the mode the dialog opens in.
  void FitToMode();
  // The normal panel shows the current cell.
  void FollowNormal();
  // A normal picked on the panel: chosen as a click on its grey cell would choose it.
  void PickNormal(int index);

  Document& doc_;
};
