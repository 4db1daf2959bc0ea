#include "dialogs/TPropWindow.h"
TPropWindow::TPropWindow(QWidget* owner) : QDialog(owner) { setWindowTitle("Properties"); }
