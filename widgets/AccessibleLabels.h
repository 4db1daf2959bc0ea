#pragma once
// Labels that assistive technology reads as a value: the caption as the name, the text
// as the value ("X Offset", "0.5").

class QLabel;
class QString;

// Makes a label a value label: name is its caption ("X Offset"), its text the value.
void NameValueLabel(QLabel* label, const QString& name);
