#pragma once
// The "Sections" tool window: the file's sections, the one being edited chosen among
// them, and the buttons that add, duplicate, remove and move sections.

#include "app/TToolWindow.h"

class QListWidget;
class QPushButton;

class TSectionWindow : public TToolWindow {
  Q_OBJECT
 public:
  explicit TSectionWindow(QWidget* owner);
  void FormClose() override;

  // Lists the sections as "0: BODY (53 x 31 x 20)" with the edited one chosen.
  void ShowSections();

  QListWidget* SectionList = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* DuplicateButton = nullptr;
  QPushButton* RemoveButton = nullptr;
  QPushButton* UpButton = nullptr;
  QPushButton* DownButton = nullptr;

 private:
  void SectionListChange(int row);
};
