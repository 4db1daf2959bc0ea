#include "app/KobaltineApplication.h"

#include <QMessageBox>
#include <exception>

#include "app/Accessibility.h"
#include "app/JournalNotices.h"

KobaltineApplication::KobaltineApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Kobaltine");
  setApplicationVersion("0.091");
  InstallAccessibility();
  InstallJournalNotices();
}

bool KobaltineApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowStandardError(QString::fromLocal8Bit(e.what()));
    return false;
  }
}

void ShowStandardError(const QString& message) {
  QMessageBox box(QMessageBox::Critical, "Kobaltine", message + ".", QMessageBox::Ok);
  box.setObjectName("StandardErrorBox");
  box.exec();
}

void ShowTopLevelError(const QString& message) {
  QMessageBox notice(QMessageBox::NoIcon, "Kobaltine", TopLevelErrorNotice, QMessageBox::Ok);
  notice.setObjectName("TopLevelErrorNotice");
  notice.exec();
  ShowStandardError(message);
}
