// The file's sections: choosing the one to edit, and adding, duplicating, removing and
// moving sections. Each change of the list is one step of the history; choosing a
// section is not, like choosing a layer.

#include "app/Forms.h"
#include "app/TMainWindow.h"
#include "dialogs/TNewBox.h"
#include "dialogs/TTransDial.h"
#include "editor/TImageBox.h"
#include "editor/TSectionWindow.h"
#include "model/NewModel.h"
#include "model/SectionSteps.h"

void TMainWindow::ShowEditedSection(bool keepLayer) {
  ShownSection = int(Model.EditedSection());
  // The last layer along the axis of the slices, as opening a file shows.
  if (!keepLayer || View.CurrentLayer >= Plane().Layers())
    View.CurrentLayer = std::max(Plane().Layers() - 1, 0);
  SliceBitmap.Resize(SliceSize().width(), SliceSize().height());
  ImageBox->resize(SliceSize());
  SetLayerRange();
  ViewSpan = ComputeViewSpan(Model);
  ShowName();
  TransDial->ShowTailerValues();
  SectionWindow->ShowSections();
  Refresh1Click();
  RepeatReadout();
}

void TMainWindow::ChooseSection(int index) {
  if (!Model.IsOpen() || index < 0 || std::size_t(index) >= Model.SectionCount()) return;
  if (std::size_t(index) == Model.EditedSection()) return;
  AbandonDrag(true);  // a drag belongs to the section it began in
  Model.SelectSection(std::size_t(index));
  ShowEditedSection();
}

void TMainWindow::AddSectionClick() {
  if (!Model.IsOpen()) return;
  NewBox->Use = TNewBox::Purpose::AddSection;
  NewBox->exec();
  NewBox->Use = TNewBox::Purpose::NewModel;
}

void TMainWindow::AddSectionOfSize(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ) {
  AbandonDrag(true);
  RecordStep(AddSection(Model, sizeX, sizeY, sizeZ, "Add Section"));
}

void TMainWindow::DuplicateSectionClick() {
  if (!Model.IsOpen()) return;
  AbandonDrag(true);
  RecordStep(DuplicateSection(Model, "Duplicate Section"));
}

void TMainWindow::RemoveSectionClick() {
  if (!Model.IsOpen()) return;
  AbandonDrag(true);
  RecordStep(RemoveSection(Model, Model.EditedSection(), "Remove Section"));
}

void TMainWindow::MoveSectionUpClick() {
  if (!Model.IsOpen()) return;
  RecordStep(MoveSectionUp(Model, Model.EditedSection(), "Move Section Up"));
}

void TMainWindow::MoveSectionDownClick() {
  if (!Model.IsOpen()) return;
  RecordStep(MoveSectionDown(Model, Model.EditedSection(), "Move Section Down"));
}
