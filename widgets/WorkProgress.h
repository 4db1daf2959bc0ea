#pragma once
// Long reads run off the interface thread: the window waits for them as for any command
// for half a second, then shows how far they are, with a Cancel that asks them to stop.

#include <QString>
#include <functional>

#include "model/VxlReader.h"

class QWidget;

// Runs work on another thread and returns once it has ended. After half a second a
// modal progress dialog (objectName "LoadProgress") shows control's Permille and label;
// its Cancel, Escape or close box sets control.Cancel, which the work may or may not
// heed: the caller learns of it from control.Cancel and drops what the work made.
void RunWithProgress(QWidget* owner, const QString& label, LoadControl& control,
                     const std::function<void()>& work);
