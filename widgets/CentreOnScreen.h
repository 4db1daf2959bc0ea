#pragma once
// Places a window in the middle of the screen it is on (the primary screen before it
// has one), for dialogs that open centred on the screen rather than over their owner.

class QWidget;

void CentreOnScreen(QWidget* window);
