// A long read runs off the interface thread: quiet for half a second, then a progress
// dialog whose Cancel asks the read to stop, after which the document is as it was.

#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "model/VxlWriter.h"
#include "support/FormsFixture.h"
#include "widgets/WorkProgress.h"

using namespace kobaltine_test;

class LongLoadTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { StartForms(); }

  void aShortReadShowsNothingALongOneCanBeCancelled() {
    const struct {
      int milliseconds;  // what the work takes unless it is stopped
      bool cancel;       // pressed as soon as the dialog shows
    } cases[] = {{50, false}, {800, false}, {60000, true}};
    for (const auto& c : cases) {
      LoadControl control;
      bool dialogShown = false;
      int shownPermille = -1;
      const auto armed = WhenModal(
          [&](QWidget* d) {
            dialogShown = true;
            auto* dialog = static_cast<QProgressDialog*>(d);
            (void)QTest::qWaitFor([&] { return dialog->value() >= 500; }, 2000);
            shownPermille = dialog->value();
            if (c.cancel) dialog->findChild<QPushButton*>()->click();
          },
          5000, [](QWidget* d) { return d->objectName() == "LoadProgress"; });
      const auto started = std::chrono::steady_clock::now();
      RunWithProgress(Main(), "Opening test.vxl...", control, [&] {
        control.Permille = 500;
        const auto end = started + std::chrono::milliseconds(c.milliseconds);
        while (std::chrono::steady_clock::now() < end && !control.Cancel)
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
      });
      Disarm(armed);
      QCOMPARE(dialogShown, c.milliseconds > 500);
      if (dialogShown) QCOMPARE(shownPermille, 500);
      QCOMPARE(bool(control.Cancel), c.cancel);
      QVERIFY(std::chrono::steady_clock::now() - started < std::chrono::seconds(10));
    }
  }

  // The editor's open goes through it: a file read whole becomes the document.
  void openingReadsOffTheInterfaceThread() {
    QTemporaryDir dir;
    TVoxelModel m;
    m.SizeX = m.SizeY = m.SizeZ = 3;
    m.Colours.at(1, 1, 1) = 9;
    const QString path = dir.filePath("small.vxl");
    QVERIFY(WriteVoxelFile(path.toStdString(), m));
    Main()->LoadVoxelFile(path.toStdString());
    QCOMPARE(Model().Colours.at(1, 1, 1), std::uint8_t(9));
    QCOMPARE(Main()->windowTitle(), QString("small.vxl - Kobaltine"));
  }
};

KOBALTINE_TEST_MAIN(LongLoadTest)
#include "LongLoadTest.moc"
