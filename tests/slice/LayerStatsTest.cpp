// The layer window and the statistics readouts as a user meets them: typing into the
// number box, moving the track bar, pointing at voxels and at the colour boxes; and
// zooming a scrolled slice view.

#include <QFrame>
#include <QLabel>
#include <QAction>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>

#include "SliceTestSupport.h"
#include "editor/TColorBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TStatBox.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;
using namespace slice_test;

namespace {

TLayerWindow* Layers() {
  return Form<TLayerWindow>("LayerWindow");
}
TStatBox* Stats() {
  return Form<TStatBox>("StatBox");
}

// Replaces the number box's text by typing, as a user would.
void TypeLayer(const QString& text) {
  QLineEdit* edit = Layers()->LayerNum;
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

// Each layer z holds the colour z + 1 at (0, 0), so the picture tells the layer apart.
void LayeredModel(TVoxelModel& m) {
  for (int z = 0; z < m.SizeZ; ++z) m.Colours.at(0, 0, z) = std::uint8_t(z + 1);
}

void PointAt(QWidget* target, QPoint p) {
  QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(target->mapToGlobal(p)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &move);
}

QString Texts() {
  QStringList parts;
  const TStatBox* s = Stats();
  for (QLabel* l :
       {s->RedText, s->GreenText, s->BlueText, s->IndexText, s->XText, s->YText, s->ZText})
    parts << l->text();
  return parts.join(" | ");
}

QColor PanelColour() {
  return Stats()->ColorPanel->palette().color(QPalette::Window);
}

}  // namespace

class LayerStatsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  void init() { StartForms(); }

  void typedLayerNumbersAreClamped() {
    OpenModel(dir_, 4, 4, 12, LayeredModel);
    QCOMPARE(Layers()->LayerNum->text(), QString("11"));
    Trigger("SelectLayer1");
    QVERIFY(Layers()->isVisible());

    TypeLayer("5");
    QCOMPARE(Doc().CurrentLayer(), 5);
    QCOMPARE(Layers()->TrackBar1->value(), 5);
    QCOMPARE(BitmapCell(0, 0), PaletteCell(6));

    TypeLayer("-3");
    QCOMPARE(Doc().CurrentLayer(), 0);
    QCOMPARE(Layers()->TrackBar1->value(), 0);
    QCOMPARE(Layers()->LayerNum->text(), QString("-3"));

    // 999 shows the top layer and stays in the box; the track bar clamps by itself.
    TypeLayer("9999");
    QCOMPARE(Layers()->LayerNum->text(), QString("999"));
    QCOMPARE(Doc().CurrentLayer(), 11);
    QCOMPARE(Layers()->TrackBar1->value(), 11);
    QCOMPARE(BitmapCell(0, 0), PaletteCell(12));

    TypeLayer("12");
    QCOMPARE(Doc().CurrentLayer(), 11);
    TypeLayer("7x");
    QCOMPARE(Doc().CurrentLayer(), 7);
    TypeLayer(" 3");
    QCOMPARE(Doc().CurrentLayer(), 3);
    TypeLayer("abc");
    QCOMPARE(Doc().CurrentLayer(), 0);
    TypeLayer("4");
    Layers()->LayerNum->clear();
    QCOMPARE(Doc().CurrentLayer(), 0);
    QCOMPARE(Layers()->TrackBar1->value(), 0);
  }

  void movingTheTrackBarRewritesTheNumber() {
    OpenModel(dir_, 4, 4, 10, LayeredModel);
    TypeLayer("999");
    QCOMPARE(Layers()->TrackBar1->value(), 9);
    Layers()->show();
    QTest::keyClick(Layers()->TrackBar1, Qt::Key_Left);
    QCOMPARE(Layers()->TrackBar1->value(), 8);
    QCOMPARE(Layers()->LayerNum->text(), QString("8"));
    QCOMPARE(Doc().CurrentLayer(), 8);
    QCOMPARE(BitmapCell(0, 0), PaletteCell(9));
    QTest::keyClick(Layers()->TrackBar1, Qt::Key_Home);
    QCOMPARE(Layers()->LayerNum->text(), QString("0"));
    QCOMPARE(Doc().CurrentLayer(), 0);

    // The layer moves leave the 3D view following the model: a step still renders it.
    Trigger("View3D1");
    const TThreeDWindow* view3d = Form<TThreeDWindow>("ThreeDWindow");
    QVERIFY(view3d->isVisible());
    const int renders = view3d->RenderCount;
    ChangeOneCell(1, 1, 0, 5);
    QVERIFY(view3d->RenderCount > renders);
  }

  void layerWindowWithoutAModelAndWithOneLayer() {
    // No model yet: nothing to show, and nothing breaks.
    TypeLayer("5");
    QCOMPARE(Doc().CurrentLayer(), 0);
    QVERIFY(!Model().IsOpen());

    OpenModel(dir_, 3, 3, 1, LayeredModel);
    QCOMPARE(Layers()->TrackBar1->maximum(), 0);
    for (const char* text : {"1", "-1", "255", ""}) {
      TypeLayer(text);
      QCOMPARE(Doc().CurrentLayer(), 0);
    }
    QCOMPARE(BitmapCell(0, 0), PaletteCell(1));
  }

  void statisticsShowTheVoxelUnderThePointer() {
    OpenModel(dir_, 10, 8, 3, [](TVoxelModel& m) {
      m.Colours.at(4, 3, 2) = 6;
      m.Normals.at(4, 3, 2) = 40;
    });
    QVERIFY(!Stats()->isVisible());  // written all the same
    PointAt(Box(), At(4, 3));
    QCOMPARE(Texts(), QString("R: 255 | G: 85 | B: 85 | I: 6 | X: 4 | Y: 3 | Z: 2"));
    QCOMPARE(PanelColour(), QColor(255, 85, 85));

    // An empty voxel shows index 0 and palette entry 0.
    DraftModel().Palette[0] = PackRGB(1, 2, 3);
    PointAt(Box(), At(9, 7));
    QCOMPARE(Texts(), QString("R: 1 | G: 2 | B: 3 | I: 0 | X: 9 | Y: 7 | Z: 2"));

    // Leaving the model keeps the last reading.
    PointAt(Box(), QPoint(10 * 8 + 20, 4));
    QCOMPARE(Texts(), QString("R: 1 | G: 2 | B: 3 | I: 0 | X: 9 | Y: 7 | Z: 2"));

    Trigger("Normals1");
    PointAt(Box(), At(4, 3));
    QCOMPARE(Texts(), QString("R: N/A | G: N/A | B: N/A | I: 40 | X: 4 | Y: 3 | Z: 2"));
    QCOMPARE(PanelColour(), QColor(40, 40, 40));

    // A colour box replaces the position; normals show the grey of the value.
    Doc().SetDrawingValue(false, 200);
    PointAt(Form<TColorBox>("LeftColorBox"), QPoint(3, 3));
    QCOMPARE(Texts(), QString("R: N/A | G: N/A | B: N/A | I: 200 | X: N/A | Y: N/A | Z: N/A"));
    QCOMPARE(PanelColour(), QColor(200, 200, 200));

    Trigger("Colors2");
    Doc().SetDrawingValue(true, 9);
    PointAt(Form<TColorBox>("RightColorBox"), QPoint(3, 3));
    QCOMPARE(Texts(), QString("R: 85 | G: 255 | B: 255 | I: 9 | X: N/A | Y: N/A | Z: N/A"));
    QCOMPARE(PanelColour(), QColor(85, 255, 255));

    // Back over the image box the position returns; the readout follows the layer.
    TypeLayer("0");
    PointAt(Box(), At(4, 3));
    QCOMPARE(Texts(), QString("R: 1 | G: 2 | B: 3 | I: 0 | X: 4 | Y: 3 | Z: 0"));
  }

  void zoomKeepsTheCellAtTheCentreOfTheView() {
    OpenModel(dir_, 200, 150, 1);
    Main()->showNormal();
    Main()->resize(640, 480);
    QCoreApplication::processEvents();
    QScrollArea* view = Slice();
    QScrollBar* h = view->horizontalScrollBar();
    QScrollBar* v = view->verticalScrollBar();
    const auto centreCell = [&] {
      const QSize seen = view->viewport()->size();
      const int z = Slice()->Zoom();
      return QPoint((h->value() + seen.width() / 2) / z, (v->value() + seen.height() / 2) / z);
    };
    h->setValue(517);
    v->setValue(402);
    const QPoint cell = centreCell();
    for (const char* item : {"ZoomIn1", "MaxZoom1", "ZoomOut1"}) {
      Trigger(item);
      QCoreApplication::processEvents();
      QCOMPARE(centreCell(), cell);
    }
    // At 1x the whole model fits: the offsets go as far as the range allows, to 0.
    Trigger("NormSize1");
    QCoreApplication::processEvents();
    QCOMPARE(QPoint(h->value(), v->value()), QPoint(0, 0));
    // From there the centre is the picture's, not the view's, which lies off the picture.
    Trigger("MaxZoom1");
    QCoreApplication::processEvents();
    QCOMPARE(centreCell(), QPoint(100, 75));
  }
};

KOBALTINE_TEST_MAIN(LayerStatsTest)
#include "LayerStatsTest.moc"
