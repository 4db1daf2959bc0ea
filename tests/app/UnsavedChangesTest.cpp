// Nothing is thrown away without asking: New, Open, Exit and the close box on a changed
// document ask "Save changes to ...?" and each of the three answers does what it says;
// a save that fails stops the command; an unchanged document is never asked about.

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QAbstractButton>
#include <QTemporaryDir>

#include "dialogs/TNewBox.h"
#include "e2e/E2eSupport.h"
#include "model/VxlReader.h"

using namespace e2e;
using kobaltine_test::Action;
using kobaltine_test::AnswerSaveQuestion;
using kobaltine_test::Button;
using kobaltine_test::ChangeOneCell;
using kobaltine_test::Disarm;
using kobaltine_test::Doc;
using kobaltine_test::Main;
using kobaltine_test::StartForms;
using kobaltine_test::Trigger;

namespace {

enum class Command { New, Open, Exit, CloseBox };
// SaveFails: Save is answered, and the save fails.
enum Answer { Save = 1, Discard = 2, Cancel = 3, SaveFails = 4 };

// Runs the command; returns whether it went on past the question: the New dialog or
// the Open dialog was shown, or the window closed.
bool Run(Command command) {
  bool wentOn = false;
  QPointer<QTimer> armed;
  switch (command) {
    case Command::New:
      armed = WhenDialog(NewBox(), [&](QWidget*) {
        wentOn = true;
        NewBox()->CancelBtn->click();
      });
      Trigger("New1");
      break;
    case Command::Open:
      armed = WhenDialog(FileDialog("FileDial"), [&](QWidget* d) {
        wentOn = true;
        static_cast<QDialog*>(d)->reject();
      });
      Trigger("Open1");
      break;
    case Command::Exit:
      Trigger("Exit1");
      wentOn = !Main()->isVisible();
      break;
    case Command::CloseBox:
      Main()->close();
      wentOn = !Main()->isVisible();
      break;
  }
  Disarm(armed);
  return wentOn;
}

}  // namespace

class UnsavedChangesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void eachAnswerDoesWhatItSays_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("answer");
    const char* names[] = {"New", "Open", "Exit", "close box"};
    const char* answers[] = {"", "Save", "Discard", "Cancel", "Save failing"};
    for (int c = 0; c < 4; ++c)
      for (int a = Save; a <= SaveFails; ++a)
        QTest::newRow(qPrintable(QString("%1, %2").arg(names[c], answers[a]))) << c << a;
  }

  void eachAnswerDoesWhatItSays() {
    QFETCH(int, command);
    QFETCH(int, answer);
    QTemporaryDir dir;
    const QString path = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(Doc().IsOpen());
    const std::uint8_t old = EditorModel().Colours.at(0, 0, 0);
    ChangeOneCell(0, 0, 0, std::uint8_t(old + 1));
    // The document's folder has gone: the save says so, and the command stops there.
    const bool fails = answer == SaveFails;
    if (fails) Doc().SetFile(dir.filePath("gone/tank.vxl").toStdString());

    QString question, message;
    QStringList buttons;
    const auto asked = kobaltine_test::WhenModal(
        [&](QWidget* d) {
          question = d->findChild<QLabel*>("Text")->text();
          for (int b = 1; b <= 3; ++b)
            buttons << d->findChild<QAbstractButton*>(QString("Button%1").arg(b))->text();
          d->findChild<QAbstractButton*>(QString("Button%1").arg(fails ? Save : answer))->click();
        },
        5000, [](QWidget* d) { return d->objectName() == "TripleButDial"; });
    const auto told = AnswerMessage(&message);
    const bool wentOn = Run(Command(command));
    Disarm(asked);
    Disarm(told);
    QCOMPARE(question, QString("Save changes to tank.vxl?"));
    QCOMPARE(buttons, (QStringList{"&Save", "&Discard", "&Cancel"}));
    QCOMPARE(wentOn, answer == Save || answer == Discard);
    QCOMPARE(message, fails ? QString("Could not write the file!") : QString());
    TVoxelModel onDisk;
    QCOMPARE(int(ReadVoxelFile(path.toStdString(), onDisk)), int(LoadStatus::Ok));
    QCOMPARE(onDisk.Colours.at(0, 0, 0), answer == Save ? std::uint8_t(old + 1) : old);
    if (answer == Cancel || fails) {
      QVERIFY(Main()->isVisible());
      QVERIFY(SaveEnabled());
      QCOMPARE(EditorModel().Colours.at(0, 0, 0), std::uint8_t(old + 1));
    }
  }

  // A pen stroke still held when New comes (its release lost, or a shortcut pressed
  // during it) is work of the document: asked about and saved. Undo held the same way
  // takes back that stroke.
  void aStrokeInProgressIsFinishedFirst() {
    QTemporaryDir dir;
    const QString path = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(Doc().IsOpen());
    const int top = Doc().CurrentLayer();
    const std::uint8_t old = EditorModel().Colours.at(0, 0, top);
    Doc().SetDrawingValue(false, std::uint8_t(old + 1));
    Press(Qt::LeftButton, CellCentre(0, 0));
    QString question;
    const auto asked = AnswerSaveQuestion(Save, &question);
    QVERIFY(Run(Command::New));
    Disarm(asked);
    QCOMPARE(question, QString("Save changes to tank.vxl?"));
    QCOMPARE(ReadModel(path)->Colours.at(0, 0, top), std::uint8_t(old + 1));

    const std::uint8_t old1 = EditorModel().Colours.at(1, 0, top);
    Doc().SetDrawingValue(false, std::uint8_t(old1 + 1));
    Press(Qt::LeftButton, CellCentre(1, 0));
    QVERIFY(Action("Undo1")->isEnabled() && !Action("Redo1")->isEnabled());
    Trigger("Undo1");
    QCOMPARE(EditorModel().Colours.at(1, 0, top), old1);
    QVERIFY(!Doc().DragHeld());
    QCOMPARE(Button("RedoButton")->toolTip(), QString("Redo Pen stroke"));
    QCOMPARE(EditorModel().Colours.at(0, 0, top), std::uint8_t(old + 1));
  }

  void anUnchangedDocumentIsNeverAsked() {
    QTemporaryDir dir;
    const QString path = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    for (Command c : {Command::New, Command::Open, Command::Exit}) {
      StartForms(CommandLineFor(path));
      QTRY_VERIFY(Doc().IsOpen());
      // Changed and undone again is unchanged, as is changed and saved.
      ChangeOneCell(1, 1, 0, std::uint8_t(EditorModel().Colours.at(1, 1, 0) + 1));
      Trigger("Undo1");
      ChangeOneCell(2, 2, 0, std::uint8_t(EditorModel().Colours.at(2, 2, 0) + 1));
      Trigger("Save1");
      QString question;
      const auto asked = AnswerSaveQuestion(Cancel, &question);
      QVERIFY(Run(c));
      Disarm(asked);
      QCOMPARE(question, QString());
    }
  }

  void aNewModelAsksOnceItHasSteps() {
    StartForms();
    Doc().CreateNew(4, 4, 4);
    QString question;
    auto asked = AnswerSaveQuestion(Cancel, &question);
    QVERIFY(Run(Command::New));
    Disarm(asked);
    QCOMPARE(question, QString());

    // Even undone, a step on a model that was never saved is work worth asking about.
    ChangeOneCell(0, 0, 0, 9);
    Trigger("Undo1");
    asked = AnswerSaveQuestion(Cancel, &question);
    QVERIFY(!Run(Command::Open));
    Disarm(asked);
    QCOMPARE(question, QString("Save changes to the new model?"));

    // Save goes through Save As; cancelling its dialog cancels the command too.
    QTemporaryDir dir;
    for (bool cancelSaveAs : {true, false}) {
      asked = AnswerSaveQuestion(Save);
      const auto named = WhenDialog(FileDialog("SaveAsDial"), [&](QWidget* d) {
        if (cancelSaveAs)
          static_cast<QDialog*>(d)->reject();
        else
          TypeFileName(d, dir.filePath("new.vxl"));
      });
      QCOMPARE(Run(Command::Exit), !cancelSaveAs);
      Disarm(asked);
      Disarm(named);
      QCOMPARE(QFile::exists(dir.filePath("new.vxl")), !cancelSaveAs);
    }
  }
};

KOBALTINE_TEST_MAIN(UnsavedChangesTest)
#include "UnsavedChangesTest.moc"
