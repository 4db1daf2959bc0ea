// The road of one file: a real model named on the command line is opened, a layer is
// chosen, every tool draws in both display modes, the 3D view is looked at, a palette
// entry, the name, the normal version and transformation values are changed, Ctrl+S
// saves, and the file opened again holds every change and nothing else.

#include <QFileInfo>
#include <QRadioButton>

#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"
#include "e2e/E2eSupport.h"
#include "editor/TLayerWindow.h"

using namespace e2e;
using kobaltine_test::StartForms;

namespace {

QString Shows(float value) {
  return QString::asprintf("%g", double(value));
}

// Opens the value editor with a Change button, types text and presses OK or Cancel;
// returns the editor's caption and the text its box started with.
QString EditTailerValue(QToolButton* change, const QString& typed, bool ok) {
  QString seen;
  const auto armed = WhenDialog(ValChDial(), [&](QWidget*) {
    seen = ValChDial()->windowTitle() + "|" + ValChDial()->NumBox->text();
    QTest::keyClicks(ValChDial()->NumBox, typed);
    (ok ? ValChDial()->OKBut : ValChDial()->CancelBut)->click();
  });
  QTest::mouseClick(change, Qt::LeftButton, {}, change->rect().center());
  kobaltine_test::Disarm(armed);
  return seen;
}

}  // namespace

class OpenEditSaveStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void editEverythingSaveAndReopen_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("tank sample") << QString(KOBALTINE_SAMPLES "/tank.vxl");
    QTest::newRow("cc fixture") << QString(KOBALTINE_FIXTURES "/cc.vxl");
  }

  void editEverythingSaveAndReopen() {
    QFETCH(QString, source);
    if (!QFile::exists(source)) QSKIP(qPrintable(source + " is absent"));
    QTemporaryDir dir;
    const QString path = CopyInto(dir, source, QFileInfo(source).fileName());
    const QString title = QFileInfo(path).fileName() + " - Kobaltine";
    ModelPtr expected = ReadModel(path);
    const ModelPtr original = CloneModel(*expected);
    const int sx = expected->SizeX;
    const int sy = expected->SizeY;
    const int top = expected->SizeZ - 1;

    // Named on the command line, loaded by the first activation.
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(EditorModel().IsOpen());
    QCOMPARE(Main()->windowTitle(), title);
    QCOMPARE(WordBoxText(), QString::fromLatin1(NameText(expected->Name).c_str()));
    QCOMPARE(Doc().CurrentLayer(), top);
    QVERIFY(SaveDisabled());
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    // The layer window (F10) and a layer typed into its number box.
    Shortcut(Qt::Key_F10);
    QVERIFY(LayerWindow()->isVisible());
    QVERIFY(Action("SelectLayer1")->isChecked() && Button("SelectLayerButton")->isChecked());
    QCOMPARE(LayerWindow()->LayerNum->text(), QString::number(top));
    const int layer = 3;
    TypeLayer(QString::number(layer));
    QCOMPARE(Doc().CurrentLayer(), layer);
    QCOMPARE(LayerWindow()->TrackBar1->value(), layer);
    QCOMPARE(CheckSliceView(*expected), QString());

    // ---- Colours mode ----
    QCOMPARE(ChooseDrawingValue(false, 12), QString("Choose Colour|Palette Index: 12"));
    QCOMPARE(Doc().LeftColor(), std::uint8_t(12));
    QCOMPARE(Doc().RightColor(), std::uint8_t(0));
    QCOMPARE(Slice()->CurrentTool(), DrawTool::Freehand);

    // Pen: a stroke that leaves the model on its way and comes back in.
    Drag(Qt::LeftButton, {CellCentre(2, 1), CellCentre(3, 1), CellCentre(4, 1),
                          CellCentre(sx + 3, 1), CellCentre(4, 2), CellCentre(4, 3)});
    for (auto [x, y] : {std::pair{2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}})
      expected->Colours.at(unsigned(x), unsigned(y), layer) = 12;
    QVERIFY(SaveEnabled());
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());
    // The right button erases with its value 0; normals stay.
    Drag(Qt::RightButton, {CellCentre(10, 5), CellCentre(11, 5), CellCentre(12, 5)});
    for (int x = 10; x <= 12; ++x) expected->Colours.at(unsigned(x), 5, layer) = 0;
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    // Square: the rectangle is only a preview until the release; shrinking the drag
    // wipes the larger preview.
    ClickTool(DrawTool::Square);
    QCOMPARE(Slice()->CurrentTool(), DrawTool::Square);
    QVERIFY(ToolFrame(DrawTool::Square)->isVisible());
    QVERIFY(!ToolFrame(DrawTool::Freehand)->isVisible());
    Press(Qt::LeftButton, CellCentre(20, 10));
    MoveHolding(Qt::LeftButton, CellCentre(17, 8));
    MoveHolding(Qt::LeftButton, CellCentre(12, 5));
    MoveHolding(Qt::LeftButton, CellCentre(14, 6));
    QCOMPARE(CompareWithEditor(*expected), QString());
    const QImage& screen = Slice()->ScreenImage();
    for (int y = 4; y <= 11; ++y)
      for (int x = 11; x <= 21; ++x) {
        const bool inside = x >= 14 && x <= 20 && y >= 6 && y <= 10;
        const QPoint p = CellCentre(x, y);
        const std::uint32_t want =
            inside ? PreviewCell(*expected, false, unsigned(x), unsigned(y), layer, 12)
                   : Shown(SliceCell(*expected, false, false, unsigned(x), unsigned(y), layer)
                               .value_or(Slice()->ViewState().BackgroundColour));
        QCOMPARE(std::uint32_t(screen.pixel(p)), want);
      }
    Release(Qt::LeftButton, CellCentre(14, 6));
    ExpectRect(*expected, false, 14, 6, 20, 10, layer, 12);
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());
    // Dragged out of the model, the rectangle stops at its border.
    Drag(Qt::RightButton, {CellCentre(30, 12), CellCentre(sx + 5, sy + 5)});
    ExpectRect(*expected, false, 30, 12, sx - 1, sy - 1, layer, 0);
    QCOMPARE(CompareWithEditor(*expected), QString());

    // Paint: flood fills from an empty corner and from a voxel of the model.
    ClickTool(DrawTool::Paint);
    QCOMPARE(Slice()->CurrentTool(), DrawTool::Paint);
    ClickCell(Qt::LeftButton, 0, 0);
    ExpectFloodFill(*expected, false, 0, 0, layer, 12);
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(ChooseDrawingValue(true, 5), QString("Choose Colour|Palette Index: 5"));
    int vx = -1, vy = -1;
    for (int y = 0; y < sy && vx < 0; ++y)
      for (int x = 0; x < sx && vx < 0; ++x) {
        const std::uint8_t c = expected->Colours.at(unsigned(x), unsigned(y), layer);
        if (c != 0 && c != 12) vx = x, vy = y;
      }
    QVERIFY2(vx >= 0, "the layer holds a voxel of the model");
    ClickCell(Qt::RightButton, vx, vy);
    ExpectFloodFill(*expected, false, vx, vy, layer, 5);
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    // ---- Normals mode, one zoom step closer ----
    QTest::mouseClick(Button("NormalBut"), Qt::LeftButton);
    QVERIFY(Doc().NormalsMode());
    QVERIFY(Action("Normals1")->isChecked() && !Action("Colors2")->isChecked());
    Shortcut(Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(Slice()->Zoom(), 9);
    QCOMPARE(CheckSliceView(*expected), QString());
    QCOMPARE(ChooseDrawingValue(true, 20), QString("Choose Colour|Palette Index: 20"));
    QCOMPARE(ChooseDrawingValue(false, 30), QString("Choose Colour|Palette Index: 30"));

    ClickTool(DrawTool::Freehand);
    Drag(Qt::LeftButton, {CellCentre(5, 5), CellCentre(6, 5), CellCentre(6, 6)});
    for (auto [x, y] : {std::pair{5, 5}, {6, 5}, {6, 6}})
      expected->Normals.at(unsigned(x), unsigned(y), layer) = 30;
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    ClickTool(DrawTool::Square);
    Drag(Qt::LeftButton, {CellCentre(8, 2), CellCentre(10, 3), CellCentre(11, 4)});
    ExpectRect(*expected, true, 8, 2, 11, 4, layer, 30);
    ClickCell(Qt::RightButton, 25, 3);  // a click without moving fills one cell
    expected->Normals.at(25, 3, layer) = 20;
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    ClickTool(DrawTool::Paint);
    ClickCell(Qt::RightButton, 1, 14);
    ExpectFloodFill(*expected, true, 1, 14, layer, 20);
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    Trigger("Colors2");
    QVERIFY(!Doc().NormalsMode());
    QVERIFY(Button("ColorBut")->isChecked());
    QCOMPARE(CheckSliceView(*expected), QString());

    // ---- The 3D view (F12) follows an edit on the top layer ----
    Shortcut(Qt::Key_F12);
    QVERIFY(ThreeDWindow()->isVisible());
    QVERIFY(Action("View3D1")->isChecked() && Button("View3DButton")->isChecked());
    QCOMPARE(CheckTopView(*expected), QString());
    // A layer change does not render the 3D view again; a stroke's release does.
    const int renders = ThreeDWindow()->RenderCount;
    TypeLayer(QString::number(top));
    QCOMPARE(Doc().CurrentLayer(), top);
    QCOMPARE(ThreeDWindow()->RenderCount, renders);
    ClickTool(DrawTool::Freehand);
    Drag(Qt::LeftButton, {CellCentre(0, 0), CellCentre(1, 0)});
    QCOMPARE(ThreeDWindow()->RenderCount, renders + 1);
    expected->Colours.at(0, 0, unsigned(top)) = 30;
    expected->Colours.at(1, 0, unsigned(top)) = 30;
    QCOMPARE(TopViewPixel(*expected, 0, 0), Shown(expected->Palette[30]));
    QCOMPARE(CheckTopView(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());

    // ---- Edit Palette: entry 30 becomes a new colour; both views show it ----
    const std::uint32_t before = TopViewPixel(*expected, 0, 0);
    EditPaletteEntry(30, QColor(10, 200, 30));
    expected->Palette[30] = PackRGB(10, 200, 30);
    QCOMPARE(Doc().LeftColor(), std::uint8_t(30));  // the value the boxes chose last
    QVERIFY(TopViewPixel(*expected, 0, 0) != before);
    QCOMPARE(TopViewPixel(*expected, 0, 0), Shown(PackRGB(10, 200, 30)));
    const QImage view = ThreeDWindow()->PaintBox1->grab().toImage();
    QCOMPARE(std::uint32_t(view.pixel(224 - sx / 2, 224 - sy / 2)), Shown(PackRGB(10, 200, 30)));
    QCOMPARE(CheckTopView(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());
    QCOMPARE(CompareWithEditor(*expected), QString());

    // ---- Properties: a long name applied, then a short one and the other version ----
    const bool wasRA2 = expected->NormalType == 4;
    QString shownFile, shownDims, wordBoxAfterApply;
    const auto properties = WhenDialog(PropWindow(), [&](QWidget*) {
      shownFile = PropWindow()->FileName->text();
      shownDims = PropWindow()->DimText->text();
      QTest::keyClick(PropWindow()->NameText, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(PropWindow()->NameText, "ABCDEFGHIJKLMNO");
      PropWindow()->ApplyButton->click();
      wordBoxAfterApply = WordBoxText();
      QTest::keyClick(PropWindow()->NameText, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(PropWindow()->NameText, "Rover");
      QRadioButton* other = wasRA2 ? PropWindow()->TSSelect : PropWindow()->RA2Select;
      QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(6, other->height() / 2));
      PropWindow()->OKButton->click();
    });
    QTest::mouseClick(Button("PropButton"), Qt::LeftButton);
    kobaltine_test::Disarm(properties);
    QCOMPARE(shownFile, QFileInfo(path).fileName());
    QCOMPARE(shownDims, QString("%1x%2x%3").arg(sx).arg(sy).arg(top + 1));
    QCOMPARE(wordBoxAfterApply, QString("ABCDEFGHIJKLMNO"));
    QCOMPARE(WordBoxText(), QString("Rover"));
    expected->Name = NameBytes("Rover\0GHIJKLMNO\0");
    expected->NormalType = wasRA2 ? 2 : 4;
    QCOMPARE(CompareWithEditor(*expected), QString());

    // ---- Transformation Matrix (F9): two values changed, one change cancelled ----
    Shortcut(Qt::Key_F9);
    QVERIFY(TransDial()->isVisible());
    QVERIFY(Action("Matrix1")->isChecked() && Button("MatrixButton")->isChecked());
    QCOMPARE(TransDial()->Tran13->text(), Shows(expected->TailerFloat(TailerZOffset)));
    QCOMPARE(EditTailerValue(TransDial()->Change13, " -3.5e2", true), QString("Z Offset|"));
    QCOMPARE(TransDial()->Tran13->text(), QString("-350"));
    QCOMPARE(EditTailerValue(TransDial()->Change17, "12abc", true), QString("X Maximum|"));
    QCOMPARE(TransDial()->Tran17->text(), QString("12"));
    const QString xMinimum = TransDial()->Tran14->text();
    QCOMPARE(EditTailerValue(TransDial()->Change14, "99", false), QString("X Minimum|"));
    QCOMPARE(TransDial()->Tran14->text(), xMinimum);
    expected->Tailer[TailerZOffset] = FloatBits(-350.0f);
    expected->Tailer[TailerXMaximum] = FloatBits(12.0f);
    QCOMPARE(CompareWithEditor(*expected), QString());

    // ---- Save (Ctrl+S) ----
    QVERIFY(SaveEnabled());
    Shortcut(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(SaveDisabled());
    QVERIFY(!Doc().IsModified());
    QCOMPARE(Main()->windowTitle(), title);

    // ---- Reopened from the command line: every change and nothing else ----
    QVERIFY(!CompareModels(*expected, *original).isEmpty());
    StartForms(CommandLineFor(path));
    QTRY_VERIFY(EditorModel().IsOpen());
    QCOMPARE(Main()->windowTitle(), title);
    QCOMPARE(WordBoxText(), QString("Rover"));
    QCOMPARE(CompareWithEditor(*expected), QString());
    QCOMPARE(CheckSliceView(*expected), QString());
  }
};

KOBALTINE_TEST_MAIN(OpenEditSaveStory)
#include "OpenEditSaveTest.moc"
