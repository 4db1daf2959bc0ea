// The Properties dialog over opened and new models: what it shows, and what Apply, OK
// and Cancel write into the model and the Save command.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "DialogTestSupport.h"
#include "dialogs/TPropWindow.h"

using namespace kobaltine_test;
using namespace dialog_test;

namespace {
// Opens the dialog, runs `act` on it while it is showing, and makes sure it closes.
void WithProperties(const std::function<void()>& act) {
  WhenModal([act](QWidget*) {
    act();
    if (PropWindow()->isVisible()) PropWindow()->done(QDialog::Rejected);
  });
  Button("PropButton")->click();
}

void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class TestPropWindow : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void showsTheOpenModel() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    QString fileName, name, dims;
    bool ra2 = false, applyEnabled = true, otherEnabled = true;
    WithProperties([&] {
      fileName = PropWindow()->FileName->text();
      name = PropWindow()->NameText->text();
      dims = PropWindow()->DimText->text();
      ra2 = PropWindow()->RA2Select->isChecked() && !PropWindow()->TSSelect->isChecked() &&
            !PropWindow()->OtherShow->isChecked();
      applyEnabled = PropWindow()->ApplyButton->isEnabled();
      otherEnabled = PropWindow()->OtherShow->isEnabled();
    });
    QCOMPARE(fileName, QString("tank.vxl"));
    QCOMPARE(name, QString("Body"));
    QCOMPARE(dims, QString("6x5x4"));
    QVERIFY(ra2);
    QVERIFY(!applyEnabled);  // filling the controls is not a change
    QVERIFY(!otherEnabled);

    CreateThroughNewBox("255", "1", "7");
    WithProperties([&] {
      fileName = PropWindow()->FileName->text();
      dims = PropWindow()->DimText->text();
    });
    QCOMPARE(fileName, QString());
    QCOMPARE(dims, QString("255x1x7"));
  }

  void invalidVersionBecomesRedAlertTwo() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "v3.vxl", "Body", [](TVoxelModel& m) { m.NormalType = 3; }));
    QCOMPARE(Model().NormalType, std::uint8_t(3));
    bool otherShown = false, applyAfterClick = false;
    WithProperties([&] {
      otherShown = PropWindow()->OtherShow->isChecked() && !PropWindow()->TSSelect->isChecked() &&
                   !PropWindow()->RA2Select->isChecked();
      Click(PropWindow()->RA2Select);
      applyAfterClick = PropWindow()->ApplyButton->isEnabled();
      Click(PropWindow()->OKButton);
    });
    QVERIFY(otherShown);
    QVERIFY(applyAfterClick);
    QCOMPARE(Model().NormalType, std::uint8_t(4));
    QVERIFY(SaveEnabled());

    // There is no way back to the invalid version.
    bool stillRa2 = false;
    WithProperties([&] {
      Click(PropWindow()->OtherShow);  // disabled: the click does nothing
      stillRa2 = PropWindow()->RA2Select->isChecked() && !PropWindow()->OtherShow->isChecked();
      Click(PropWindow()->OKButton);
    });
    QVERIFY(stillRa2);
    QCOMPARE(Model().NormalType, std::uint8_t(4));
  }

  void okWithoutChangesTouchesNothing() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "SHORTNAME"));
    // Bytes after the terminator that a rewrite of the name would disturb.
    DraftModel().Name = {'S', 'H', 'O', 'R', 'T', 0, 'X', 'Y', 'Z', 0, 1, 2, 3, 4, 5, 6};
    const auto nameBefore = Model().Name;
    WithProperties([] { Click(PropWindow()->OKButton); });
    QVERIFY(Model().Name == nameBefore);
    QCOMPARE(Model().NormalType, std::uint8_t(4));
    QVERIFY(SaveDisabled());
    QVERIFY(!Doc().IsModified());
  }

  void applyThenCancelKeepsTheAppliedName() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    DraftModel().Name = {'B', 'o', 'd', 'y', 0,   'X', 'Y', 'Z',
                         'W', 'V', 'U', 'T', 'S', 'R', 'Q', 'P'};
    bool applyAfterTyping = false, applyAfterApply = true, stillOpen = false;
    QString wordBoxAfterApply;
    WithProperties([&] {
      PropWindow()->NameText->selectAll();
      QTest::keyClicks(PropWindow()->NameText, "Turret");
      applyAfterTyping = PropWindow()->ApplyButton->isEnabled();
      Click(PropWindow()->ApplyButton);
      applyAfterApply = PropWindow()->ApplyButton->isEnabled();
      stillOpen = PropWindow()->isVisible();
      wordBoxAfterApply = Form<QLabel>("WordBox")->text();
      QTest::keyClicks(PropWindow()->NameText, "Later");
      Click(PropWindow()->TSSelect);
      Click(PropWindow()->CancelButton);
    });
    QVERIFY(applyAfterTyping);
    QVERIFY(!applyAfterApply);
    QVERIFY(stillOpen);
    QCOMPARE(wordBoxAfterApply, QString("Turret"));
    // Terminator after the six characters; the bytes beyond it keep their content.
    QCOMPARE(NameBytes(Model()), std::string("Turret\0ZWVUTSRQP", 16));
    QCOMPARE(Model().NormalType, std::uint8_t(4));
    QVERIFY(SaveEnabled());

    // The next showing starts from the model: the cancelled text is gone.
    QString shown;
    bool applyAtStart = true;
    WithProperties([&] {
      shown = PropWindow()->NameText->text();
      applyAtStart = PropWindow()->ApplyButton->isEnabled();
      QTest::keyClicks(PropWindow()->NameText, "X");
      QTest::keyClick(PropWindow()->NameText, Qt::Key_Escape);  // Escape is Cancel
    });
    QCOMPARE(shown, QString("Turret"));
    QVERIFY(!applyAtStart);
    QCOMPARE(NameBytes(Model()), std::string("Turret\0ZWVUTSRQP", 16));
  }

  void fullLengthNameSurvivesARadioChange() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "ABCDEFGHIJKLMNOP"));
    QCOMPARE(NameBytes(Model()), std::string("ABCDEFGHIJKLMNOP"));
    QString shown;
    WithProperties([&] {
      shown = PropWindow()->NameText->text();
      Click(PropWindow()->TSSelect);
      Click(PropWindow()->OKButton);
    });
    QCOMPARE(shown, QString("ABCDEFGHIJKLMNOP"));
    QCOMPARE(NameBytes(Model()), std::string("ABCDEFGHIJKLMNOP"));
    QCOMPARE(Model().NormalType, std::uint8_t(2));
    QCOMPARE(Form<QLabel>("WordBox")->text(), QString("ABCDEFGHIJKLMNOP"));

    // A user can shorten it, but not type beyond 15 characters again.
    QString typed;
    WithProperties([&] {
      QTest::keyClick(PropWindow()->NameText, Qt::Key_End);
      QTest::keyClick(PropWindow()->NameText, Qt::Key_Backspace);
      QTest::keyClicks(PropWindow()->NameText, "QR");
      typed = PropWindow()->NameText->text();
      Click(PropWindow()->OKButton);
    });
    QCOMPARE(typed, QString("ABCDEFGHIJKLMNO"));
    QCOMPARE(NameBytes(Model()), std::string("ABCDEFGHIJKLMNO\0", 16));
  }

  void theNameBoxTakesOnlyWhatTheFileHolds() {
    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Hull\x01"));
    QString typed;
    WithProperties([&] {
      QLineEdit* box = PropWindow()->NameText;
      box->end(false);
      // Typed, then pasted: only printable single-byte characters get in.
      for (const char* ch : {"T", "\xC3\xA4", "\xE2\x82\xAC", "\xD0\xB6", "~"})
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString::fromUtf8(ch), {});
      box->insert(QString::fromUtf8("\xCE\xA9-\xC2\xA0\xC3\xBF"));
      typed = box->text();
      Click(PropWindow()->OKButton);
    });
    // The byte that came with the file stays, as it was.
    QCOMPARE(typed, QString::fromUtf8("Hull\x01T\xC3\xA4~-\xC2\xA0\xC3\xBF"));
    QCOMPARE(NameBytes(Model()), std::string("Hull\x01T\xE4~-\xA0\xFF\0\0\0\0\0", 16));
    QCOMPARE(Form<QLabel>("WordBox")->text(), typed);
  }

  void saveFollowsTheTitle() {
    CreateThroughNewBox("8", "8", "8");
    QVERIFY(SaveDisabled());
    WithProperties([] {
      PropWindow()->NameText->setText("Hull");
      Click(PropWindow()->RA2Select);
      Click(PropWindow()->ApplyButton);
      Click(PropWindow()->OKButton);
    });
    QCOMPARE(QString::fromStdString(NameText(Model().Name)), QString("Hull"));
    QCOMPARE(Model().NormalType, std::uint8_t(4));
    QVERIFY(SaveDisabled());  // untitled: saved with Save As only
    QVERIFY(Action("SaveAs1")->isEnabled());

    QTemporaryDir dir;
    QVERIFY(OpenWrittenModel(dir, "tank.vxl", "Body"));
    QVERIFY(SaveDisabled());
    WithProperties([] {
      PropWindow()->NameText->setText("Hull");
      Click(PropWindow()->OKButton);
    });
    QVERIFY(SaveEnabled());
  }
};

KOBALTINE_TEST_MAIN(TestPropWindow)
#include "PropWindowTest.moc"
