#pragma once
// Shared pieces of the dialog tests: models written with the editor's writer and opened
// through the main window (so they arrive titled, as a user's file would), and a watcher
// for the one-button message box.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "widgets/MessageDialogs.h"
#include "app/TMainWindow.h"
#include "dialogs/TNewBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"
#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"
#include "support/FormsFixture.h"

namespace dialog_test {

// A small model with a voxel in it, its name set to all 16 bytes of `name` (or fewer,
// then zero-filled), changed further by `adjust`, written to dir/fileName and opened.
// Returns false when the file cannot be written or read back.
inline bool OpenWrittenModel(const QTemporaryDir& dir, const char* fileName, const char* name,
                             const std::function<void(TVoxelModel&)>& adjust = {}) {
  auto model = std::make_unique<TVoxelModel>();
  ResetNewModel(*model, 6, 5, 4);
  model->Colours.at(1, 1, 1) = 12;
  model->Normals.at(1, 1, 1) = 3;
  model->Name.fill(0);
  std::memcpy(model->Name.data(), name, std::min<std::size_t>(std::strlen(name), 16));
  model->NormalType = 4;
  if (adjust) adjust(*model);
  const std::string path = dir.filePath(fileName).toStdString();
  if (!WriteVoxelFile(path, *model)) return false;
  // A file the reader refuses would block the test in a message box: check it first.
  auto probe = std::make_unique<TVoxelModel>();
  if (ReadVoxelFile(path, *probe) != LoadStatus::Ok) return false;
  kobaltine_test::Main()->LoadVoxelFile(path);
  return kobaltine_test::Doc().FilePath() == path;
}

// While it lives, presses OK on every message box that opens and records its text; a
// test arms one around the action that may show a message, so nothing stays blocked.
class MessageCatcher {
 public:
  MessageCatcher() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal->objectName() == "SingleButDial" && modal->isVisible()) {
        Texts << modal->findChild<QLabel*>("Text")->text();
        modal->findChild<QAbstractButton*>("Button1")->click();
      }
    });
    timer_.start();
  }
  QStringList Texts;

 private:
  QTimer timer_;
};

// The main window's dialogs, found by their names.
inline TNewBox* NewBox() {
  return kobaltine_test::Form<TNewBox>("NewBox");
}
inline TPropWindow* PropWindow() {
  return kobaltine_test::Form<TPropWindow>("PropWindow");
}
inline TTransDial* TransDial() {
  return kobaltine_test::Form<TTransDial>("TransDial");
}
inline TValChDial* ValChDial() {
  return kobaltine_test::Form<TValChDial>("ValChDial");
}

using kobaltine_test::SaveDisabled;
using kobaltine_test::SaveEnabled;

// Makes an untitled model through the New dialog, as a user would.
inline void CreateThroughNewBox(const char* x, const char* y, const char* z) {
  kobaltine_test::WhenModal(
      [=](QWidget*) {
        TNewBox* box = NewBox();
        box->LengthNum->setText(x);
        box->WidthNum->setText(y);
        box->HeightNum->setText(z);
        MessageCatcher catcher;
        QTest::mouseClick(box->OKBtn, Qt::LeftButton);
        if (box->isVisible()) box->reject();
      },
      5000, [](QWidget* d) { return d->objectName() == "NewBox"; });
  kobaltine_test::Trigger("New1");
}

inline std::string NameBytes(const TVoxelModel& model) {
  return std::string(reinterpret_cast<const char*>(model.Name.data()), model.Name.size());
}

}  // namespace dialog_test
