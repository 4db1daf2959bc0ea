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
  TValChDial* editor = ValChDial();
  editor->NumBox->setText("left over");
  WhenModal([&seen, editor, text, ending](QWidget* dialog) {
    seen.caption = dialog->windowTitle();
    seen.textAtOpen = editor->NumBox->text();
    QTest::keyClicks(editor->NumBox, text);
    QTest::keyClick(editor->NumBox, Qt::Key_Escape);  // bound to nothing
    seen.openAfterEscape = dialog->isVisible();
    switch (ending) {
      case Ending::OKButton:
        QTest::mouseClick(editor->OKBut, Qt::LeftButton);
        break;
      case Ending::EnterKey:
        QTest::keyClick(editor->NumBox, Qt::Key_Return);
        break;
      case Ending::CancelButton:
        QTest::mouseClick(editor->CancelBut, Qt::LeftButton);
        break;
      case Ending::CloseBox:
        dialog->close();
        break;
    }
    if (dialog->isVisible()) editor->done(QDialog::Rejected);
  });
  QTest::mouseClick(change, Qt::LeftButton);
  return seen;
}

std::uint32_t Bits(float v) {
  return std::bit_cast<std::uint32_t>(v);
}

void ShowMatrix() {
  if (!TransDial()->isVisible()) Trigger("Matrix1");
  QVERIFY(TransDial()->isVisible());
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
    const TTransDial* t = TransDial();
    const QStringList shown = {t->Tran5->text(),  t->Tran9->text(),  t->Tran13->text(),
                               t->Tran14->text(), t->Tran15->text(), t->Tran16->text(),
                               t->Tran17->text(), t->Tran18->text(), t->Tran19->text()};
    QCOMPARE(shown, QStringList({"0", "0.5", "0.0833333", "-128", "1e+06", "1e-05", "1.23457e+06",
                                 "0.1", "-3.40282e+38"}));
    QCOMPARE(t->Label2->text(), QString("Y Offset"));
    QCOMPARE(t->Label9->text(), QString("Z Maximum:"));

    // Showing the window again reads the tailer afresh.
    Trigger("Matrix1");
    QVERIFY(!TransDial()->isVisible());
    DraftModel().SetTailerFloat(TailerXOffset, -2.25f);
    Trigger("Matrix1");
    QCOMPARE(TransDial()->Tran5->text(), QString("-2.25"));

    // Tab moves between windows' controls, never onto the nine small buttons.
    for (QToolButton* b : TransDial()->findChildren<QToolButton*>())
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
      DraftModel().SetTailerFloat(TailerXMinimum, 77.0f);
      const EditorSeen seen = EditValue(TransDial()->Change14, c.typed, Ending::OKButton);
      QCOMPARE(seen.caption, QString("X Minimum"));
      QCOMPARE(seen.textAtOpen, QString());
      QVERIFY(seen.openAfterEscape);
      QVERIFY2(Model().Tailer[TailerXMinimum] == Bits(c.stored), c.typed);
      QVERIFY2(TransDial()->Tran14->text() == c.shown, c.typed);
    }
    // Enter presses OK.
    EditValue(TransDial()->Change14, "-7.5", Ending::EnterKey);
    QCOMPARE(Model().TailerFloat(TailerXMinimum), -7.5f);
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
    const TTransDial* t = TransDial();
    const Row rows[] = {
        {t->Change5, t->Tran5, 4, "X Offset"},     {t->Change9, t->Tran9, 8, "Y Offset"},
        {t->Change13, t->Tran13, 12, "Z Offset"},  {t->Change14, t->Tran14, 13, "X Minimum"},
        {t->Change15, t->Tran15, 14, "Y Minimum"}, {t->Change16, t->Tran16, 15, "Z Minimum"},
        {t->Change17, t->Tran17, 16, "X Maximum"}, {t->Change18, t->Tran18, 17, "Y Maximum"},
        {t->Change19, t->Tran19, 18, "Z Maximum"},
    };
    for (const Row& row : rows) {
      const auto before = Model().Tailer;
      const EditorSeen seen = EditValue(row.change, "-42.5", Ending::OKButton);
      QCOMPARE(seen.caption, QString(row.caption));
      QCOMPARE(row.value->text(), QString("-42.5"));
      for (std::size_t i = 0; i < TailerValueCount; ++i)
        QCOMPARE(Model().Tailer[i], i == row.index ? Bits(-42.5f) : before[i]);
    }
  }

  void cancelAndCloseBoxChangeNothing() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ShowMatrix();
    const auto before = Model().Tailer;
    const QString label = TransDial()->Tran5->text();
    for (Ending ending : {Ending::CancelButton, Ending::CloseBox}) {
      const EditorSeen seen = EditValue(TransDial()->Change5, "99", ending);
      QVERIFY(seen.openAfterEscape);
      QVERIFY(!ValChDial()->isVisible());
      QVERIFY(Model().Tailer == before);
      QCOMPARE(TransDial()->Tran5->text(), label);
      QVERIFY(SaveDisabled());
      QVERIFY(!Doc().IsModified());
    }
  }

  void newValueFollowsTheSaveRule() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    ShowMatrix();
    QVERIFY(SaveDisabled());
    EditValue(TransDial()->Change9, "3", Ending::OKButton);
    QVERIFY(Doc().IsModified());
    QVERIFY(SaveEnabled());

    AnswerSaveQuestion(2);  // Discard the change
    CreateThroughNewBox("4", "4", "4");
    QVERIFY(SaveDisabled());
    EditValue(TransDial()->Change9, "3", Ending::OKButton);
    QCOMPARE(Model().TailerFloat(TailerYOffset), 3.0f);
    QVERIFY(Doc().IsModified());
    QVERIFY(SaveDisabled());  // untitled: only Save As saves it
    QVERIFY(Action("SaveAs1")->isEnabled());
  }

  void ownCloseBoxUnchecksTheToggle() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    Button("MatrixButton")->click();
    QVERIFY(TransDial()->isVisible());
    QVERIFY(Action("Matrix1")->isChecked());
    QVERIFY(Button("MatrixButton")->isChecked());
    TransDial()->close();  // the window's own close box
    QVERIFY(!TransDial()->isVisible());
    QVERIFY(!Action("Matrix1")->isChecked());
    QVERIFY(!Button("MatrixButton")->isChecked());
    // The toggle opens it again.
    Trigger("Matrix1");
    QVERIFY(TransDial()->isVisible());
    QVERIFY(Button("MatrixButton")->isChecked());
  }
};

KOBALTINE_TEST_MAIN(TestTransDial)
#include "TransDialTest.moc"
