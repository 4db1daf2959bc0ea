#include "dialogs/TValChDial.h"
TValChDial::TValChDial(QWidget* owner) : QDialog(owner) { setWindowTitle("ValChDial"); }
