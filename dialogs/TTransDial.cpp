#include "dialogs/TTransDial.h"

#include "app/Forms.h"
#include "app/TMainWindow.h"

TTransDial::TTransDial(QWidget* owner) : TToolWindow(owner, "Transformation Matrix", 318, 97, 374, 354) {}
void TTransDial::ShowTailerValues() {}
void TTransDial::FormClose() { MainWindow->ToolWindowClosed(MainWindow->Matrix1, MainWindow->MatrixButton); }
