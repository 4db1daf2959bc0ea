#pragma once
// The application's own message dialogs with one, two or three buttons. The caller
// fills in the text and the button labels, shows the dialog modally and reads
// DialogResult: the number of the button that last closed it.

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QPushButton;

class TButtonDial : public QDialog {
  Q_OBJECT
 public:
  QLabel* Text = nullptr;
  int DialogResult = 0;

 protected:
  TButtonDial(QWidget* owner, const std::vector<int>& buttonLefts);
  QPushButton* Button(int number) const { return buttons_.at(std::size_t(number - 1)); }
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

// The application's one message box: the message and a single button.
void ShowMessageDialog(const QString& message, const QString& buttonLabel = QStringLiteral("&OK"));
