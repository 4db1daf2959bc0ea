#include "app/JournalNotices.h"

#include <QApplication>
#include <QMetaObject>
#include <QString>
#include <cstdio>
#include <string>

#include "model/SaveJournal.h"
#include "widgets/MessageDialogs.h"

namespace {

void QueueNotice(const std::string& text) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) {  // before the application or after it: no dialog can show it
    std::fprintf(stderr, "%s\n", text.c_str());
    return;
  }
  const QString message = QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
  QMetaObject::invokeMethod(
      app, [message] { ShowMessageDialog(QApplication::activeWindow(), message); },
      Qt::QueuedConnection);
}

}  // namespace

void InstallJournalNotices() {
  SetJournalNoticeHook(QueueNotice);
}
