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
    QLineEdit* boxes[3] = {NewBox->LengthNum, NewBox->WidthNum, NewBox->HeightNum};
    const char* texts[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
      boxes[i]->clear();
      QTest::keyClicks(boxes[i], texts[i]);
    }
    MessageCatcher catcher;
    QTest::mouseClick(NewBox->OKBtn, Qt::LeftButton);
    attempt.message = catcher.Texts.join('|');
    attempt.stayedOpen = dialog->isVisible();
    for (int i = 0; i < 3; ++i) attempt.texts[i] = boxes[i]->text();
    if (dialog->isVisible()) QTest::mouseClick(NewBox->CancelBtn, Qt::LeftButton);
  });
  MainWindow->New1Click();
  return attempt;
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
    QCOMPARE(int(MainWindow->Model.SizeX), 6);
    QCOMPARE(int(MainWindow->Model.SizeZ), 4);
    QCOMPARE(MainWindow->windowTitle(), QString("tank.vxl - Kobaltine"));
    QVERIFY(!MainWindow->Doc.Untitled);
    QCOMPARE(MainWindow->Model.NormalType, std::uint8_t(4));
  }

  void acceptsTheLeadingNumberOfEachBox() {
    NewAttempt a = TryNew(" 12", "7x", "+5");
    QVERIFY(a.message.isEmpty());
    QVERIFY(!a.stayedOpen);
    QCOMPARE(int(MainWindow->Model.SizeX), 12);
    QCOMPARE(int(MainWindow->Model.SizeY), 7);
    QCOMPARE(int(MainWindow->Model.SizeZ), 5);

    // The boxes take three characters, and Enter presses OK.
    QStringList messages;
    bool focusAtStart = false;
    WhenModal([&messages, &focusAtStart](QWidget*) {
      // Every showing starts in the first box.
      focusAtStart = QApplication::focusWidget() == NewBox->LengthNum;
      NewBox->LengthNum->clear();
      QTest::keyClicks(NewBox->LengthNum, "2559");
      NewBox->WidthNum->setText("1");
      NewBox->HeightNum->setText("7");
      MessageCatcher catcher;
      QTest::mouseClick(NewBox->HeightNum, Qt::LeftButton);
      QTest::keyClick(NewBox->HeightNum, Qt::Key_Return);
      messages = catcher.Texts;
      if (NewBox->isVisible()) NewBox->reject();
    });
    MainWindow->New1Click();
    QVERIFY(messages.isEmpty());
    QVERIFY(focusAtStart);
    QCOMPARE(NewBox->LengthNum->text(), QString("255"));
    QCOMPARE(int(MainWindow->Model.SizeX), 255);
    QCOMPARE(int(MainWindow->Model.SizeY), 1);
    QCOMPARE(int(MainWindow->Model.SizeZ), 7);
    QCOMPARE(MainWindow->Model.TailerFloat(TailerZMinimum), -3.5f);
    QCOMPARE(int(MainWindow->ViewSpan), 442);  // ceil(255 * 1.7320508076)
  }

  void replacesALoadedModelByAnEmptyOne() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "ABCDEFGHIJKLMNOP", [](TVoxelModel& m) {
      m.Palette[5] = PackRGB(1, 2, 3);
      m.Palette[200] = PackRGB(200, 100, 50);
      m.NormalType = 3;
      for (std::size_t i = 0; i < TailerValueCount; ++i) m.SetTailerFloat(i, 7.5f + float(i));
    }));
    const PaletteRGB loadedPalette = MainWindow->Model.Palette;
    const std::string path = MainWindow->Doc.FilePath;
    MainWindow->Matrix1->trigger();
    QVERIFY(TransDial->isVisible());
    ChangeOneCell(0, 0, 0, std::uint8_t(MainWindow->Model.Colours.at(0, 0, 0) + 1));
    AnswerSaveQuestion(2);  // Discard
    CreateThroughNewBox("10", "20", "30");

    const TVoxelModel& m = MainWindow->Model;
    QCOMPARE(int(m.SizeX), 10);
    QCOMPARE(int(m.SizeY), 20);
    QCOMPARE(int(m.SizeZ), 30);
    QCOMPARE(m.Colours.at(1, 1, 1), std::uint8_t(0));
    QCOMPARE(m.Normals.at(1, 1, 1), std::uint8_t(0));
    QCOMPARE(MainWindow->View.CurrentLayer, 0);
    QCOMPARE(int(MainWindow->ViewSpan), 52);
    // Default tailer, bit for bit.
    const float expected[TailerValueCount] = {1.0f / 12.0f, 1,  0,   0,   0, 0,  1, 0, 0, 0, 0, 1,
                                              15,           -5, -10, -15, 5, 10, 15};
    QCOMPARE(m.Tailer[0], 0x3DAAAAABu);
    for (std::size_t i = 0; i < TailerValueCount; ++i) QCOMPARE(m.Tailer[i], Bits(expected[i]));
    // Name: "NEW FILE" and its zero over the first nine bytes, the rest kept.
    QCOMPARE(NameBytes(m), std::string("NEW FILE\0JKLMNOP", 16));
    QCOMPARE(MainWindow->WordBox->text(), QString("NEW FILE"));
    QCOMPARE(m.NormalType, std::uint8_t(2));
    QVERIFY(m.Palette == loadedPalette);
    // Document and window state.
    QCOMPARE(MainWindow->windowTitle(), QString("untitled - Kobaltine"));
    QVERIFY(MainWindow->Doc.Untitled);
    QVERIFY(!MainWindow->Doc.Modified);
    QVERIFY(MainWindow->Doc.FileTitle.empty());
    QCOMPARE(MainWindow->Doc.FilePath, path);
    QVERIFY(!MainWindow->Save1->isEnabled());
    QVERIFY(!MainWindow->SaveButton->isEnabled());
    QVERIFY(MainWindow->SaveAs1->isEnabled());
    QVERIFY(MainWindow->SaveAsButton->isEnabled());
    QCOMPARE(LayerWindow->TrackBar1->maximum(), 29);
    QCOMPARE(LayerWindow->TrackBar1->value(), 0);
    QCOMPARE(LayerWindow->LayerNum->text(), QString("0"));
    // The open matrix window shows the new defaults at once.
    QCOMPARE(TransDial->Tran13->text(), QString("15"));
    QCOMPARE(TransDial->Tran14->text(), QString("-5"));
    QCOMPARE(TransDial->Tran19->text(), QString("15"));

    // The properties show no file name and Tiberian Sun normals.
    QString fileName = "unread";
    bool tsSelected = false;
    WhenModal([&](QWidget*) {
      fileName = PropWindow->FileName->text();
      tsSelected = PropWindow->TSSelect->isChecked();
      QTest::mouseClick(PropWindow->CancelButton, Qt::LeftButton);
    });
    MainWindow->PropButtonClick();
    QCOMPARE(fileName, QString());
    QVERIFY(tsSelected);

    // The boxes keep their text for the next use.
    QString kept[3];
    WhenModal([&](QWidget*) {
      kept[0] = NewBox->LengthNum->text();
      kept[1] = NewBox->WidthNum->text();
      kept[2] = NewBox->HeightNum->text();
      QTest::mouseClick(NewBox->CancelBtn, Qt::LeftButton);
    });
    MainWindow->New1Click();
    QCOMPARE(kept[0], QString("10"));
    QCOMPARE(kept[1], QString("20"));
    QCOMPARE(kept[2], QString("30"));
  }

  void cancelAndEscapeChangeNothing() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ChangeOneCell(0, 0, 0, std::uint8_t(MainWindow->Model.Colours.at(0, 0, 0) + 1));
    for (bool escape : {false, true}) {
      AnswerSaveQuestion(2);  // Discard, then cancel New itself
      WhenModal(
          [escape](QWidget*) {
            NewBox->LengthNum->setText("5");
            NewBox->WidthNum->setText("5");
            NewBox->HeightNum->setText("5");
            if (escape)
              QTest::keyClick(NewBox->WidthNum, Qt::Key_Escape);
            else
              QTest::mouseClick(NewBox->CancelBtn, Qt::LeftButton);
          },
          5000, [](QWidget* d) { return d == NewBox; });
      MainWindow->New1Click();
      QVERIFY(!NewBox->isVisible());
      QCOMPARE(int(MainWindow->Model.SizeX), 6);
      QCOMPARE(MainWindow->Model.Colours.at(1, 1, 1), std::uint8_t(12));
      QCOMPARE(MainWindow->windowTitle(), QString("tank.vxl - Kobaltine"));
      QVERIFY(!MainWindow->Doc.Untitled);
      QVERIFY(MainWindow->Doc.Modified);
      QVERIFY(MainWindow->Save1->isEnabled());
      QCOMPARE(MainWindow->WordBox->text(), QString("Body"));
    }
  }
};

KOBALTINE_TEST_MAIN(TestNewBox)
#include "NewBoxTest.moc"
