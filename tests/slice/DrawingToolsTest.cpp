// The drawing tools as a user meets them: real mouse presses, drags and releases on the
// image box, checked in the model and in the pixels of the screen and SliceBitmap.

#include <QAction>
#include <QToolButton>

#include "SliceTestSupport.h"
#include "editor/ToolSlotWidgets.h"
#include "resources/Artwork.h"

using namespace kobaltine_test;
using namespace slice_test;

namespace {

void ClickTool(const char* activeImage) {
  QTest::mouseClick(Form<TToolImage>(activeImage), Qt::LeftButton);
}

}  // namespace

class DrawingToolsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  void init() { StartForms(); }

  void selectingAToolMovesTheFrameAndTheCursor() {
    struct Case {
      const char* image;
      DrawTool tool;
      const char* cursor;
    };
    const Case cases[] = {
        {"SquareRAButton", DrawTool::Square, "Square"},
        {"CircleRAButton", DrawTool::Circle, "Circle"},
        {"PaintRAButton", DrawTool::Paint, "Fill"},
        {"CubeRAButton", DrawTool::Cube, "Cube"},
        {"SphereRAButton", DrawTool::Sphere, "Sphere"},
        {"FillRAButton", DrawTool::Fill, "Fill"},
        {"FreehandRAButton", DrawTool::Freehand, "Pen"},
    };
    OpenModel(dir_, 8, 8, 2);
    QVERIFY(SelectFrame(DrawTool::Freehand)->isVisible());
    QList<QImage> drawings;
    for (const Case& c : cases) {
      ClickTool(c.image);
      QCOMPARE(Slice()->CurrentTool(), c.tool);
      for (const ToolInfo& t : ToolTable())
        QCOMPARE(SelectFrame(t.Tool)->isVisible(), t.Tool == c.tool);
      const QCursor shown = Box()->cursor(), wanted = ArtCursor(c.cursor);
      QVERIFY2(!shown.pixmap().isNull(), c.image);
      QCOMPARE(shown.hotSpot(), wanted.hotSpot());
      QCOMPARE(shown.pixmap().toImage(), wanted.pixmap().toImage());
      if (!drawings.contains(wanted.pixmap().toImage())) drawings << wanted.pixmap().toImage();
    }
    QCOMPARE(drawings.size(), 6);            // one drawing a cursor: Paint and Fill share theirs
    QVERIFY(!Action("Save1")->isEnabled());  // choosing a tool is no edit
  }

  void penStrokePaintsEachCellItPasses() {
    OpenModel(dir_, 12, 10, 2, [](TVoxelModel& m) { m.Normals.at(5, 3, 1) = 33; });
    const int top = 1;
    Press(Qt::LeftButton, At(2, 3));
    Move(At(3, 3), Qt::LeftButton);
    Move(At(5, 3), Qt::LeftButton);  // a jump: (4, 3) stays untouched
    // The model holds the stroke at once; the screen shows it, SliceBitmap not yet.
    QCOMPARE(ColourAt(2, 3, top), std::uint8_t(15));
    QCOMPARE(ColourAt(3, 3, top), std::uint8_t(15));
    QCOMPARE(ColourAt(4, 3, top), std::uint8_t(0));
    QCOMPARE(ColourAt(5, 3, top), std::uint8_t(15));
    QCOMPARE(ScreenCell(3, 3), PaletteCell(15));
    QCOMPARE(BitmapCell(3, 3), Background());
    // Dragged off the model: clamped, counts as outside, paints nothing.
    Move(QPoint(12 * 8 + 30, 3 * 8 + 4), Qt::LeftButton);
    QCOMPARE(ColourAt(11, 3, top), std::uint8_t(0));
    Release(Qt::LeftButton, QPoint(12 * 8 + 30, 3 * 8 + 4));
    QCOMPARE(BitmapCell(5, 3), PaletteCell(15));
    QCOMPARE(ScreenCell(4, 3), Background());
    // Colours mode leaves the normals alone.
    QCOMPARE(NormalAt(5, 3, top), std::uint8_t(33));
    QCOMPARE(CountSet(Model().Colours, top), 3);
    QCOMPARE(CountSet(Model().Colours, 0), 0);
    // Passing over the model with no button held draws nothing.
    Move(At(7, 7));
    QCOMPARE(ColourAt(7, 7, top), std::uint8_t(0));

    // The right button draws RightColor.
    Doc().SetDrawingValue(true, 4);
    Press(Qt::RightButton, At(8, 8));
    Move(At(9, 8), Qt::RightButton);
    QCOMPARE(ScreenCell(9, 8), PaletteCell(4));
    Release(Qt::RightButton, At(9, 8));
    QCOMPARE(ColourAt(8, 8, top), std::uint8_t(4));
    QCOMPARE(ColourAt(9, 8, top), std::uint8_t(4));
  }

  void erasingShowsTheUnderlayAtOnce() {
    OpenModel(dir_, 6, 6, 3, [](TVoxelModel& m) {
      m.Colours.at(2, 2, 0) = 5;  // below: shows through once the top is erased
      m.Colours.at(2, 2, 2) = 9;
      m.Colours.at(3, 2, 2) = 9;
    });
    Doc().SetDrawingValue(true, 0);
    Press(Qt::RightButton, At(2, 2));
    Move(At(3, 2), Qt::RightButton);
    QCOMPARE(ColourAt(2, 2, 2), std::uint8_t(0));
    QCOMPARE(ScreenCell(2, 2), PaletteCell(5));
    QCOMPARE(ScreenCell(3, 2), Background());
    const Pixel previewed = ScreenCell(2, 2);
    Release(Qt::RightButton, At(3, 2));
    // The preview was exactly what the render shows.
    QCOMPARE(BitmapCell(2, 2), previewed);
    QCOMPARE(ScreenCell(2, 2), previewed);
    QCOMPARE(ColourAt(2, 2, 0), std::uint8_t(5));
  }

  void rectangleDraggedBackwardsThenShrunk() {
    OpenModel(dir_, 16, 12, 2);
    ClickTool("SquareRAButton");
    const int top = 1;

    // (10, 10) to (3, 7): X 3..10, Y 7..10 at release, nothing before.
    Press(Qt::LeftButton, At(10, 10));
    QCOMPARE(ScreenCell(10, 10), PaletteCell(15));
    Move(At(3, 7), Qt::LeftButton);
    QCOMPARE(BitmapCell(3, 7), PaletteCell(15));
    QCOMPARE(ScreenCell(3, 7), PaletteCell(15));
    QCOMPARE(CountSet(Model().Colours, top), 0);
    Release(Qt::LeftButton, At(3, 7));
    QCOMPARE(CountSet(Model().Colours, top), 32);
    for (int y = 7; y <= 10; ++y)
      for (int x = 3; x <= 10; ++x) QCOMPARE(ColourAt(x, y, top), std::uint8_t(15));

    // Again with the right button, shrunk back to (8, 9): the layer is redrawn and the
    // 3 x 2 preview shows on it.
    Doc().SetDrawingValue(true, 4);
    Press(Qt::RightButton, At(10, 10));
    Move(At(3, 7), Qt::RightButton);
    QCOMPARE(BitmapCell(3, 7), PaletteCell(4));
    Move(At(8, 9), Qt::RightButton);
    QCOMPARE(BitmapCell(3, 7), PaletteCell(15));
    QCOMPARE(BitmapCell(7, 9), PaletteCell(15));
    QCOMPARE(BitmapCell(8, 8), PaletteCell(15));
    for (int y = 9; y <= 10; ++y)
      for (int x = 8; x <= 10; ++x) QCOMPARE(BitmapCell(x, y), PaletteCell(4));
    QCOMPARE(ScreenCell(3, 7), PaletteCell(15));
    QCOMPARE(ScreenCell(8, 9), PaletteCell(4));
    QCOMPARE(ColourAt(8, 9, top), std::uint8_t(15));  // still only a preview
    Release(Qt::RightButton, At(8, 9));
    int fours = 0;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) fours += ColourAt(x, y, top) == 4;
    QCOMPARE(fours, 6);
    QCOMPARE(ColourAt(10, 10, top), std::uint8_t(4));
    QCOMPARE(CountSet(Model().Colours, top), 32);

    // Dragged beyond the model's corner: the rectangle is pinned to the border.
    Doc().SetDrawingValue(false, 5);
    Press(Qt::LeftButton, At(14, 10));
    Move(QPoint(16 * 8 + 40, 12 * 8 + 40), Qt::LeftButton);
    Release(Qt::LeftButton, QPoint(16 * 8 + 40, 12 * 8 + 40));
    for (int y = 10; y <= 11; ++y)
      for (int x = 14; x <= 15; ++x) QCOMPARE(ColourAt(x, y, top), std::uint8_t(5));
    QCOMPARE(ColourAt(13, 10, top), std::uint8_t(0));
    QCOMPARE(ColourAt(10, 10, top), std::uint8_t(4));
    QCOMPARE(CountSet(Model().Colours, 0), 0);
  }

  void clickWithTheSquareFillsOneCell() {
    OpenModel(dir_, 8, 8, 1);
    ClickTool("SquareRAButton");
    Press(Qt::LeftButton, At(5, 5));
    Release(Qt::LeftButton, At(5, 5));
    QCOMPARE(ColourAt(5, 5, 0), std::uint8_t(15));
    QCOMPARE(CountSet(Model().Colours, 0), 1);
    QCOMPARE(BitmapCell(5, 5), PaletteCell(15));
  }

  void fillStopsAtADiagonalAndStaysOnItsLayer() {
    OpenModel(dir_, 8, 8, 3, [](TVoxelModel& m) {
      for (int i = 0; i <= 4; ++i) m.Colours.at(i, 4 - i, 1) = 3;  // touching at corners only
      m.Normals.at(0, 0, 1) = 20;
    });
    Doc().SetCurrentLayer(1);
    Trigger("Refresh1");
    ClickTool("PaintRAButton");
    Press(Qt::LeftButton, At(0, 0));
    // Filled at the press, rendered at once.
    QCOMPARE(BitmapCell(1, 1), PaletteCell(15));
    Release(Qt::LeftButton, At(0, 0));
    int filled = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const std::uint8_t c = ColourAt(x, y, 1);
        if (x + y < 4) QCOMPARE(c, std::uint8_t(15));
        if (x + y == 4 && y <= 4) QCOMPARE(c, std::uint8_t(3));
        if (x + y > 4) QCOMPARE(c, std::uint8_t(0));
        filled += c == 15;
      }
    QCOMPARE(filled, 10);
    QCOMPARE(CountSet(Model().Colours, 0), 0);
    QCOMPARE(CountSet(Model().Colours, 2), 0);
    QCOMPARE(NormalAt(0, 0, 1), std::uint8_t(20));
    QCOMPARE(Slice()->Tools().FillValue, std::uint8_t(15));

    // A fill on a cell that already holds the value changes nothing but still renders:
    // a voxel set below, not yet shown, comes through the underlay with the press.
    DraftModel().Colours.at(7, 7, 0) = 5;
    QCOMPARE(BitmapCell(7, 7), Background());
    Press(Qt::LeftButton, At(0, 0));
    QCOMPARE(BitmapCell(7, 7), PaletteCell(5));
    QCOMPARE(BitmapCell(0, 0), PaletteCell(15));
    Release(Qt::LeftButton, At(0, 0));
    QCOMPARE(CountSet(Model().Colours, 1), 15);
  }

  void normalsModeEditsTheNormalsOnly() {
    OpenModel(dir_, 8, 8, 1, [](TVoxelModel& m) {
      for (int x = 0; x < 8; ++x) m.Colours.at(x, 2, 0) = 6;  // a coloured row
    });
    Trigger("Normals1");
    Doc().SetDrawingValue(false, 40);
    ClickTool("PaintRAButton");
    Press(Qt::LeftButton, At(0, 0));
    Release(Qt::LeftButton, At(0, 0));
    QCOMPARE(CountSet(Model().Normals, 0), 64);
    for (int x = 0; x < 8; ++x) QCOMPARE(ColourAt(x, 2, 0), std::uint8_t(6));
    QCOMPARE(CountSet(Model().Colours, 0), 8);
    QCOMPARE(BitmapCell(3, 2), ToPixel(Grey(40)));            // normal with a colour
    QCOMPARE(BitmapCell(3, 5), ToPixel(PackRGB(255, 0, 0)));  // normal without a colour

    // The pen previews the same codes the render gives.
    ClickTool("FreehandRAButton");
    Doc().SetDrawingValue(true, 0);
    Press(Qt::RightButton, At(4, 2));  // coloured, normal 0: black
    Move(At(4, 3), Qt::RightButton);   // nothing left: background
    QCOMPARE(ScreenCell(4, 2), ToPixel(0));
    QCOMPARE(ScreenCell(4, 3), Background());
    Release(Qt::RightButton, At(4, 3));
    QCOMPARE(BitmapCell(4, 2), ToPixel(0));
    QCOMPARE(BitmapCell(4, 3), Background());
    QCOMPARE(ColourAt(4, 2, 0), std::uint8_t(6));
  }

  void middleButtonDoesNothing() {
    OpenModel(dir_, 8, 8, 1);
    ClickTool("PaintRAButton");
    Press(Qt::MiddleButton, At(3, 3));
    Release(Qt::MiddleButton, At(3, 3));
    QCOMPARE(CountSet(Model().Colours, 0), 0);
    QVERIFY(!Action("Save1")->isEnabled());
    QVERIFY(!Doc().IsModified());
    QCOMPARE(Slice()->LastButton(), Qt::LeftButton);

    // A left square press, a middle click in the drag, and the left release: the middle
    // button neither moves the anchor nor ends or writes the rectangle.
    ClickTool("SquareRAButton");
    Press(Qt::LeftButton, At(1, 1));
    Move(At(2, 2), Qt::LeftButton);
    Press(Qt::MiddleButton, At(6, 6));
    Release(Qt::MiddleButton, At(6, 6));
    QCOMPARE(Slice()->Tools().AnchorX, std::uint8_t(1));
    QVERIFY(Slice()->Tools().MouseHeld);
    QCOMPARE(CountSet(Model().Colours, 0), 0);
    Move(At(3, 3), Qt::LeftButton);
    Release(Qt::LeftButton, At(3, 3));
    QCOMPARE(CountSet(Model().Colours, 0), 9);
    QCOMPARE(ColourAt(6, 6, 0), std::uint8_t(0));

    // A middle press after a fill does not fill again with the old value.
    ClickTool("PaintRAButton");
    Press(Qt::MiddleButton, At(7, 7));
    Release(Qt::MiddleButton, At(7, 7));
    QCOMPARE(CountSet(Model().Colours, 0), 9);
  }

  void releaseWithoutPressWritesNothing() {
    OpenModel(dir_, 8, 8, 1);
    ClickTool("SquareRAButton");
    Press(Qt::LeftButton, At(1, 1));
    Move(At(2, 2), Qt::LeftButton);
    Release(Qt::LeftButton, At(2, 2));
    QCOMPARE(CountSet(Model().Colours, 0), 4);
    for (int y = 1; y <= 2; ++y)
      for (int x = 1; x <= 2; ++x) DraftModel().Colours.at(x, y, 0) = 0;

    // A click on the bare form ends in FormMouseUp: the old rectangle stays unwritten.
    const QPoint bare(4, Main()->height() - 4);
    QTest::mouseRelease(Main(), Qt::LeftButton, {}, bare);
    QCOMPARE(CountSet(Model().Colours, 0), 0);
    QTest::mouseRelease(Main(), Qt::RightButton, {}, bare);
    QCOMPARE(CountSet(Model().Colours, 0), 0);

    // A drag interrupted by New: the release that finally arrives writes nothing into
    // the new model.
    Press(Qt::LeftButton, At(3, 3));
    Doc().CreateNew(8, 8, 2);
    QTest::mouseRelease(Main(), Qt::LeftButton, {}, bare);
    QCOMPARE(CountSet(Model().Colours, 0), 0);
    QCOMPARE(CountSet(Model().Colours, 1), 0);
    QVERIFY(!Slice()->Tools().MouseHeld);
  }

  void saveFollowsTheFirstPressOfATitledModel() {
    OpenModel(dir_, 8, 8, 1);
    QVERIFY(!Action("Save1")->isEnabled());
    QVERIFY(!Button("SaveButton")->isEnabled());
    Press(Qt::LeftButton, At(0, 0));
    Release(Qt::LeftButton, At(0, 0));
    QVERIFY(Action("Save1")->isEnabled());
    QVERIFY(Button("SaveButton")->isEnabled());
    QVERIFY(Doc().IsModified());
    Button("SaveButton")->click();
    QVERIFY(!Action("Save1")->isEnabled());
    // The first press after a save enables it again.
    Press(Qt::LeftButton, At(1, 1));
    Release(Qt::LeftButton, At(1, 1));
    QVERIFY(Action("Save1")->isEnabled());

    // An untitled model keeps Save disabled: it is saved with Save As.
    Doc().CreateNew(8, 8, 1);
    QVERIFY(!Action("Save1")->isEnabled());
    Press(Qt::LeftButton, At(2, 2));
    Release(Qt::LeftButton, At(2, 2));
    QCOMPARE(ColourAt(2, 2, 0), std::uint8_t(15));
    QVERIFY(!Action("Save1")->isEnabled());
    QVERIFY(!Button("SaveButton")->isEnabled());
  }
};

KOBALTINE_TEST_MAIN(DrawingToolsTest)
#include "DrawingToolsTest.moc"
