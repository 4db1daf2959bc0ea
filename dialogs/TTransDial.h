#pragma once
// The Transformation Matrix tool window: the three offsets and the two bound corners of
// the edited section's tailer, each with a small button that opens the value editor. A
// value typed there is one step of the document's history.

#include <array>
#include <cstddef>

#include "widgets/TToolWindow.h"

class Document;
class QFrame;
class QLabel;
class QToolButton;
class TValChDial;

class TTransDial : public TToolWindow {
  Q_OBJECT
 public:
  TTransDial(Document& document, QWidget* owner);

  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  QLabel *Tran5, *Tran9, *Tran13, *Tran14, *Tran15, *Tran16, *Tran17, *Tran18, *Tran19;
  QToolButton *Change5, *Change9, *Change13, *Change14, *Change15, *Change16, *Change17, *Change18,
      *Change19;
  QFrame* Bevel1 = nullptr;
  QFrame* Bevel2 = nullptr;
  TValChDial* ValChDial = nullptr;  // the value editor, made with the window

  // Writes the nine values into their labels; also the window's activation handler.
  void ShowTailerValues();

  void Change5Click();
  void Change9Click();
  void Change13Click();
  void Change14Click();
  void Change15Click();
  void Change16Click();
  void Change17Click();
  void Change18Click();
  void Change19Click();

 protected:
  bool event(QEvent* event) override;

 private:
  struct Row {
    QLabel* Caption;
    QLabel* Value;
    QToolButton* Change;
    std::size_t TailerIndex;
    const char* EditorCaption;
  };
  // Opens the value editor for one row and returns when it closes.
  void EditValue(const Row& row);
  Document& doc_;
  std::array<Row, 9> rows_{};
  char text_[24] = {};  // each value is formatted here before it goes to its label
};
