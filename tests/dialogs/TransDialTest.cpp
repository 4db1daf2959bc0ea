// The Transformation Matrix window and its value editor: the "%g" labels, typed numbers,
// Cancel and the close box, the Save rule, and the window's own close box.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <bit>
#include <cfloat>

#include "DialogTestSupport.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"

using namespace kobaltine_test;
using namespace dialog_test;

namespace {
enum class Ending { OKButton, EnterKey, CancelButton, CloseBox };

struct EditorSeen {
  QString caption;
  QString textAtOpen;
  bool openAfterEscape = false;
};

// Presses a Change button, types `text` into the editor, tries Escape, and ends it.
EditorSeen EditValue(QToolButton* change, const char* text, Ending ending) {
  EditorSeen seen;
  ValChDial->NumBox->setText("left over");
  WhenModal([&seen, text, ending](QWidget* dialog) {
    seen.caption = dialog->windowTitle();
    seen.textAtOpen = ValChDial->NumBox->text();
    QTest::keyClicks(ValChDial->NumBox, text);
    QTest::keyClick(ValChDial->NumBox, Qt::Key_Escape);  // bound to nothing
    seen.openAfterEscape = dialog->isVisible();
    switch (ending) {
      case Ending::OKButton:
        QTest::mouseClick(ValChDial->OKBut, Qt::LeftButton);
        break;
      case Ending::EnterKey:
        QTest::keyClick(ValChDial->NumBox, Qt::Key_Return);
        break;
      case Ending::CancelButton:
        QTest::mouseClick(ValChDial->CancelBut, Qt::LeftButton);
        break;
      case Ending::CloseBox:
        dialog->close();
        break;
    }
    if (dialog->isVisible()) ValChDial->done(QDialog::Rejected);
  });
  QTest::mouseClick(change, Qt::LeftButton);
  return seen;
}

bool SaveEnabled() {
  return MainWindow->Save1->isEnabled() && MainWindow->SaveButton->isEnabled();
}
bool SaveDisabled() {
  return !MainWindow->Save1->isEnabled() && !MainWindow->SaveButton->isEnabled();
}
std::uint32_t Bits(float v) {
  return std::bit_cast<std::uint32_t>(v);
}

void ShowMatrix() {
  if (!TransDial->isVisible()) MainWindow->Matrix1->trigger();
  QVERIFY(TransDial->isVisible());
}
}  // namespace

class TestTransDial : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void showsTheValuesInGeneralFormat() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body", [](TVoxelModel& m) {
      m.SetTailerFloat(TailerXOffset, 0.0f);
      m.SetTailerFloat(TailerYOffset, 0.5f);
      m.SetTailerFloat(TailerZOffset, 1.0f / 12.0f);
      m.SetTailerFloat(TailerXMinimum, -128.0f);
      m.SetTailerFloat(TailerYMinimum, 1000000.0f);
      m.SetTailerFloat(TailerZMinimum, 0.00001f);
      m.SetTailerFloat(TailerXMaximum, 1234567.0f);
      m.SetTailerFloat(TailerYMaximum, 0.1f);
      m.SetTailerFloat(TailerZMaximum, -FLT_MAX);
    }));
    ShowMatrix();
    const QStringList shown = {
        TransDial->Tran5->text(),  TransDial->Tran9->text(),  TransDial->Tran13->text(),
        TransDial->Tran14->text(), TransDial->Tran15->text(), TransDial->Tran16->text(),
        TransDial->Tran17->text(), TransDial->Tran18->text(), TransDial->Tran19->text()};
    QCOMPARE(shown, QStringList({"0", "0.5", "0.0833333", "-128", "1e+06", "1e-05", "1.23457e+06",
                                 "0.1", "-3.40282e+38"}));
    QCOMPARE(TransDial->Label2->text(), QString("Y Offset"));
    QCOMPARE(TransDial->Label9->text(), QString("Z Maximum:"));

    // Showing the window again reads the tailer afresh.
    MainWindow->Matrix1->trigger();
    QVERIFY(!TransDial->isVisible());
    MainWindow->Model.SetTailerFloat(TailerXOffset, -2.25f);
    MainWindow->Matrix1->trigger();
    QCOMPARE(TransDial->Tran5->text(), QString("-2.25"));

    // Tab moves between windows' controls, never onto the nine small buttons.
    for (QToolButton* b : TransDial->findChildren<QToolButton*>())
      QCOMPARE(b->focusPolicy(), Qt::NoFocus);
  }

  void storesTheLeadingNumberRoundedToSingle() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ShowMatrix();
    struct Case {
      const char* typed;
      float stored;
      const char* shown;
    };
    const Case cases[] = {
        {"12abc", 12.0f, "12"},
        {"abc", 0.0f, "0"},
        {" -3.5e2", -350.0f, "-350"},
        {"0.1", 0.1f, "0.1"},
        {"1234567", 1234567.0f, "1.23457e+06"},
        {"1e39", FLT_MAX, "3.40282e+38"},
        {"-1e999", -FLT_MAX, "-3.40282e+38"},
        {"0x20", 0.0f, "0"},
        {"inf", 0.0f, "0"},
        {"", 0.0f, "0"},
        {"2.5E-1", 0.25f, "0.25"},
    };
    for (const Case& c : cases) {
      MainWindow->Model.SetTailerFloat(TailerXMinimum, 77.0f);
      const EditorSeen seen = EditValue(TransDial->Change14, c.typed, Ending::OKButton);
      QCOMPARE(seen.caption, QString("X Minimum"));
      QCOMPARE(seen.textAtOpen, QString());
      QVERIFY(seen.openAfterEscape);
      QVERIFY2(MainWindow->Model.Tailer[TailerXMinimum] == Bits(c.stored), c.typed);
      QVERIFY2(TransDial->Tran14->text() == c.shown, c.typed);
    }
    // Enter presses OK.
    EditValue(TransDial->Change14, "-7.5", Ending::EnterKey);
    QCOMPARE(MainWindow->Model.TailerFloat(TailerXMinimum), -7.5f);
  }

  void everyButtonEditsItsOwnValue() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ShowMatrix();
    struct Row {
      QToolButton* change;
      QLabel* value;
      std::size_t index;
      const char* caption;
    };
    const Row rows[] = {
        {TransDial->Change5, TransDial->Tran5, 4, "X Offset"},
        {TransDial->Change9, TransDial->Tran9, 8, "Y Offset"},
        {TransDial->Change13, TransDial->Tran13, 12, "Z Offset"},
        {TransDial->Change14, TransDial->Tran14, 13, "X Minimum"},
        {TransDial->Change15, TransDial->Tran15, 14, "Y Minimum"},
        {TransDial->Change16, TransDial->Tran16, 15, "Z Minimum"},
        {TransDial->Change17, TransDial->Tran17, 16, "X Maximum"},
        {TransDial->Change18, TransDial->Tran18, 17, "Y Maximum"},
        {TransDial->Change19, TransDial->Tran19, 18, "Z Maximum"},
    };
    for (const Row& row : rows) {
      const auto before = MainWindow->Model.Tailer;
      const EditorSeen seen = EditValue(row.change, "-42.5", Ending::OKButton);
      QCOMPARE(seen.caption, QString(row.caption));
      QCOMPARE(row.value->text(), QString("-42.5"));
      for (std::size_t i = 0; i < TailerValueCount; ++i)
        QCOMPARE(MainWindow->Model.Tailer[i], i == row.index ? Bits(-42.5f) : before[i]);
    }
  }

  void cancelAndCloseBoxChangeNothing() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ShowMatrix();
    const auto before = MainWindow->Model.Tailer;
    const QString label = TransDial->Tran5->text();
    for (Ending ending : {Ending::CancelButton, Ending::CloseBox}) {
      const EditorSeen seen = EditValue(TransDial->Change5, "99", ending);
      QVERIFY(seen.openAfterEscape);
      QVERIFY(!ValChDial->isVisible());
      QVERIFY(MainWindow->Model.Tailer == before);
      QCOMPARE(TransDial->Tran5->text(), label);
      QVERIFY(SaveDisabled());
      QVERIFY(!MainWindow->Doc.Modified);
    }
  }

  void newValueFollowsTheSaveRule() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ShowMatrix();
    QVERIFY(SaveDisabled());
    EditValue(TransDial->Change9, "3", Ending::OKButton);
    QVERIFY(MainWindow->Doc.Modified);
    QVERIFY(SaveEnabled());

    AnswerSaveQuestion(2);  // Discard the change
    CreateThroughNewBox("4", "4", "4");
    QVERIFY(SaveDisabled());
    EditValue(TransDial->Change9, "3", Ending::OKButton);
    QCOMPARE(MainWindow->Model.TailerFloat(TailerYOffset), 3.0f);
    QVERIFY(MainWindow->Doc.Modified);
    QVERIFY(SaveDisabled());  // untitled: only Save As saves it
    QVERIFY(MainWindow->SaveAs1->isEnabled());
  }

  void ownCloseBoxUnchecksTheToggle() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    MainWindow->MatrixButton->click();
    QVERIFY(TransDial->isVisible());
    QVERIFY(MainWindow->Matrix1->isChecked());
    QVERIFY(MainWindow->MatrixButton->isChecked());
    TransDial->close();  // the window's own close box
    QVERIFY(!TransDial->isVisible());
    QVERIFY(!MainWindow->Matrix1->isChecked());
    QVERIFY(!MainWindow->MatrixButton->isChecked());
    // The toggle opens it again.
    MainWindow->Matrix1->trigger();
    QVERIFY(TransDial->isVisible());
    QVERIFY(MainWindow->MatrixButton->isChecked());
  }
};

KOBALTINE_TEST_MAIN(TestTransDial)
#include "TransDialTest.moc"
