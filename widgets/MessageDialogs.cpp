#include "widgets/MessageDialogs.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <memory>


namespace {
constexpr int kClientWidth = 256;
constexpr int kClientHeight = 72;
constexpr int kTextLineHeight = 17;
}  // namespace

TButtonDial::TButtonDial(QWidget* owner, const std::vector<int>& buttonLefts)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("Kobaltine");
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  Text = new QLabel("Text", this);
  Text->setObjectName("Text");
  Text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Text->setWordWrap(true);
  Text->setGeometry(8, 8, 240, kTextLineHeight);
  // Created right to left so that the tab order runs from the rightmost button.
  buttons_.resize(buttonLefts.size());
  for (int i = int(buttonLefts.size()) - 1; i >= 0; --i) {
    auto* b = new QPushButton(QString("Button%1").arg(i + 1), this);
    b->setObjectName(QString("Button%1").arg(i + 1));
    b->setGeometry(buttonLefts[std::size_t(i)], 40, 72, 23);
    b->setAutoDefault(false);
    b->setDefault(false);
    connect(b, &QPushButton::clicked, this, [this, i] { ButtonClick(i + 1); });
    buttons_[std::size_t(i)] = b;
  }
  for (std::size_t i = buttons_.size(); i > 1; --i) setTabOrder(buttons_[i - 1], buttons_[i - 2]);
}

void TButtonDial::showEvent(QShowEvent* event) {
  // A message longer than one line grows the dialog instead of being cut off. The label
  // measures no less than its minimum height, which the previous message fixed: drop it.
  Text->setMinimumHeight(0);
  const int needed = Text->heightForWidth(240);
  const int textHeight = needed > kTextLineHeight ? needed : kTextLineHeight;
  Text->setFixedHeight(textHeight);
  const int extra = textHeight - kTextLineHeight;
  setFixedSize(kClientWidth, kClientHeight + extra);
  for (QPushButton* b : buttons_) b->move(b->x(), 40 + extra);
  QDialog::showEvent(event);
  buttons_.back()->setFocus(Qt::OtherFocusReason);
}

void TButtonDial::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:  // no cancel button: Escape leaves the dialog open
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:  // no default button: Enter presses the focused one
      for (QPushButton* b : buttons_) {
        if (b->hasFocus()) {
          b->click();
          event->accept();
          return;
        }
      }
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TButtonDial::closeEvent(QCloseEvent* event) {
  // Only a button closes the dialog, so that DialogResult always says which one did.
  event->ignore();
}

void TButtonDial::ButtonClick(int number) {
  DialogResult = number;
  done(QDialog::Accepted);
}

TSingleButDial::TSingleButDial(QWidget* owner) : TButtonDial(owner, {92}) {
  setObjectName("SingleButDial");
  Button1 = Button(1);
}

TDoubleButDial::TDoubleButDial(QWidget* owner) : TButtonDial(owner, {52, 132}) {
  setObjectName("DoubleButDial");
  Button1 = Button(1);
  Button2 = Button(2);
}

TTripleButDial::TTripleButDial(QWidget* owner) : TButtonDial(owner, {12, 92, 172}) {
  setObjectName("TripleButDial");
  Button1 = Button(1);
  Button2 = Button(2);
  Button3 = Button(3);
}

namespace {
// The window a dialog belongs to, so that it opens above it and its tool windows.
QWidget* OwnerWindow(QWidget* owner) {
  return owner != nullptr ? owner->window() : nullptr;
}
}  // namespace

void ShowMessageDialog(QWidget* owner, const QString& message, const QString& buttonLabel) {
  TSingleButDial dialog(OwnerWindow(owner));
  dialog.Text->setText(message);
  dialog.Button1->setText(buttonLabel);
  dialog.exec();
}

int AskWithButtons(QWidget* owner, const QString& question, const QStringList& buttonLabels) {
  std::unique_ptr<TButtonDial> dialog;
  if (buttonLabels.size() >= 3)
    dialog = std::make_unique<TTripleButDial>(OwnerWindow(owner));
  else
    dialog = std::make_unique<TDoubleButDial>(OwnerWindow(owner));
  dialog->Text->setText(question);
  for (qsizetype i = 0; i < buttonLabels.size() && i < 3; ++i)
    dialog->Button(int(i) + 1)->setText(buttonLabels[i]);
  dialog->exec();
  return dialog->DialogResult;
}
