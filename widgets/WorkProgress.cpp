#include "widgets/WorkProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <chrono>
#include <exception>
#include <future>

void RunWithProgress(QWidget* owner, const QString& label, LoadControl& control,
                     const std::function<void()>& work) {
  std::future<void> done = std::async(std::launch::async, work);
  if (done.wait_for(std::chrono::milliseconds(500)) == std::future_status::ready) {
    done.get();  // an error of the work is the caller's, as if it had run here
    return;
  }
  QProgressDialog dialog(label, "Cancel", 0, 1000, owner);
  dialog.setObjectName("LoadProgress");
  dialog.setWindowTitle("Kobaltine");
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setMinimumDuration(0);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  QEventLoop loop;
  QObject::connect(&dialog, &QProgressDialog::canceled, [&control, &dialog] {
    control.Cancel = true;
    dialog.setLabelText("Cancelling...");
    dialog.setCancelButton(nullptr);  // a second press has nothing left to stop
  });
  QTimer poll;
  poll.setInterval(30);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    dialog.setValue(control.Permille.load());
    if (done.wait_for(std::chrono::seconds(0)) == std::future_status::ready) loop.quit();
  });
  poll.start();
  dialog.show();
  loop.exec();
  poll.stop();
  dialog.hide();
  done.get();
}
