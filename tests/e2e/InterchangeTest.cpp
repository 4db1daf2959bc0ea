// MagicaVoxel models in and out of the editor: Import makes a new untitled document of
// every model, after the question about unsaved changes; Export writes the document
// and leaves its state alone; the dialogs list .vox files in any case.

#include <QListWidget>

#include "e2e/E2eSupport.h"
#include "editor/TSectionWindow.h"
#include "model/FileFormats.h"
#include "model/NewModel.h"
#include "model/VoxTestFiles.h"

using namespace e2e;
using kobaltine_test::AnswerSaveQuestion;
using kobaltine_test::ChangeOneCell;
using kobaltine_test::Disarm;
using kobaltine_test::StartForms;

namespace {

// Two models of different sizes, written by the core.
QString WriteTwoModels(const QTemporaryDir& dir, const QString& name) {
  VoxScene scene;
  scene.Palette = VoxDefaultPalette();
  scene.Models = {{4, 3, 5, {{0, 0, 0, 7}, {3, 2, 4, 200}}, ""}, {2, 6, 2, {{1, 5, 1, 9}}, ""}};
  const QString path = dir.filePath(name);
  if (!WriteVoxFile(path.toStdString(), scene)) qFatal("cannot write %s", qPrintable(path));
  return path;
}

// What the core makes of the file, to compare the editor's document with.
ModelPtr Imported(const QString& path) {
  auto m = std::make_unique<TVoxelModel>();
  if (ReadWith(*FormatNamed("vox"), path.toStdString(), *m) != nullptr) qFatal("cannot import");
  return m;
}

void OpenTank(const QTemporaryDir& dir) {
  StartForms(CommandLineFor(CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl")));
  QTRY_VERIFY(EditorModel().IsOpen());
}

// Runs Import, choosing path in its dialog; false when the dialog never showed.
bool Import(const QString& path) {
  bool shown = false;
  const auto armed = ChooseFile(FileDialog("ImportDial"), path, [&shown] { shown = true; });
  Trigger("Import1");
  Disarm(armed);
  return shown;
}

// The names a file dialog lists in dir.
QStringList Listed(QFileDialog* dialog, const QString& dir) {
  QStringList names;
  const auto armed = WhenDialog(dialog, [&](QWidget*) {
    dialog->setDirectory(dir);
    auto* view = dialog->findChild<QAbstractItemView*>("listView");
    (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 2; }, 3000);
    QTest::qWait(50);
    for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
      names << view->model()->index(i, 0, view->rootIndex()).data().toString();
    dialog->reject();
  });
  dialog->exec();
  Disarm(armed);
  names.sort(Qt::CaseInsensitive);
  return names;
}

}  // namespace

class InterchangeStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void importAsksFirstThenMakesANewUntitledDocumentOfEveryModel() {
    QTemporaryDir dir;
    OpenTank(dir);
    ChangeOneCell(0, 0, 0, 3);
    const QString path = WriteTwoModels(dir, "two.vox");
    QString question;
    auto armed = AnswerSaveQuestion(3, &question);
    QVERIFY(!Import(path));  // Cancel: no dialog, the document stays
    Disarm(armed);
    QCOMPARE(question, QString("Save changes to tank.vxl?"));
    QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));

    armed = AnswerSaveQuestion(2);
    QVERIFY(Import(path));  // Discard
    Disarm(armed);
    QCOMPARE(Main()->windowTitle(), QString("untitled - Kobaltine"));
    QVERIFY(Doc().Untitled() && SaveDisabled() && !Action("Undo1")->isEnabled());
    QVERIFY(Action("SaveAs1")->isEnabled() && Action("Export1")->isEnabled());
    const ModelPtr expected = Imported(path);
    QVERIFY(SameModel(EditorModel(), *expected));
    QCOMPARE(Doc().CurrentLayer(), 4);  // the top layer of section 0
    QCOMPARE(LayerWindow()->TrackBar1->maximum(), 4);
    QCOMPARE(WordBoxText(), QString("MODEL 1"));
    QCOMPARE(SectionWindow()->SectionList->count(), 2);

    // A file that is refused leaves the new document as it was.
    WriteBytes(dir.filePath("bad.vox").toStdString(), VoxBytes(Size(257, 1, 1) + Xyzi({})));
    QString message;
    armed = AnswerMessage(&message);
    QVERIFY(Import(dir.filePath("bad.vox")));
    Disarm(armed);
    QCOMPARE(message, QString("Model is too large (at most 255 per side)!"));
    QVERIFY(SameModel(EditorModel(), *expected));
  }

  void exportWritesTheDocumentAndLeavesItsState() {
    QTemporaryDir dir;
    OpenTank(dir);
    QVERIFY(Action("Export1")->isEnabled());
    ChangeOneCell(0, 0, 0, 3);
    // A voxel of a normal alone, which a .vox file cannot hold.
    {
      CellEdit edit(kobaltine_test::DraftModel(), CellBox{1, 0, 0, 1, 0, 0}, "Pen stroke");
      edit.Set(GridKind::Colours, 1, 0, 0, 0);
      edit.Set(GridKind::Normals, 1, 0, 0, 9);
      Doc().Record(edit.Finish());
    }
    const std::string filePath = Doc().FilePath();
    QString message;
    const auto answered = AnswerMessage(&message);
    const auto chosen = ChooseFile(FileDialog("ExportDial"), dir.filePath("out"));
    Trigger("Export1");
    Disarm(chosen);
    QTRY_COMPARE(message,
                 QString("1 voxel without a colour was left out. A MagicaVoxel model holds only "
                         "voxels with a colour."));
    Disarm(answered);
    QVERIFY(QFile::exists(dir.filePath("out.vox")));  // the default suffix
    QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));
    QCOMPARE(Doc().FilePath(), filePath);
    QVERIFY(SaveEnabled() && !Doc().Untitled());

    // A file that cannot be written says so; the document stays as it was.
    message.clear();
    const auto failed = AnswerMessage(&message);
    Main()->ExportModelFile(dir.filePath("none/x.vox").toStdString());
    Disarm(failed);
    QCOMPARE(message, QString("Could not write the file!"));
    QVERIFY(SaveEnabled());

    // Any other name gets .vox, so the document's own file stays whole; a file that is
    // there is replaced only when the user says so (answer 1), not when not (2).
    const Bytes documentBytes = ReadBytes(filePath), old = {'o', 'l', 'd'};
    const struct {
      const char *typed, *written;
      int answer;  // 0: no question
    } rows[] = {{"tank.vxl", "tank.vxl.vox", 0},
                {"tank.vxl", "tank.vxl.vox", 2},
                {"tank.vxl", "tank.vxl.vox", 1},
                {"b.VOX", "b.VOX", 0}};
    for (const auto& row : rows) {
      const std::string written = dir.filePath(row.written).toStdString();
      if (row.answer != 0) WriteBytes(written, old);
      QString question;
      const auto asked = WhenMessageDialog("DoubleButDial", [&](QWidget* d) {
        question = d->findChild<QLabel*>("Text")->text();
        d->findChild<QAbstractButton*>(QString("Button%1").arg(row.answer))->click();
      });
      const auto left = AnswerMessage(nullptr);
      const auto typed = ChooseFile(FileDialog("ExportDial"), dir.filePath(row.typed));
      Trigger("Export1");
      Disarm(typed);
      Disarm(left);
      Disarm(asked);
      QCOMPARE(question, row.answer == 0 ? QString()
                                         : QString(row.written) +
                                               " already exists. Do you want to replace it?");
      QVERIFY(!ReadBytes(written).empty());
      QCOMPARE(ReadBytes(written) == old, row.answer == 2);
      QCOMPARE(ReadBytes(filePath), documentBytes);
    }
  }

  void theDialogsListVoxFilesInAnyCase() {
    StartForms();
    QVERIFY(Action("Import1")->isEnabled() && !Action("Export1")->isEnabled());
    QTemporaryDir dir;
    for (const char* name : {"a.vox", "B.VOX", "c.vxl", "d.txt"}) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    for (QFileDialog* dialog : {FileDialog("ImportDial"), FileDialog("ExportDial")}) {
      QCOMPARE(dialog->nameFilters(), QStringList{"MagicaVoxel model (*.vox)"});
      QCOMPARE(Listed(dialog, dir.path()), (QStringList{"a.vox", "B.VOX"}));
    }
  }
};

KOBALTINE_TEST_MAIN(InterchangeStory)
#include "InterchangeTest.moc"
