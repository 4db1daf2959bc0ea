#include "dialogs/TNewBox.h"
TNewBox::TNewBox(QWidget* owner) : QDialog(owner) { setWindowTitle("New"); }
