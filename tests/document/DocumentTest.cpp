// The document as the windows see it: which signals a step, its undo and its redo send,
// when "modified" is announced, and that a step of another section is shown in it.

#include <QSignalSpy>
#include <QTest>

#include "document/Document.h"
#include "model/CellPatch.h"
#include "model/SectionSteps.h"

namespace {

// One cell's colour, as a pen stroke would change it.
std::unique_ptr<EditStep> Paint(Document& doc, int x, int y, int z, std::uint8_t colour) {
  CellEdit edit(doc.DraftModel(), CellBox{x, y, z, x, y, z}, "Pen stroke");
  edit.Set(GridKind::Colours, x, y, z, colour);
  return edit.Finish();
}

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void stepsAnnounceTheirChangesOnce() {
    Document doc;
    doc.CreateNew(4, 4, 4);
    QSignalSpy changed(&doc, &Document::changed);
    QSignalSpy history(&doc, &Document::historyChanged);
    const CellBox cell{1, 2, 3, 1, 2, 3};
    QVERIFY(doc.Record(Paint(doc, 1, 2, 3, 9)));
    QVERIFY(doc.Undo());
    QVERIFY(doc.Redo());
    QCOMPARE(changed.count(), 3);
    for (const QList<QVariant>& signal : changed) {
      const auto changes = signal.at(0).value<ChangeSet>();
      QVERIFY(changes.Has(ChangedCells) && !changes.Has(ChangedSections));
      QCOMPARE(changes.Cells, cell);
    }
    QCOMPARE(history.count(), 3);
    // Nothing to undo or redo, and no step: nothing changed, only the commands' states.
    QVERIFY(!doc.Record(nullptr));
    QVERIFY(!doc.Redo());
    QCOMPARE(changed.count(), 3);
  }

  // "Modified" is announced when the document leaves the saved point and when it comes
  // back to it, never in between.
  void modifiedFollowsTheSavedPoint() {
    Document doc;
    doc.CreateNew(4, 4, 4);
    doc.SetFile("/tmp/never-written.vxl");  // titled, as after Save As
    doc.MarkSaved();
    QSignalSpy modified(&doc, &Document::modifiedChanged);
    struct Action {
      const char* name;
      std::function<void()> run;
      bool modifiedAfter;
      int signalsSoFar;
    };
    const Action actions[] = {
        {"first step", [&] { doc.Record(Paint(doc, 0, 0, 0, 1)); }, true, 1},
        {"second step", [&] { doc.Record(Paint(doc, 1, 0, 0, 2)); }, true, 1},
        {"undo one", [&] { doc.Undo(); }, true, 1},
        {"undo to the saved point", [&] { doc.Undo(); }, false, 2},
        {"redo", [&] { doc.Redo(); }, true, 3},
        {"save", [&] { doc.MarkSaved(); }, false, 4},
        {"undo past the saved point", [&] { doc.Undo(); }, true, 5},
        {"a new step where the redo was", [&] { doc.Record(Paint(doc, 2, 0, 0, 3)); }, true, 5},
    };
    for (const Action& a : actions) {
      a.run();
      QVERIFY2(doc.IsModified() == a.modifiedAfter, a.name);
      QVERIFY2(modified.count() == a.signalsSoFar, a.name);
      QCOMPARE(modified.last().at(0).toBool(), a.modifiedAfter);
    }
  }

  // Undoing a step made in another section shows that section first: when the windows
  // learn of the change, the section and the layer it changed are the ones shown.
  void undoInAnotherSectionSwitchesToItFirst() {
    Document doc;
    doc.CreateNew(4, 4, 8);
    QVERIFY(doc.Edit([](TVoxelModel& m) { return AddSection(m, 3, 3, 6, "Add Section"); }));
    QCOMPARE(doc.EditedSection(), 1);
    QVERIFY(doc.Record(Paint(doc, 2, 2, 1, 7)));
    doc.ChooseSection(0);
    QCOMPARE(doc.CurrentLayer(), 7);

    int sectionSeen = -1, layerSeen = -1;
    ChangeSet seen;
    connect(&doc, &Document::changed, this, [&](const ChangeSet& changes) {
      sectionSeen = doc.EditedSection();
      layerSeen = doc.CurrentLayer();
      seen = changes;
    });
    QVERIFY(doc.Undo());
    QCOMPARE(sectionSeen, 1);
    QCOMPARE(layerSeen, 1);  // the undone cell's layer, not the section's top
    QVERIFY(seen.Has(ChangedSections) && seen.Has(ChangedCells));
    QCOMPARE(doc.Model().Colours.at(2, 2, 1), std::uint8_t(0));
  }

  // A drag held is asked to end before the history moves, so its work is what Undo takes.
  void undoFinishesAHeldDragFirst() {
    Document doc;
    doc.CreateNew(4, 4, 4);
    connect(&doc, &Document::finishDragRequested, this, [&] {
      doc.SetDragHeld(false);
      doc.Record(Paint(doc, 3, 3, 3, 5));
    });
    doc.SetDragHeld(true);
    QVERIFY(doc.CanUndo());
    QVERIFY(!doc.CanRedo());
    QVERIFY(doc.Undo());
    QCOMPARE(doc.Model().Colours.at(3, 3, 3), std::uint8_t(0));
    QVERIFY(doc.CanRedo());
  }

  // New and Import leave no file behind them; a new model is untitled on its layer 0.
  void aNewDocumentHasNoFile() {
    Document doc;
    doc.CreateNew(2, 2, 2);
    doc.SetFile("/tmp/a/tank.vxl");
    QCOMPARE(doc.FileTitle(), std::string("tank.vxl"));
    QSignalSpy replaced(&doc, &Document::replaced);
    doc.CreateNew(5, 6, 7);
    QCOMPARE(replaced.count(), 1);
    QVERIFY(doc.Untitled());
    QVERIFY(doc.FilePath().empty() && doc.FileTitle().empty());
    QCOMPARE(doc.CurrentLayer(), 0);
    QVERIFY(!doc.IsModified());
  }
};

QTEST_GUILESS_MAIN(DocumentTest)
#include "DocumentTest.moc"
