#pragma once
// The "Sections" tool window: the file's sections, the one being edited chosen among
// them, and the buttons that add, duplicate, remove and move sections. Adding asks for
// a size, which the window's owner does.

#include "widgets/TToolWindow.h"

class Document;
class QListWidget;
class QPushButton;

class TSectionWindow : public TToolWindow {
  Q_OBJECT
 public:
  TSectionWindow(Document& document, QWidget* owner);

  // Lists the sections as "0: BODY (53 x 31 x 20)" with the edited one chosen.
  void ShowSections();

  QListWidget* SectionList = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* DuplicateButton = nullptr;
  QPushButton* RemoveButton = nullptr;
  QPushButton* UpButton = nullptr;
  QPushButton* DownButton = nullptr;

 signals:
  // Add was pressed: the owner asks for the size and adds the section.
  void addRequested();

 private:
  void SectionListChange(int row);
  void DuplicateClick();
  void RemoveClick();
  void MoveUpClick();
  void MoveDownClick();

  Document& doc_;
};
