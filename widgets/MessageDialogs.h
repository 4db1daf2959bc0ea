#pragma once
// The application's own message dialogs with one, two or three buttons, and the two
// functions that show them: a message with one button, or a question whose answer is the
// number of the button pressed.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QLabel;
class QPushButton;

class TButtonDial : public QDialog {
  Q_OBJECT
 public:
  QLabel* Text = nullptr;
  int DialogResult = 0;
  QPushButton* Button(int number) const { return buttons_.at(std::size_t(number - 1)); }

 protected:
  TButtonDial(QWidget* owner, const std::vector<int>& buttonLefts);
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ButtonClick(int number);
  std::vector<QPushButton*> buttons_;
};

class TSingleButDial : public TButtonDial {
  Q_OBJECT
 public:
  explicit TSingleButDial(QWidget* owner);
  QPushButton* Button1;
};

class TDoubleButDial : public TButtonDial {
  Q_OBJECT
 public:
  explicit TDoubleButDial(QWidget* owner);
  QPushButton *Button1, *Button2;
};

class TTripleButDial : public TButtonDial {
  Q_OBJECT
 public:
  explicit TTripleButDial(QWidget* owner);
  QPushButton *Button1, *Button2, *Button3;
};

// The application's one message box: the message and a single button, shown modally
// over owner's window.
void ShowMessageDialog(QWidget* owner, const QString& message,
                       const QString& buttonLabel = QStringLiteral("&OK"));

// A question with two or three buttons, labelled left to right; the number (from 1) of
// the button that closed it.
int AskWithButtons(QWidget* owner, const QString& question, const QStringList& buttonLabels);
