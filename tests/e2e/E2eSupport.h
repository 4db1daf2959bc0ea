#pragma once
// Shared helpers of the end-to-end stories: a user's hands (menus, shortcuts, buttons,
// the mouse in the slice view, the dialogs) and a user's eyes (what the slice view and
// the 3D view must show), plus an independent expected model that the stories edit
// alongside the editor and compare with what was saved and opened again.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <bit>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/TNewBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"
#include "editor/TColorBox.h"
#include "editor/TImageBox.h"
#include "editor/TLayerWindow.h"
#include "editor/TSectionWindow.h"
#include "editor/TStatBox.h"
#include "editor/ToolSlotWidgets.h"
#include "editor/tools/ToolTable.h"
#include "model/VxlReader.h"
#include "palette/TPaletteDialog.h"
#include "support/FormsFixture.h"
#include "view3d/TThreeDWindow.h"
#include "widgets/MessageDialogs.h"

namespace e2e {

using kobaltine_test::Action;
using kobaltine_test::Button;
using kobaltine_test::Doc;
using kobaltine_test::Form;
using kobaltine_test::Main;
using kobaltine_test::PendingActions;
using kobaltine_test::Slice;
using kobaltine_test::Trigger;

// The model the editor holds now.
inline const TVoxelModel& EditorModel() {
  return kobaltine_test::Model();
}

// The windows of the main window, found by their names.
inline TLayerWindow* LayerWindow() {
  return Form<TLayerWindow>("LayerWindow");
}
inline TThreeDWindow* ThreeDWindow() {
  return Form<TThreeDWindow>("ThreeDWindow");
}
inline TPaletteDialog* PaletteDialog() {
  return Form<TPaletteDialog>("PaletteDialog");
}
inline TTransDial* TransDial() {
  return Form<TTransDial>("TransDial");
}
inline TValChDial* ValChDial() {
  return Form<TValChDial>("ValChDial");
}
inline TPropWindow* PropWindow() {
  return Form<TPropWindow>("PropWindow");
}
inline TNewBox* NewBox() {
  return Form<TNewBox>("NewBox");
}
inline TSectionWindow* SectionWindow() {
  return Form<TSectionWindow>("SectionWindow");
}
inline TStatBox* StatBox() {
  return Form<TStatBox>("StatBox");
}
inline QFileDialog* FileDialog(const char* name) {
  return Form<QFileDialog>(name);
}
inline QString WordBoxText() {
  return Form<QLabel>("WordBox")->text();
}

// ---------------------------------------------------------------------------------
// The expected model: read straight from a file, then edited by the story itself.

using ModelPtr = std::unique_ptr<TVoxelModel>;

inline ModelPtr ReadModel(const QString& path) {
  auto m = std::make_unique<TVoxelModel>();
  if (ReadVoxelFile(path.toStdString(), *m) != LoadStatus::Ok)
    qFatal("cannot read %s", qPrintable(path));
  return m;
}

inline ModelPtr CloneModel(const TVoxelModel& from) {
  auto m = std::make_unique<TVoxelModel>();
  m->SizeX = from.SizeX;
  m->SizeY = from.SizeY;
  m->SizeZ = from.SizeZ;
  m->NormalType = from.NormalType;
  std::memcpy(m->Colours.data(), from.Colours.data(), GridCells);
  std::memcpy(m->Normals.data(), from.Normals.data(), GridCells);
  m->Palette = from.Palette;
  m->Name = from.Name;
  m->Tailer = from.Tailer;
  return m;
}

// Every difference a user could see or a file could carry: extent, normal version,
// palette, all 16 name bytes, the tailer bit patterns and every in-extent cell of both
// grids. Empty when the two agree; otherwise the first few differences.
inline QString CompareModels(const TVoxelModel& actual, const TVoxelModel& expected) {
  QStringList out;
  auto note = [&out](const QString& s) {
    if (out.size() < 8) out << s;
  };
  if (actual.SizeX != expected.SizeX || actual.SizeY != expected.SizeY ||
      actual.SizeZ != expected.SizeZ)
    return QString("extent %1x%2x%3, expected %4x%5x%6")
        .arg(actual.SizeX)
        .arg(actual.SizeY)
        .arg(actual.SizeZ)
        .arg(expected.SizeX)
        .arg(expected.SizeY)
        .arg(expected.SizeZ);
  if (actual.NormalType != expected.NormalType)
    note(QString("NormalType %1, expected %2").arg(actual.NormalType).arg(expected.NormalType));
  for (int i = 0; i < 256; ++i)
    if (actual.Palette[std::size_t(i)] != expected.Palette[std::size_t(i)])
      note(QString("palette entry %1 is %2, expected %3")
               .arg(i)
               .arg(actual.Palette[std::size_t(i)], 6, 16, QChar('0'))
               .arg(expected.Palette[std::size_t(i)], 6, 16, QChar('0')));
  for (int i = 0; i < 16; ++i)
    if (actual.Name[std::size_t(i)] != expected.Name[std::size_t(i)])
      note(QString("name byte %1 is %2, expected %3")
               .arg(i)
               .arg(actual.Name[std::size_t(i)])
               .arg(expected.Name[std::size_t(i)]));
  for (std::size_t i = 0; i < TailerValueCount; ++i)
    if (actual.Tailer[i] != expected.Tailer[i])
      note(QString("tailer value %1 is %2, expected %3")
               .arg(i)
               .arg(actual.Tailer[i], 8, 16, QChar('0'))
               .arg(expected.Tailer[i], 8, 16, QChar('0')));
  int cellDiffs = 0;
  for (unsigned z = 0; z < expected.SizeZ; ++z)
    for (unsigned y = 0; y < expected.SizeY; ++y)
      for (unsigned x = 0; x < expected.SizeX; ++x) {
        const bool c = actual.Colours.at(x, y, z) != expected.Colours.at(x, y, z);
        const bool n = actual.Normals.at(x, y, z) != expected.Normals.at(x, y, z);
        if (!c && !n) continue;
        ++cellDiffs;
        note(QString("cell (%1,%2,%3) holds %4/%5, expected %6/%7")
                 .arg(x)
                 .arg(y)
                 .arg(z)
                 .arg(actual.Colours.at(x, y, z))
                 .arg(actual.Normals.at(x, y, z))
                 .arg(expected.Colours.at(x, y, z))
                 .arg(expected.Normals.at(x, y, z)));
      }
  if (cellDiffs > 0) out << QString("%1 cells differ").arg(cellDiffs);
  return out.join("; ");
}

inline QString CompareWithEditor(const TVoxelModel& expected) {
  return CompareModels(EditorModel(), expected);
}

// The grid a tool edits in the given display mode.
inline VoxelGrid& Grid(TVoxelModel& m, bool normals) {
  return normals ? m.Normals : m.Colours;
}

// A 4-connected fill on one layer, written independently of the editor's own.
inline void ExpectFloodFill(TVoxelModel& m, bool normals, int x, int y, int z, std::uint8_t value) {
  VoxelGrid& g = Grid(m, normals);
  const std::uint8_t old = g.at(unsigned(x), unsigned(y), unsigned(z));
  if (old == value) return;
  std::vector<std::pair<int, int>> todo{{x, y}};
  g.at(unsigned(x), unsigned(y), unsigned(z)) = value;
  while (!todo.empty()) {
    const auto [cx, cy] = todo.back();
    todo.pop_back();
    const int dx[4] = {0, -1, 0, 1};
    const int dy[4] = {-1, 0, 1, 0};
    for (int k = 0; k < 4; ++k) {
      const int nx = cx + dx[k];
      const int ny = cy + dy[k];
      if (nx < 0 || ny < 0 || nx >= m.SizeX || ny >= m.SizeY) continue;
      std::uint8_t& cell = g.at(unsigned(nx), unsigned(ny), unsigned(z));
      if (cell != old) continue;
      cell = value;
      todo.push_back({nx, ny});
    }
  }
}

inline void ExpectRect(TVoxelModel& m, bool normals, int x0, int y0, int x1, int y1, int z,
                       std::uint8_t value) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      Grid(m, normals).at(unsigned(x), unsigned(y), unsigned(z)) = value;
}

inline std::array<std::uint8_t, 16> NameBytes(const char (&text)[17]) {
  std::array<std::uint8_t, 16> bytes{};
  for (int i = 0; i < 16; ++i) bytes[std::size_t(i)] = std::uint8_t(text[i]);
  return bytes;
}

inline std::uint32_t FloatBits(float f) {
  return std::bit_cast<std::uint32_t>(f);
}

// ---------------------------------------------------------------------------------
// What the views must show, worked out from the expected model alone.

// 0xFFRRGGBB of a model colour (red in the low byte).
inline std::uint32_t Shown(std::int32_t colour) {
  const auto c = std::uint32_t(colour);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline std::int32_t GreyOf(unsigned n) {
  return std::int32_t(n * 65793u);
}
constexpr std::int32_t kRed = 0x0000FF;

// The colour of cell (x, y) on layer z of the slice view, or nothing (background).
inline std::optional<std::int32_t> SliceCell(const TVoxelModel& m, bool normals,
                                             bool underlayHidden, unsigned x, unsigned y,
                                             unsigned z) {
  const std::uint8_t c = m.Colours.at(x, y, z);
  const std::uint8_t n = m.Normals.at(x, y, z);
  if (!normals) {
    if (c != 0) return m.Palette[c];
    if (underlayHidden) return std::nullopt;
    for (unsigned k = z; k-- > 0;)
      if (m.Colours.at(x, y, k) != 0) return m.Palette[m.Colours.at(x, y, k)];
    return std::nullopt;
  }
  if (n != 0) return c != 0 ? GreyOf(n) : kRed;
  if (c != 0) return 0;
  if (underlayHidden) return std::nullopt;
  unsigned u = 0;
  for (unsigned k = z; k-- > 0;)
    if (m.Normals.at(x, y, k) != 0) {
      u = m.Normals.at(x, y, k);
      break;
    }
  bool colourBelow = false;
  for (unsigned k = 0; k < z; ++k) colourBelow = colourBelow || m.Colours.at(x, y, k) != 0;
  if (u != 0) return colourBelow ? GreyOf(u) : kRed;
  if (colourBelow) return 0;
  return std::nullopt;
}

// What the preview of a drag shows for a cell if value were stored there.
inline std::uint32_t PreviewCell(TVoxelModel& m, bool normals, unsigned x, unsigned y, unsigned z,
                                 std::uint8_t value) {
  std::uint8_t& cell = Grid(m, normals).at(x, y, z);
  const std::uint8_t kept = cell;
  cell = value;
  const SliceViewState& v = Slice()->ViewState();
  const auto colour = SliceCell(m, normals, v.UnderlayHidden, x, y, z);
  cell = kept;
  return colour ? Shown(*colour) : Shown(v.BackgroundColour);
}

// Checks every pixel of the rendered layer, of the screen image and of what the image
// box paints against the expected model; empty when all agree.
inline QString CheckSliceView(const TVoxelModel& m) {
  const SliceViewState& v = Slice()->ViewState();
  const int zoom = v.Zoom;
  const PixelBuffer& bitmap = Slice()->SliceBitmap();
  const QImage& screen = Slice()->ScreenImage();
  if (bitmap.Width() != m.SizeX * zoom || bitmap.Height() != m.SizeY * zoom)
    return QString("SliceBitmap is %1x%2").arg(bitmap.Width()).arg(bitmap.Height());
  if (screen.width() != bitmap.Width() || screen.height() != bitmap.Height())
    return "screen size differs";
  if (Slice()->ImageBox()->size() != QSize(bitmap.Width(), bitmap.Height()))
    return "image box size differs";
  // What the image box paints, not only what it was given to paint.
  const QImage painted =
      Slice()->ImageBox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  if (painted.size() != screen.size()) return "the image box paints another size";
  const unsigned z = unsigned(v.CurrentLayer);
  for (unsigned y = 0; y < m.SizeY; ++y)
    for (unsigned x = 0; x < m.SizeX; ++x) {
      const auto colour = SliceCell(m, v.NormalsMode, v.UnderlayHidden, x, y, z);
      const std::uint32_t want = Shown(colour ? *colour : v.BackgroundColour);
      for (int r = 0; r < zoom; ++r)
        for (int c = 0; c < zoom; ++c) {
          const int px = int(x) * zoom + c;
          const int py = int(y) * zoom + r;
          if (bitmap.At(px, py) != want || std::uint32_t(screen.pixel(px, py)) != want ||
              std::uint32_t(painted.pixel(px, py)) != want)
            return QString("cell (%1,%2) of layer %3 shows %4/%5/%6, expected %7")
                .arg(x)
                .arg(y)
                .arg(z)
                .arg(bitmap.At(px, py), 8, 16, QChar('0'))
                .arg(std::uint32_t(screen.pixel(px, py)), 8, 16, QChar('0'))
                .arg(std::uint32_t(painted.pixel(px, py)), 8, 16, QChar('0'))
                .arg(want, 8, 16, QChar('0'));
        }
    }
  return {};
}

// The 3D view with all three angles 0 looks straight down: the column (i, j) shows the
// colour of its highest voxel with a non-zero colour index. Checks the whole cleared
// square of ViewBitmap; empty when it agrees.
inline QString CheckTopView(const TVoxelModel& m) {
  const TThreeDWindow* view = ThreeDWindow();
  if (view->XRotBar->value() != 0 || view->YRotBar->value() != 0 || view->ZRotBar->value() != 0)
    return "the 3D view is turned";
  const PixelBuffer& bitmap = view->Buffers().ViewBitmap;
  const int left = 224 - m.SizeX / 2;
  const int top = 224 - m.SizeY / 2;
  for (int r = 0; r < 384; ++r)
    for (int c = 0; c < 384; ++c) {
      std::uint32_t want = view->Background;
      const int i = c - left;
      const int j = r - top;
      if (i >= 0 && j >= 0 && i < m.SizeX && j < m.SizeY)
        for (unsigned k = m.SizeZ; k-- > 0;)
          if (const std::uint8_t colour = m.Colours.at(unsigned(i), unsigned(j), k); colour != 0) {
            want = Shown(m.Palette[colour]);
            break;
          }
      if (bitmap.At(c, r) != want)
        return QString("3D pixel (%1,%2) is %3, expected %4")
            .arg(c)
            .arg(r)
            .arg(bitmap.At(c, r), 8, 16, QChar('0'))
            .arg(want, 8, 16, QChar('0'));
    }
  return {};
}

// The 3D pixel that shows column (i, j) when the view looks straight down.
inline std::uint32_t TopViewPixel(const TVoxelModel& m, int i, int j) {
  return ThreeDWindow()->Buffers().ViewBitmap.At(224 - m.SizeX / 2 + i, 224 - m.SizeY / 2 + j);
}

// ---------------------------------------------------------------------------------
// Dialogs. A modal dialog blocks, so the action is armed before the call that opens it.

// Runs action on the first modal dialog for which match is true (polling every 5 ms).
inline QPointer<QTimer> WhenModalIs(std::function<bool(QWidget*)> match,
                                    std::function<void(QWidget*)> action, int timeoutMs = 5000) {
  return kobaltine_test::WhenModal(std::move(action), timeoutMs, std::move(match));
}

// A story that fails inside a dialog must not hang the run: a dialog left open for
// several seconds is closed and named here, and cleanup() reports it.
inline QString& AbandonedDialogs() {
  static QString names;
  return names;
}

inline void StartModalWatchdog() {
  static QTimer* watchdog = nullptr;
  if (watchdog != nullptr) return;
  watchdog = new QTimer(qApp);
  watchdog->setInterval(200);
  auto since = std::make_shared<QElapsedTimer>();
  auto seen = std::make_shared<QPointer<QWidget>>();
  QObject::connect(watchdog, &QTimer::timeout, [since, seen]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
      *seen = nullptr;
      return;
    }
    if (seen->data() != modal) {
      *seen = modal;
      since->start();
      return;
    }
    if (since->elapsed() < 8000) return;
    AbandonedDialogs() += modal->objectName() + "(" + modal->windowTitle() + ") ";
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    *seen = nullptr;
  });
  watchdog->start();
}

// For each story's cleanup(): fails the story that left a dialog open.
inline void ExpectNoAbandonedDialogs() {
  const QString abandoned = AbandonedDialogs();
  AbandonedDialogs().clear();
  QVERIFY2(abandoned.isEmpty(), qPrintable("dialogs left open: " + abandoned));
}

inline QPointer<QTimer> WhenDialog(QWidget* dialog, std::function<void(QWidget*)> action) {
  QPointer<QWidget> wanted(dialog);
  return WhenModalIs([wanted](QWidget* d) { return d == wanted.data(); }, std::move(action));
}

// The message dialogs are made at each use; they are known by their names.
inline QPointer<QTimer> WhenMessageDialog(const char* name, std::function<void(QWidget*)> action) {
  const QString wanted = QString::fromLatin1(name);
  return WhenModalIs([wanted](QWidget* d) { return d->objectName() == wanted; },
                     std::move(action));
}

// Answers the next message (and only a message) and reports its text.
inline QPointer<QTimer> AnswerMessage(QString* text) {
  return WhenMessageDialog("SingleButDial", [text](QWidget* d) {
    if (text != nullptr) *text = d->findChild<QLabel*>("Text")->text();
    d->findChild<QAbstractButton*>("Button1")->click();
  });
}

// Types a path into a file dialog and accepts it; afterAccept runs once the dialog has
// taken the name, before the command goes on.
inline void TypeFileName(QWidget* dialog, const QString& path) {
  kobaltine_test::AcceptFileDialog(dialog, path);
}

inline QPointer<QTimer> ChooseFile(QFileDialog* dialog, const QString& path,
                                   std::function<void()> afterAccept = {}) {
  return WhenDialog(dialog, [path, afterAccept](QWidget* d) {
    TypeFileName(d, path);
    if (afterAccept) afterAccept();
  });
}

// ---------------------------------------------------------------------------------
// The main window: shortcuts, tools and the mouse in the slice view.

inline void Shortcut(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Main()->activateWindow();
  QCoreApplication::processEvents();
  QTest::keyClick(Main(), Qt::Key(key), modifiers);
  QCoreApplication::processEvents();
}

// A tool's slot in the tool panel: its active picture and the frame that marks it chosen.
inline TToolImage* ToolImage(DrawTool tool) {
  const QByteArray name = QByteArray(ToolInfoOf(tool).Name) + "RAButton";
  return Form<TToolImage>(name.constData());
}
inline TSelectFrame* ToolFrame(DrawTool tool) {
  const QByteArray name = QByteArray(ToolInfoOf(tool).Name) + "Select";
  return Form<TSelectFrame>(name.constData());
}

inline void ClickTool(DrawTool tool) {
  TToolImage* image = ToolImage(tool);
  QTest::mouseClick(image, Qt::LeftButton, {}, image->rect().center());
}

inline QPoint CellCentre(int cx, int cy) {
  const int z = Slice()->Zoom();
  return {cx * z + z / 2, cy * z + z / 2};
}

inline void Press(Qt::MouseButton button, QPoint p) {
  QTest::mousePress(Slice()->ImageBox(), button, {}, p);
}
inline void Release(Qt::MouseButton button, QPoint p) {
  QTest::mouseRelease(Slice()->ImageBox(), button, {}, p);
}
inline void MoveHolding(Qt::MouseButton button, QPoint p) {
  QWidget* box = Slice()->ImageBox();
  QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(box->mapToGlobal(p)), Qt::NoButton,
                   button, Qt::NoModifier);
  QApplication::sendEvent(box, &move);
}

// A drag through the given image-box points: press at the first, release at the last.
inline void Drag(Qt::MouseButton button, const std::vector<QPoint>& points) {
  Press(button, points.front());
  for (std::size_t i = 1; i < points.size(); ++i) MoveHolding(button, points[i]);
  Release(button, points.back());
}

inline void ClickCell(Qt::MouseButton button, int cx, int cy) {
  Drag(button, {CellCentre(cx, cy)});
}

// Chooses a drawing value through a colour box and the palette dialog, as a user does.
inline QString ChooseDrawingValue(bool right, int index) {
  QString shown;
  TPaletteDialog* dialog = PaletteDialog();
  const auto armed = WhenDialog(dialog, [dialog, index, &shown](QWidget*) {
    const QPoint swatch((index % 16) * 20 + 10, (index / 16) * 20 + 10);
    QTest::mouseClick(dialog->PaintBox1, Qt::LeftButton, {}, swatch);
    shown = dialog->windowTitle() + "|" + dialog->IndexText->text();
    dialog->PalOKButton->click();
  });
  TColorBox* box = Form<TColorBox>(right ? "RightColorBox" : "LeftColorBox");
  QTest::mousePress(box, Qt::LeftButton, {}, QPoint(4, 4));
  QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(4, 4));
  kobaltine_test::Disarm(armed);
  return shown;
}

// Colours > Edit Palette, a double click on a swatch, a colour in the chooser, OK.
inline void EditPaletteEntry(int index, const QColor& colour) {
  TPaletteDialog* dialog = PaletteDialog();
  const auto armed = WhenDialog(dialog, [dialog, index, colour](QWidget*) {
    const QPoint swatch((index % 16) * 20 + 10, (index / 16) * 20 + 10);
    QWidget* grid = dialog->PaintBox1;
    WhenDialog(dialog->PalEditDialog, [dialog, colour](QWidget*) {
      dialog->PalEditDialog->setCurrentColor(colour);
      dialog->PalEditDialog->accept();
    });
    // A double click as it arrives: press and release, then the second press and release.
    QTest::mouseClick(grid, Qt::LeftButton, {}, swatch);
    QTest::mouseDClick(grid, Qt::LeftButton, {}, swatch);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, swatch);
    dialog->PalOKButton->click();
  });
  Trigger("EditPal1");
  kobaltine_test::Disarm(armed);
}

// The layer window's number box, typed over as a user does.
inline void TypeLayer(const QString& text) {
  QLineEdit* box = LayerWindow()->LayerNum;
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, text);
}

using kobaltine_test::SaveDisabled;
using kobaltine_test::SaveEnabled;

// Copies a file into dir under a new name.
inline QString CopyInto(const QTemporaryDir& dir, const QString& from, const QString& name) {
  const QString to = dir.filePath(name);
  QFile::remove(to);
  if (!QFile::copy(from, to)) qFatal("cannot copy %s", qPrintable(from));
  QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
  return to;
}

inline std::string CommandLineFor(const QString& path) {
  return "\"kobaltine\" " + path.toStdString();
}

}  // namespace e2e
