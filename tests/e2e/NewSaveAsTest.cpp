// A model made from nothing: New with its three sizes, drawing, Save As (which names
// the file and makes Save usable), a further edit saved with Ctrl+S, and the file
// opened again through the Open dialog after another model.

#include <QFileInfo>
#include <QRadioButton>

#include "dialogs/TNewBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"
#include "e2e/E2eSupport.h"
#include "editor/TLayerWindow.h"

using namespace e2e;
using kobaltine_test::Disarm;
using kobaltine_test::StartForms;

namespace {

// File > Open (Ctrl+O) with a path typed into the dialog; answers a message if one comes.
QString OpenThroughDialog(const QString& path) {
  QString message;
  const auto chosen = ChooseFile(FileDialog("FileDial"), path);
  const auto answered = AnswerMessage(&message);
  Shortcut(Qt::Key_O, Qt::ControlModifier);
  Disarm(chosen);
  Disarm(answered);
  return message;
}

}  // namespace

class NewSaveAsStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void newDrawSaveAsSaveAndReopen() {
    QTemporaryDir dir;
    StartForms();
    QCOMPARE(Main()->windowTitle(), QString("Kobaltine"));

    // New (Ctrl+N): the three sizes typed, OK.
    const PaletteRGB startPalette = EditorModel().Palette;
    QString newCaption;
    const auto sizes = WhenDialog(NewBox(), [&](QWidget*) {
      newCaption = NewBox()->windowTitle();
      QTest::keyClicks(NewBox()->LengthNum, "12");
      QTest::keyClicks(NewBox()->WidthNum, "9");
      QTest::keyClicks(NewBox()->HeightNum, "5");
      QTest::mouseClick(NewBox()->OKBtn, Qt::LeftButton);
    });
    Shortcut(Qt::Key_N, Qt::ControlModifier);
    Disarm(sizes);
    QCOMPARE(newCaption, QString("New"));
    QVERIFY(EditorModel().IsOpen());

    // The expected model, built by hand: empty cells, the palette it had, the fixed
    // name and normal version, and the default transformation for 12 x 9 x 5.
    auto expected = std::make_unique<TVoxelModel>();
    expected->SizeX = 12;
    expected->SizeY = 9;
    expected->SizeZ = 5;
    expected->NormalType = 2;
    expected->Palette = startPalette;
    expected->Name = NameBytes("NEW FILE\0\0\0\0\0\0\0\0");
    const float tailer[19] = {1.0f / 12.0f, 1,  0,     0,     0, 0,    1,   0, 0, 0, 0, 1,
                              2.5f,         -6, -4.5f, -2.5f, 6, 4.5f, 2.5f};
    for (std::size_t i = 0; i < 19; ++i) expected->Tailer[i] = FloatBits(tailer[i]);
    QCOMPARE(expected->Tailer[0], 0x3DAAAAABu);  // 0.0833333358
    QCOMPARE(CompareWithEditor(*expected), QString());

    QCOMPARE(Main()->windowTitle(), QString("untitled - Kobaltine"));
    QCOMPARE(WordBoxText(), QString("NEW FILE"));
    QCOMPARE(Doc().CurrentLayer(), 0);
    QVERIFY(SaveDisabled());
    QVERIFY(Action("SaveAs1")->isEnabled() && Button("SaveAsButton")->isEnabled());
    QCOMPARE(CheckSliceView(*expected), QString());

    // Drawing on an untitled model leaves Save disabled.
    QCOMPARE(Doc().LeftColor(), std::uint8_t(15));
    Drag(Qt::LeftButton, {CellCentre(1, 1), CellCentre(2, 1)});
    expected->Colours.at(1, 1, 0) = 15;
    expected->Colours.at(2, 1, 0) = 15;
    QVERIFY(SaveDisabled());
    Shortcut(Qt::Key_F10);
    TypeLayer("2");
    QCOMPARE(Doc().CurrentLayer(), 2);
    QCOMPARE(ChooseDrawingValue(true, 9), QString("Choose Colour|Palette Index: 9"));
    ClickTool(DrawTool::Square);
    Drag(Qt::RightButton, {CellCentre(3, 3), CellCentre(5, 4), CellCentre(6, 5)});
    ExpectRect(*expected, false, 3, 3, 6, 5, 2, 9);
    // A normal without a colour, drawn in normals mode.
    Trigger("Normals1");
    ClickTool(DrawTool::Freehand);
    ClickCell(Qt::LeftButton, 1, 1);
    expected->Normals.at(1, 1, 2) = 15;
    QCOMPARE(CheckSliceView(*expected), QString());
    QTest::mouseClick(Button("ColorBut"), Qt::LeftButton);
    QVERIFY(!Doc().NormalsMode());
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());
    QVERIFY(SaveDisabled());

    // The other edits of an untitled model leave Save disabled too.
    QString fileShown, dimsShown;
    bool tsShown = false;
    const auto properties = WhenDialog(PropWindow(), [&](QWidget*) {
      fileShown = PropWindow()->FileName->text();
      dimsShown = PropWindow()->DimText->text();
      tsShown = PropWindow()->TSSelect->isChecked();
      QTest::keyClick(PropWindow()->NameText, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(PropWindow()->NameText, "Scout");
      PropWindow()->OKButton->click();
    });
    Trigger("Properties1");
    Disarm(properties);
    QCOMPARE(fileShown, QString());
    QCOMPARE(dimsShown, QString("12x9x5"));
    QVERIFY(tsShown);
    expected->Name = NameBytes("Scout\0LE\0\0\0\0\0\0\0\0");
    EditPaletteEntry(9, QColor(250, 128, 1));
    expected->Palette[9] = PackRGB(250, 128, 1);
    Shortcut(Qt::Key_F9);
    QVERIFY(TransDial()->isVisible());
    QCOMPARE(TransDial()->Tran13->text(), QString("2.5"));
    const auto value = WhenDialog(ValChDial(), [](QWidget*) {
      QTest::keyClicks(ValChDial()->NumBox, "1.5");
      QTest::keyClick(ValChDial()->NumBox, Qt::Key_Return);  // OK is the default button
    });
    QTest::mouseClick(TransDial()->Change5, Qt::LeftButton);
    Disarm(value);
    QCOMPARE(TransDial()->Tran5->text(), QString("1.5"));
    expected->Tailer[TailerXOffset] = FloatBits(1.5f);
    QVERIFY(SaveDisabled());
    QCOMPARE(WordBoxText(), QString("Scout"));
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    // Save As: a name typed without extension gets ".VXL".
    const auto saved = ChooseFile(FileDialog("SaveAsDial"), dir.filePath("made"));
    QTest::mouseClick(Button("SaveAsButton"), Qt::LeftButton);
    Disarm(saved);
    const QString path = dir.filePath("made.VXL");
    QVERIFY(QFile::exists(path));
    QCOMPARE(Main()->windowTitle(), QString("made.VXL - Kobaltine"));
    QVERIFY(!Doc().Untitled());
    QVERIFY(SaveDisabled());
    QCOMPARE(CompareModels(*ReadModel(path), *expected), QString());

    // Titled now: the next edit enables Save, and Ctrl+S writes it to the same file.
    ClickCell(Qt::LeftButton, 7, 7);
    expected->Colours.at(7, 7, 2) = 15;
    QVERIFY(SaveEnabled());
    Shortcut(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(SaveDisabled());
    QCOMPARE(Main()->windowTitle(), QString("made.VXL - Kobaltine"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"made.VXL"});

    // Another model replaces it in memory; then the saved file is opened again.
    const QString tank = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    QCOMPARE(OpenThroughDialog(tank), QString());
    QCOMPARE(Main()->windowTitle(), QString("tank.vxl - Kobaltine"));
    QVERIFY(!CompareWithEditor(*expected).isEmpty());
    QCOMPARE(OpenThroughDialog(path), QString());
    QCOMPARE(Main()->windowTitle(), QString("made.VXL - Kobaltine"));
    QCOMPARE(WordBoxText(), QString("Scout"));
    QCOMPARE(Doc().CurrentLayer(), 4);
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());
  }
};

KOBALTINE_TEST_MAIN(NewSaveAsStory)
#include "NewSaveAsTest.moc"
