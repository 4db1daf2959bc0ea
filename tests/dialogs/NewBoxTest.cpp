// The New dialog driven as a user would: typed sizes, the range message, and the empty
// model that replaces the open one.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <bit>

#include "DialogTestSupport.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "editor/TLayerWindow.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;
using namespace dialog_test;

namespace {
// Types the three texts into a freshly opened New dialog and presses OK; reports the
// message shown (if any), whether the dialog stayed open and what the boxes then hold.
struct NewAttempt {
  QString message;
  bool stayedOpen = false;
  QString texts[3];
};

NewAttempt TryNew(const char* x, const char* y, const char* z) {
  NewAttempt attempt;
  WhenModal([&attempt, x, y, z](QWidget* dialog) {
    TNewBox* box = NewBox();
    QLineEdit* boxes[3] = {box->LengthNum, box->WidthNum, box->HeightNum};
    const char* texts[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
      boxes[i]->clear();
      QTest::keyClicks(boxes[i], texts[i]);
    }
    MessageCatcher catcher;
    QTest::mouseClick(box->OKBtn, Qt::LeftButton);
    attempt.message = catcher.Texts.join('|');
    attempt.stayedOpen = dialog->isVisible();
    for (int i = 0; i < 3; ++i) attempt.texts[i] = boxes[i]->text();
    if (dialog->isVisible()) QTest::mouseClick(box->CancelBtn, Qt::LeftButton);
  });
  Trigger("New1");
  return attempt;
}

int ViewSpan() {
  return Form<TThreeDWindow>("ThreeDWindow")->ViewSpan();
}

std::uint32_t Bits(float v) {
  return std::bit_cast<std::uint32_t>(v);
}
}  // namespace

class TestNewBox : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void rejectsSizesOutsideOneTo255() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    for (const char* bad : {"0", "256", "-1", "", "abc"}) {
      for (int box = 0; box < 3; ++box) {
        const char* texts[3] = {"9", "9", "9"};
        texts[box] = bad;
        const NewAttempt a = TryNew(texts[0], texts[1], texts[2]);
        const QString where = QString("text '%1' in box %2").arg(bad).arg(box);
        QVERIFY2(a.message == "Must enter a value between 1-255!", qPrintable(where));
        QVERIFY2(a.stayedOpen, qPrintable(where));
        QVERIFY2(a.texts[box] == bad, qPrintable(where));
      }
    }
    // Nothing of the open model or the window changed.
    QCOMPARE(int(Model().SizeX), 6);
    QCOMPARE(int(Model().SizeZ), 4);
    QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));
    QVERIFY(!Doc().Untitled());
    QCOMPARE(Model().NormalType, std::uint8_t(4));
  }

  void acceptsTheLeadingNumberOfEachBox() {
    NewAttempt a = TryNew(" 12", "7x", "+5");
    QVERIFY(a.message.isEmpty());
    QVERIFY(!a.stayedOpen);
    QCOMPARE(int(Model().SizeX), 12);
    QCOMPARE(int(Model().SizeY), 7);
    QCOMPARE(int(Model().SizeZ), 5);

    // The boxes take three characters, and Enter presses OK.
    QStringList messages;
    bool focusAtStart = false;
    WhenModal([&messages, &focusAtStart](QWidget*) {
      // Every showing starts in the first box.
      TNewBox* box = NewBox();
      // (the dialog may take its activation a moment after it shows)
      focusAtStart = QTest::qWaitFor(
          [box] { return QApplication::focusWidget() == box->LengthNum; }, 2000);
      box->LengthNum->clear();
      QTest::keyClicks(box->LengthNum, "2559");
      box->WidthNum->setText("1");
      box->HeightNum->setText("7");
      MessageCatcher catcher;
      QTest::mouseClick(box->HeightNum, Qt::LeftButton);
      QTest::keyClick(box->HeightNum, Qt::Key_Return);
      messages = catcher.Texts;
      if (box->isVisible()) box->reject();
    });
    Trigger("New1");
    QVERIFY(messages.isEmpty());
    QVERIFY(focusAtStart);
    QCOMPARE(NewBox()->LengthNum->text(), QString("255"));
    QCOMPARE(int(Model().SizeX), 255);
    QCOMPARE(int(Model().SizeY), 1);
    QCOMPARE(int(Model().SizeZ), 7);
    QCOMPARE(Model().TailerFloat(TailerZMinimum), -3.5f);
    QCOMPARE(ViewSpan(), 442);  // ceil(255 * 1.7320508076)
  }

  void replacesALoadedModelByAnEmptyOne() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "ABCDEFGHIJKLMNOP", [](TVoxelModel& m) {
      m.Palette[5] = PackRGB(1, 2, 3);
      m.Palette[200] = PackRGB(200, 100, 50);
      m.NormalType = 3;
      for (std::size_t i = 0; i < TailerValueCount; ++i) m.SetTailerFloat(i, 7.5f + float(i));
    }));
    const PaletteRGB loadedPalette = Model().Palette;
    Trigger("Matrix1");
    QVERIFY(TransDial()->isVisible());
    ChangeOneCell(0, 0, 0, std::uint8_t(Model().Colours.at(0, 0, 0) + 1));
    AnswerSaveQuestion(2);  // Discard
    CreateThroughNewBox("10", "20", "30");

    const TVoxelModel& m = Model();
    QCOMPARE(int(m.SizeX), 10);
    QCOMPARE(int(m.SizeY), 20);
    QCOMPARE(int(m.SizeZ), 30);
    QCOMPARE(m.Colours.at(1, 1, 1), std::uint8_t(0));
    QCOMPARE(m.Normals.at(1, 1, 1), std::uint8_t(0));
    QCOMPARE(Doc().CurrentLayer(), 0);
    QCOMPARE(ViewSpan(), 52);
    // Default tailer, bit for bit.
    const float expected[TailerValueCount] = {1.0f / 12.0f, 1,  0,   0,   0, 0,  1, 0, 0, 0, 0, 1,
                                              15,           -5, -10, -15, 5, 10, 15};
    QCOMPARE(m.Tailer[0], 0x3DAAAAABu);
    for (std::size_t i = 0; i < TailerValueCount; ++i) QCOMPARE(m.Tailer[i], Bits(expected[i]));
    // Name: "NEW FILE" and its zero over the first nine bytes, the rest kept.
    QCOMPARE(NameBytes(m), std::string("NEW FILE\0JKLMNOP", 16));
    QCOMPARE(Form<QLabel>("WordBox")->text(), QString("NEW FILE"));
    QCOMPARE(m.NormalType, std::uint8_t(2));
    QVERIFY(m.Palette == loadedPalette);
    // Document and window state.
    QCOMPARE(Main()->windowTitle(), QString("untitled - Kobaltine"));
    QVERIFY(Doc().Untitled());
    QVERIFY(!Doc().IsModified());
    QVERIFY(Doc().FileTitle().empty());
    QVERIFY(!Action("Save1")->isEnabled());
    QVERIFY(!Button("SaveButton")->isEnabled());
    QVERIFY(Action("SaveAs1")->isEnabled());
    QVERIFY(Button("SaveAsButton")->isEnabled());
    const TLayerWindow* layers = Form<TLayerWindow>("LayerWindow");
    QCOMPARE(layers->TrackBar1->maximum(), 29);
    QCOMPARE(layers->TrackBar1->value(), 0);
    QCOMPARE(layers->LayerNum->text(), QString("0"));
    // The open matrix window shows the new defaults at once.
    QCOMPARE(TransDial()->Tran13->text(), QString("15"));
    QCOMPARE(TransDial()->Tran14->text(), QString("-5"));
    QCOMPARE(TransDial()->Tran19->text(), QString("15"));

    // The properties show no file name and Tiberian Sun normals.
    QString fileName = "unread";
    bool tsSelected = false;
    WhenModal([&](QWidget*) {
      fileName = PropWindow()->FileName->text();
      tsSelected = PropWindow()->TSSelect->isChecked();
      QTest::mouseClick(PropWindow()->CancelButton, Qt::LeftButton);
    });
    Button("PropButton")->click();
    QCOMPARE(fileName, QString());
    QVERIFY(tsSelected);

    // The boxes keep their text for the next use.
    QString kept[3];
    WhenModal([&](QWidget*) {
      TNewBox* box = NewBox();
      kept[0] = box->LengthNum->text();
      kept[1] = box->WidthNum->text();
      kept[2] = box->HeightNum->text();
      QTest::mouseClick(box->CancelBtn, Qt::LeftButton);
    });
    Trigger("New1");
    QCOMPARE(kept[0], QString("10"));
    QCOMPARE(kept[1], QString("20"));
    QCOMPARE(kept[2], QString("30"));
  }

  void cancelAndEscapeChangeNothing() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ChangeOneCell(0, 0, 0, std::uint8_t(Model().Colours.at(0, 0, 0) + 1));
    for (bool escape : {false, true}) {
      AnswerSaveQuestion(2);  // Discard, then cancel New itself
      WhenModal(
          [escape](QWidget*) {
            TNewBox* box = NewBox();
            box->LengthNum->setText("5");
            box->WidthNum->setText("5");
            box->HeightNum->setText("5");
            if (escape)
              QTest::keyClick(box->WidthNum, Qt::Key_Escape);
            else
              QTest::mouseClick(box->CancelBtn, Qt::LeftButton);
          },
          5000, [](QWidget* d) { return d->objectName() == "NewBox"; });
      Trigger("New1");
      QVERIFY(!NewBox()->isVisible());
      QCOMPARE(int(Model().SizeX), 6);
      QCOMPARE(Model().Colours.at(1, 1, 1), std::uint8_t(12));
      QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));
      QVERIFY(!Doc().Untitled());
      QVERIFY(Doc().IsModified());
      QVERIFY(Action("Save1")->isEnabled());
      QCOMPARE(Form<QLabel>("WordBox")->text(), QString("Body"));
    }
  }
};

KOBALTINE_TEST_MAIN(TestNewBox)
#include "NewBoxTest.moc"
