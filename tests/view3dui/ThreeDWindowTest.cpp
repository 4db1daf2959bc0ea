// The 3D view window as a user meets it: presets, zoom steps, the scroll bars, its
// right-click menu, and which main-window commands render it again.

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstring>
#include <memory>

#include "model/VxlWriter.h"
#include "support/FormsFixture.h"
#include "view3d/Renderer3D.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;

namespace {

TThreeDWindow* W() {
  return Form<TThreeDWindow>("ThreeDWindow");
}

// A new model whose cell (i, j, k) of the given box has colour c, with distinct colours.
void NewModelWithBlock(int sx, int sy, int sz) {
  Doc().CreateNew(std::uint8_t(sx), std::uint8_t(sy), std::uint8_t(sz));
  TVoxelModel& m = DraftModel();
  for (int n = 0; n < 256; ++n) m.Palette[n] = PackRGB(n * 7, 255 - n, n * 3 + 1);
  int c = 1;
  for (int k = 0; k < sz; ++k)
    for (int j = 0; j < sy; ++j)
      for (int i = 0; i < sx; ++i) m.Colours.at(i, j, k) = std::uint8_t(c++);
}

void ShowView() {
  if (!W()->isVisible()) Trigger("View3D1");
  QVERIFY(W()->isVisible());
}

Pixel BitmapAt(int c, int r) {
  return W()->Buffers().ViewBitmap.At(c, r);
}

QImage GrabPaintBox() {
  return W()->PaintBox1->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels of the cleared square that are not background.
int DrawnPixels() {
  int n = 0;
  for (int r = 0; r < ViewFillSide; ++r)
    for (int c = 0; c < ViewFillSide; ++c) n += BitmapAt(c, r) != W()->Background;
  return n;
}

}  // namespace

class ThreeDWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void presetTwoRendersOnceAndUpdatesTheHints() {
    NewModelWithBlock(3, 4, 5);
    ShowView();
    const int before = W()->RenderCount;
    W()->Preset2->trigger();
    QCOMPARE(W()->RenderCount, before + 1);
    QVERIFY(!W()->SuppressRotRefresh);
    QCOMPARE(W()->XRotBar->value(), 0);
    QCOMPARE(W()->YRotBar->value(), 208);
    QCOMPARE(W()->ZRotBar->value(), 64);
    QCOMPARE(W()->XRotBar->toolTip(), QString("X: 0"));
    QCOMPARE(W()->YRotBar->toolTip(), QString("Y: 208"));
    QCOMPARE(W()->ZRotBar->toolTip(), QString("Z: 64"));
    // A user's step on one bar renders once more.
    W()->XRotBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(W()->RenderCount, before + 2);
    QCOMPARE(W()->XRotBar->toolTip(), QString("X: 1"));
  }

  void zoomStretchesAboutTheCentreWithoutRendering() {
    NewModelWithBlock(5, 5, 1);
    ShowView();
    QCOMPARE(QRect(W()->ViewDestRect), QRect(0, 0, 448, 448));
    const int before = W()->RenderCount;
    QAction* sizes[] = {W()->Size1, W()->Size2, W()->Size3, W()->Size4};
    for (int zoom : {4, 2, 3, 1, 4}) {
      sizes[zoom - 1]->trigger();
      for (int s = 0; s < 4; ++s) QCOMPARE(sizes[s]->isChecked(), s == zoom - 1);
      const int half = 224 * zoom;
      QCOMPARE(W()->ViewDestRect, (TViewRect{224 - half, 224 - half, 224 + half, 224 + half}));
      // Every screen pixel is its bitmap pixel replicated zoom x zoom times.
      const QImage shown = GrabPaintBox();
      QCOMPARE(shown.size(), QSize(448, 448));
      auto source = [zoom](int p) { return (p + 224 * (zoom - 1)) / zoom; };
      int wrong = 0;
      for (int y = 0; y < 448; ++y)
        for (int x = 0; x < 448; ++x)
          wrong += (shown.pixel(x, y) & 0xFFFFFF) != (BitmapAt(source(x), source(y)) & 0xFFFFFF);
      QCOMPARE(wrong, 0);
    }
    QCOMPARE(W()->ViewDestRect, (TViewRect{-672, -672, 1120, 1120}));
    QCOMPARE(W()->RenderCount, before);
    // The middle cell lands on (224, 224) and fills the 4 x 4 square from there.
    const QImage shown = GrabPaintBox();
    const Pixel middle = ToPixel(Model().Palette[Model().Colours.at(2, 2, 0)]);
    QCOMPARE(BitmapAt(224, 224), middle);
    for (int d = 0; d < 16; ++d) QCOMPARE(Pixel(shown.pixel(224 + d % 4, 224 + d / 4)), middle);
    QVERIFY(Pixel(shown.pixel(223, 224)) != middle);
    QVERIFY(Pixel(shown.pixel(228, 224)) != middle);
  }

  void singleVoxelStaysInTheMiddleAtEveryAngle() {
    QTemporaryDir dir;
    TVoxelModel m;
    m.SizeX = m.SizeY = m.SizeZ = 1;
    m.NormalType = 2;
    m.Colours.at(0, 0, 0) = 9;
    m.Normals.at(0, 0, 0) = 3;
    m.Palette[9] = PackRGB(200, 10, 30);
    const QString path = dir.filePath("one.vxl");
    QVERIFY(WriteVoxelFile(path.toStdString(), m));
    Main()->LoadVoxelFile(path.toStdString());
    QCOMPARE(W()->ViewSpan(), std::int16_t(2));
    ShowView();
    const struct {
      int x, y, z;
    } angles[] = {{0, 0, 0},    {37, 0, 0},    {37, 200, 0},   {37, 200, 255},
                  {64, 64, 64}, {128, 1, 191}, {219, 228, 109}};
    for (const auto& a : angles) {
      // One render for every bar that moves.
      const int moves = (W()->XRotBar->value() != a.x) + (W()->YRotBar->value() != a.y) +
                        (W()->ZRotBar->value() != a.z);
      const int before = W()->RenderCount;
      W()->XRotBar->setValue(a.x);
      W()->YRotBar->setValue(a.y);
      W()->ZRotBar->setValue(a.z);
      QCOMPARE(W()->RenderCount, before + moves);
      QVERIFY2(BitmapAt(224, 224) == ToPixel(PackRGB(200, 10, 30)),
               qPrintable(QString("%1 %2 %3").arg(a.x).arg(a.y).arg(a.z)));
      QCOMPARE(DrawnPixels(), 1);
    }
  }

  void paletteChangeShowsWithoutRotation() {
    NewModelWithBlock(2, 2, 2);
    ShowView();
    W()->Preset3->trigger();
    const std::uint8_t index = W()->Buffers().ViewIndexBuffer[224 + ViewSide * 224];
    QVERIFY(index != 0);
    const int before = W()->RenderCount;
    DraftModel().Palette[index] = PackRGB(1, 2, 250);
    Trigger("Refresh1");
    QCOMPARE(W()->RenderCount, before + 1);
    QCOMPARE(W()->XRotBar->value(), 64);
    QCOMPARE(BitmapAt(224, 224), ToPixel(PackRGB(1, 2, 250)));
    QCOMPARE(Pixel(GrabPaintBox().pixel(224, 224)), ToPixel(PackRGB(1, 2, 250)));
  }

  void onlyRefreshAndVisibleWindowRender() {
    NewModelWithBlock(4, 4, 4);
    Trigger("Refresh1");
    QCOMPARE(W()->RenderCount, 0);  // hidden: nothing to show
    ShowView();
    QCOMPARE(W()->RenderCount, 1);
    Trigger("ZoomIn1");
    Trigger("Normals1");
    Trigger("Colors2");
    Trigger("HideUnderLay1");
    Trigger("ZoomOut1");
    QCOMPARE(W()->RenderCount, 1);
    Trigger("Refresh1");
    QCOMPARE(W()->RenderCount, 2);
  }

  // Hidden by the toggle or the close box, shown again by the button: the menu check and
  // the button follow, and the view comes back rendered with its angles and zoom.
  void hidingAndShowingKeepsAnglesAndZoom() {
    NewModelWithBlock(6, 5, 4);
    auto inStep = [](bool shown) {
      return W()->isVisible() == shown && Action("View3D1")->isChecked() == shown &&
             Button("View3DButton")->isChecked() == shown;
    };
    Trigger("View3D1");
    QVERIFY(inStep(true));
    W()->Preset4->trigger();
    W()->Size3->trigger();
    Trigger("View3D1");
    QVERIFY(inStep(false));
    // An edit while hidden must show up when the window comes back.
    DraftModel().Colours.at(0, 0, 3) = 0;
    DraftModel().Colours.at(5, 4, 0) = 200;
    const int before = W()->RenderCount;
    Button("View3DButton")->click();
    QVERIFY(inStep(true));
    QCOMPARE(W()->RenderCount, before + 1);
    QCOMPARE(W()->XRotBar->value(), 219);
    QCOMPARE(W()->YRotBar->value(), 228);
    QCOMPARE(W()->ZRotBar->value(), 109);
    QVERIFY(W()->Size3->isChecked() && !W()->Size1->isChecked());
    QCOMPARE(W()->ViewDestRect, (TViewRect{-448, -448, 896, 896}));
    auto expected = std::make_unique<View3DBuffers>();
    RenderView(Model(), 219, 228, 109, W()->ViewSpan(), W()->Background, *expected);
    for (int r = 0; r < ViewFillSide; ++r)
      QVERIFY(std::memcmp(expected->ViewBitmap.Row(r), W()->Buffers().ViewBitmap.Row(r),
                          ViewFillSide * sizeof(Pixel)) == 0);
    W()->close();  // its close box
    QVERIFY(inStep(false));
  }

  void rightClickAnywhereOpensTheViewMenu() {
    NewModelWithBlock(2, 2, 2);
    ShowView();
    QVERIFY(QTest::qWaitForWindowExposed(W()));
    QCOMPARE(W()->Presets1->title(), QString("&Presets"));
    QCOMPARE(W()->Preset2->text(), QString("&2 - Face Foreward"));
    QCOMPARE(W()->Preset4->text(), QString("4 - TS Cameo"));
    QCOMPARE(W()->Zoom1->title(), QString("&Zoom"));
    QCOMPARE(W()->Size4->text(), QString("&4x"));
    for (QWidget* target : std::initializer_list<QWidget*>{
             W()->ThreeDBox, W()->PaintBox1, W()->XRotBar, W()->YRotBar, W()->ZRotBar, W()}) {
      // The window's own margin, else the middle of the control.
      const QPoint where = target == W() ? QPoint(2, 2) : target->rect().center();
      // Through the window system, which turns the right click into a menu request.
      QTest::mouseClick(W()->windowHandle(), Qt::RightButton, {}, target->mapTo(W(), where));
      QTRY_VERIFY2(W()->RCMenu->isVisible(), qPrintable(target->objectName()));
      QCOMPARE(QApplication::activePopupWidget(), W()->RCMenu);
      W()->RCMenu->close();
    }
  }
};

KOBALTINE_TEST_MAIN(ThreeDWindowTest)
#include "ThreeDWindowTest.moc"
