#pragma once
// The application object: reports an error that escapes an event handler in the
// standard error box and lets work go on.

#include <QApplication>
#include <QString>

class KobaltineApplication : public QApplication {
  Q_OBJECT
 public:
  KobaltineApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The standard error box: titled "Kobaltine", the message and a full stop, error icon.
void ShowStandardError(const QString& message);

// An error that escaped start-up: the notice, then the standard error box.
void ShowTopLevelError(const QString& message);

inline constexpr const char* TopLevelErrorNotice =
    "An error has occured. You may still be able to continue working. Please take note of the "
    "following message...";
