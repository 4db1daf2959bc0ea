// A file of many sections as a user works on it: the Sections window lists them, the
// windows follow the section chosen, undo brings back the section a step was made in,
// and the section list's own changes are saved.

#include <QListWidget>
#include <QPushButton>

#include "dialogs/TNewBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "e2e/E2eSupport.h"
#include "editor/TSectionWindow.h"

using namespace e2e;
using kobaltine_test::Disarm;
using kobaltine_test::StartForms;

namespace {

QStringList Listed() {
  QStringList rows;
  for (int i = 0; i < SectionWindow()->SectionList->count(); ++i)
    rows << SectionWindow()->SectionList->item(i)->text();
  return rows;
}

void Choose(int row) {
  QListWidget* list = SectionWindow()->SectionList;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(row)).center());
}

QString PropertiesShow() {
  QString seen;
  const auto armed = WhenDialog(PropWindow(), [&seen](QWidget*) {
    seen = PropWindow()->NameText->text() + "|" + PropWindow()->DimText->text();
    PropWindow()->CancelButton->click();
  });
  Trigger("Properties1");
  Disarm(armed);
  return seen;
}

}  // namespace

class SectionsStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void theWindowsFollowTheChosenSection() {
    const QString fixture = KOBALTINE_FIXTURES "/hmec.vxl";
    if (!QFile::exists(fixture)) QSKIP("hmec.vxl is absent");
    QTemporaryDir dir;
    const QString path = CopyInto(dir, fixture, "hmec.vxl");
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(EditorModel().IsOpen());
    Shortcut(Qt::Key_F8);
    QVERIFY(SectionWindow()->isVisible());
    QVERIFY(Action("Sections1")->isChecked() && Button("SectionsButton")->isChecked());
    const QStringList rows = Listed();
    QCOMPARE(rows.size(), 13);
    QCOMPARE(rows.back(), QString("12: BODY (53 x 31 x 20)"));

    Choose(12);
    QCOMPARE(int(EditorModel().EditedSection()), 12);
    QCOMPARE(Doc().CurrentLayer(), 19);  // its top layer
    QCOMPARE(LayerWindow()->TrackBar1->maximum(), 19);
    QCOMPARE(WordBoxText(), QString("BODY"));
    QCOMPARE(Slice()->ImageBox()->size(), QSize(53 * 8, 31 * 8));
    QVERIFY(CheckSliceView(EditorModel()).isEmpty());
    QCOMPARE(PropertiesShow(), QString("BODY|53x31x20"));
    QCOMPARE(TransDial()->Tran19->text(),
             QString::asprintf("%g", double(EditorModel().TailerFloat(TailerZMaximum))));

    // A stroke in section 3, a look at section 5, then undo: back in 3, stroke gone.
    Choose(3);
    const ModelPtr before = CloneModel(EditorModel());
    Drag(Qt::LeftButton, {CellCentre(0, 0), CellCentre(1, 0), CellCentre(2, 1)});
    QVERIFY(!CompareWithEditor(*before).isEmpty());
    Choose(5);
    QCOMPARE(int(EditorModel().EditedSection()), 5);
    Shortcut(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(int(EditorModel().EditedSection()), 3);
    QCOMPARE(SectionWindow()->SectionList->currentRow(), 3);
    QVERIFY(CompareWithEditor(*before).isEmpty());
    QCOMPARE(WordBoxText(), rows[3].section(": ", 1).section(" (", 0, 0));
    QVERIFY(CheckSliceView(EditorModel()).isEmpty());
  }

  void addDuplicateMoveAndRemoveAreSaved() {
    QTemporaryDir dir;
    StartForms();
    Doc().CreateNew(4, 5, 6);
    Trigger("Sections1");
    QCOMPARE(Listed(), QStringList{"0: NEW FILE (4 x 5 x 6)"});
    QVERIFY(!SectionWindow()->RemoveButton->isEnabled());

    // A rename shows in the list at Apply, and so do its undo and redo.
    QStringList applied;
    const auto renamed = WhenDialog(PropWindow(), [&applied](QWidget*) {
      PropWindow()->NameText->setText("HULL");
      PropWindow()->ApplyButton->click();
      applied = Listed();
      PropWindow()->CancelButton->click();
    });
    Trigger("Properties1");
    Disarm(renamed);
    QCOMPARE(applied, QStringList{"0: HULL (4 x 5 x 6)"});
    Trigger("Undo1");
    QCOMPARE(Listed(), QStringList{"0: NEW FILE (4 x 5 x 6)"});
    Trigger("Redo1");
    QCOMPARE(Listed(), QStringList{"0: HULL (4 x 5 x 6)"});
    Trigger("Undo1");

    auto added = WhenDialog(NewBox(), [](QWidget*) {
      NewBox()->LengthNum->setText("7");
      NewBox()->WidthNum->setText("8");
      NewBox()->HeightNum->setText("9");
      NewBox()->OKBtn->click();
    });
    SectionWindow()->AddButton->click();
    Disarm(added);
    QCOMPARE(NewBox()->windowTitle(), QString("Add Section"));
    ClickCell(Qt::LeftButton, 1, 1);  // a voxel in the new section
    SectionWindow()->DuplicateButton->click();
    TypeLayer("3");
    SectionWindow()->UpButton->click();
    QCOMPARE(Doc().CurrentLayer(), 3);  // a move leaves the section on show as it was
    QCOMPARE(Listed(), (QStringList{"0: NEW FILE (4 x 5 x 6)", "1: NEW SECTION (7 x 8 x 9)",
                                    "2: NEW SECTION (7 x 8 x 9)"}));
    QCOMPARE(SectionWindow()->SectionList->currentRow(), 1);
    Choose(0);
    SectionWindow()->DownButton->click();
    SectionWindow()->DownButton->click();
    QVERIFY(!SectionWindow()->DownButton->isEnabled());
    Choose(0);
    SectionWindow()->RemoveButton->click();
    QCOMPARE(Listed(), (QStringList{"0: NEW SECTION (7 x 8 x 9)", "1: NEW FILE (4 x 5 x 6)"}));
    QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Remove Section"));

    const QString path = dir.filePath("parts.vxl");
    const auto named = ChooseFile(FileDialog("SaveAsDial"), path);
    Trigger("SaveAs1");
    Disarm(named);
    const ModelPtr saved = ReadModel(path);
    QCOMPARE(int(saved->SectionCount()), 2);
    QCOMPARE(int(saved->SizeX), 7);                          // the first section opens
    QCOMPARE(saved->Colours.at(1, 1, 8), std::uint8_t(15));  // on its top layer
    QCOMPARE(saved->Section(1).SizeZ, std::uint8_t(6));

    // Every list step undoes: back to the one section New made.
    for (int i = 0; i < 8 && Action("Undo1")->isEnabled(); ++i) Trigger("Undo1");
    QCOMPARE(Listed(), QStringList{"0: NEW FILE (4 x 5 x 6)"});
  }
};

KOBALTINE_TEST_MAIN(SectionsStory)
#include "SectionsTest.moc"
