#include "widgets/AccessibleLabels.h"

#include <QAccessible>
#include <QLabel>

void NameValueLabel(QLabel* label, const QString& name) {
  label->setAccessibleName(name);
  // A label announces its first text while it is being made, and the interface resolved
  // then is the toolkit's own, which hides the text behind the name. Drop it so that the
  // next query makes a value label's interface.
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label);
  if (iface != nullptr && iface->textInterface() == nullptr)
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}
