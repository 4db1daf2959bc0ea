#pragma once
// Small helpers for the window-owned file dialogs.

#include <string>

class QFileDialog;

// Shows the dialog modally; true with the chosen path when the user accepted it.
bool RunFileDialog(QFileDialog* dialog, std::string& path);

// Empties the dialog's file name field, so that it opens with an empty name next time.
void ClearFileName(QFileDialog* dialog);

// The text of the dialog's file name field.
std::string FileNameFieldText(QFileDialog* dialog);

// Closes the name field's completion list whenever the dialog closes, however it closes:
// left floating over the main window, the list would swallow the next click.
void CloseCompletionWithDialog(QFileDialog* dialog);
