#pragma once
// The main form: owns the one model, the view and tool state and the 3D buffers, and
// dispatches every command. Handlers are grouped by subsystem in several source files:
//   app/TMainWindow.cpp          construction, command states, toggles, caption, resize
//   app/MainWindowFile.cpp       Open, Save, Save As, New
//   editor/MainWindowSlice.cpp   render, paint, zoom, display modes, underlay
//   editor/MainWindowTools.cpp   tool selection and the mouse in the image box
//   editor/MainWindowReadout.cpp colour boxes and the statistics readouts
//   palette/MainWindowPalette.cpp palette files and the palette dialog's openers
//   app/MainWindowHistory.cpp    the edit history: recording, Undo, Redo, the Save rule
//                                and the question before unsaved changes are discarded
//   app/MainWindowSections.cpp   the file's sections: choosing, adding, removing, moving
//   app/MainWindowInterchange.cpp Import and Export of other formats' models
//   editor/MainWindowOrientation.cpp the orientation of the slices and the plane's sizes
//   editor/MainWindowClipboard.cpp    Cut, Copy and Paste of the current layer
//   editor/MainWindowNormals.cpp      Calculate Normals and the direction colours

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QMainWindow>
#include <array>
#include <string>

#include "editor/DrawOps.h"
#include "editor/PixelBuffer.h"
#include "editor/SliceRender.h"
#include "editor/Tools.h"
#include "editor/tools/DrawingTool.h"
#include "model/CellPatch.h"
#include "model/EditHistory.h"
#include "model/VoxelModel.h"
#include "view3d/Renderer3D.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;
class TColorBox;
class TImageBox;
class TNormalsDial;
class TOrientationDial;
class TToolImage;
class TSelectFrame;

// One slot of the tool panel: inactive picture, active picture on top, frame on top.
struct TToolSlot {
  DrawTool Tool;
  QLabel* Inactive = nullptr;      // ...RAButtonB
  TToolImage* Active = nullptr;    // ...RAButton
  TSelectFrame* Select = nullptr;  // ...Select
};

// The tool state (CurrentTool, MouseHeld, AnchorX, SquareRect, PointerX, FillValue, ...)
// is the window's own, kept where the tools of editor/tools can work on it.
class TMainWindow : public QMainWindow, public ToolState {
  Q_OBJECT

 public:
  // commandLine: the process command line as one text (see RebuildCommandLine).
  explicit TMainWindow(const std::string& commandLine);
  ~TMainWindow() override;

  // ---- The model and the document state ----
  TVoxelModel Model;
  TDocumentState Doc;  // FilePath, FileTitle, Untitled, Modified
  // Every change of the model is a step of it; the document is changed exactly when the
  // history is away from the point where it was last loaded or saved.
  EditHistory History;

  // ---- View state of the slice view ----
  SliceViewState View;  // CurrentLayer, Zoom, NormalsMode, UnderlayHidden, LeftColor, ...
  bool Suppress3DRefresh = false;
  bool SuppressImagePaint = false;
  SlicePlanes Planes;       // UnderlayPlane, ColourBelowPlane
  PixelBuffer SliceBitmap;  // the last render
  QImage ScreenImage;       // what the image box shows (render plus previews)

  // ---- Tool state (the rest comes with ToolState) ----
  Qt::MouseButton LastButton = Qt::LeftButton;

  // ---- 3D view buffers (ViewBitmap, ViewIndexBuffer, DepthBuffer, SineTable) ----
  View3DBuffers View3D;
  std::int16_t ViewSpan = 0;

  // ---- Shell state ----
  bool ToolFramePending = true;
  bool CommandLineFilePending = true;
  std::string CommandLine;
  std::string CommandLineFile;

  // ---- Menus (objectName = the name used here) ----
  QMenu* File1 = nullptr;
  QMenu* Edit1 = nullptr;
  QMenu* View1 = nullptr;
  QMenu* Zoom1 = nullptr;
  QMenu* Colors1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction *New1, *Open1, *Save1, *SaveAs1, *N3, *Properties1, *N5, *Exit1;
  QAction *Import1 = nullptr, *Export1 = nullptr;
  QAction *Undo1, *Redo1, *N1, *Cu1, *Copy1, *Paste1;
  QAction *Orientation1, *Refresh1, *N6, *Matrix1, *SelectLayer1, *Stats1, *View3D1, *N2;
  QAction* Sections1 = nullptr;
  QAction *Colors2, *Normals1, *ZoomIn1, *ZoomOut1, *NormSize1, *MaxZoom1, *N4, *HideUnderLay1;
  QAction *LoadPal1, *SavePal1, *EditPal1;
  QAction* About1;
  QActionGroup* DisplayModeGroup = nullptr;

  // ---- Tool bar Panel1 ----
  QWidget* Panel1 = nullptr;
  QFrame* Bevel1 = nullptr;
  QToolButton *NewButton, *OpenButton, *SaveButton, *SaveAsButton, *PropButton;
  QToolButton *UndoButton, *RedoButton, *CutButton, *CopyButton, *PasteButton;
  QToolButton *HideUnderBut, *ColorBut, *NormalBut;
  QToolButton *MatrixButton, *SelectLayerButton, *StatsButton, *View3DButton;
  QToolButton* SectionsButton = nullptr;
  QButtonGroup* DisplayButtonGroup = nullptr;
  QLabel* WordBox = nullptr;
  TColorBox* LeftColorBox = nullptr;
  TColorBox* RightColorBox = nullptr;

  // ---- Tool panel Panel2 ----
  QWidget* Panel2 = nullptr;
  QFrame* Bevel2 = nullptr;
  std::array<TToolSlot, 7>
      ToolSlots;  // in panel order: Freehand, Square, Circle, Paint, Cube, Sphere, Fill
  TToolSlot& Slot(DrawTool tool);

  // ---- Slice view ----
  QScrollArea* MainView = nullptr;
  TImageBox* ImageBox = nullptr;

  // ---- File dialogs ----
  QFileDialog* FileDial = nullptr;
  QFileDialog* SaveAsDial = nullptr;
  QFileDialog* PalDial = nullptr;
  QFileDialog* PalSDial = nullptr;
  QFileDialog* ImportDial = nullptr;
  QFileDialog* ExportDial = nullptr;

  // ---- Cursors "Pen", "Dropper", "Fill", "Sphere", "Cube", "Circle", "Square" ----
  QCursor CursorFor(DrawTool tool) const;
  std::array<QCursor, 7> Cursors;  // numbers 5 to 11

  // ---- File commands (app/MainWindowFile.cpp) ----
  void New1Click();
  void Open1Click();
  void SaveButtonClick();
  void SaveAsButtonClick();
  // Save As; false when its dialog was cancelled or the file could not be written.
  bool SaveAs();
  // Loads a file with every check and message, and sets up the document on success.
  void LoadVoxelFile(const std::string& path);
  // Writes the model; on failure shows a message and changes no document state.
  bool SaveVoxelFile(const std::string& path);
  // The part of New after its dialog has validated the sizes.
  void CreateNewModel(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ);

  // ---- Import and Export (app/MainWindowInterchange.cpp) ----
  void Import1Click();
  void Export1Click();
  // Reads a model of another format as a new untitled document, as New makes one.
  void ImportModelFile(const std::string& path);
  // Writes the document in another format; the document state stays as it was.
  void ExportModelFile(const std::string& path);

  // ---- Shell commands (app/TMainWindow.cpp) ----
  void PropButtonClick();
  void Exit1Click();
  void About1Click();
  void FormActivate();
  void FixSize();
  void FormDestroy();
  void Matrix1Click();
  void SelectLayer1Click();
  void Stats1Click();
  void View3D1Click();
  void Sections1Click();
  // Shows or hides a tool window; menu check and button follow its visibility.
  void ToolWindowToggle(QAction* item, QToolButton* button, QWidget* window);
  // Called by each tool window's FormClose.
  void ToolWindowClosed(QAction* item, QToolButton* button);
  void DocumentOpenState();
  void DisableSave();
  // Caption: "Kobaltine", "untitled - Kobaltine" or FileTitle + " - Kobaltine".
  void UpdateCaption();
  // WordBox shows the text of Name.
  void ShowName();
  // The layer window's track bar and number box follow the layer count and CurrentLayer.
  void SetLayerRange();

  // ---- Edit history (app/MainWindowHistory.cpp) ----
  void Undo1Click();
  void Redo1Click();
  // Takes a step the core has already applied (null: nothing changed), updates the
  // commands and shows the change through ShowChanges; true when there was a step.
  bool RecordStep(std::unique_ptr<EditStep> step);
  // The one refresh after a step is made, taken back or made again: everything that
  // shows what changed. A change of cells also brings their layer into view.
  void ShowChanges(const ChangeSet& changes);
  // Undo, Redo and their tips, and the Save rule: Save is enabled exactly while a
  // titled document differs from what was last loaded or saved.
  void UpdateEditState();
  // Asks before a changed document is replaced or closed; true when the caller may go on.
  bool ConfirmDiscard();
  // New or opened document: an empty history at its saved point.
  void ResetHistory();

  // ---- Sections (app/MainWindowSections.cpp) ----
  // Makes another section the edited one; not a step of the history.
  void ChooseSection(int index);
  void AddSectionClick();
  // The part of adding after the size dialog has validated the sizes.
  void AddSectionOfSize(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ);
  void DuplicateSectionClick();
  void RemoveSectionClick();
  void MoveSectionUpClick();
  void MoveSectionDownClick();
  // Everything that shows the edited section follows it: the slice view on its top
  // layer, the layer window's range, the 3D view, the name, the transformation values
  // and the statistics.
  // keepLayer: the layer shown stays where the section still has it (the list was
  // reordered or grown, the section itself is the same); otherwise its last layer.
  void ShowEditedSection(bool keepLayer = false);
  // The section the windows show, to notice when undo or redo switched it.
  int ShownSection = 0;

  // ---- Slice view (editor/MainWindowSlice.cpp) ----
  void Refresh1Click();
  void ImageBoxPaint();
  void ZoomIn1Click();
  void ZoomOut1Click();
  void NormSize1Click();
  void MaxZoom1Click();
  void Colors2Click();
  void Normals1Click();
  void HideUnderLay1Click();
  // Renders with the 3D view left alone (zoom, modes, underlay, layer changes).
  void RefreshWithout3D();
  // The grid the tools edit: Normals in normals mode, else Colours.
  GridKind EditedGridKind() const;
  // Fills one cell's square on the screen image (and optionally SliceBitmap).
  void FillCellOnScreen(int x, int y, std::int32_t colour, bool alsoSliceBitmap);

  // ---- Tools (editor/MainWindowTools.cpp) ----
  void SelectSphere();
  void SelectCube();
  void SelectCircle();
  void SelectSquare();
  void SelectFreehand();
  void SelectFill();
  void SelectPaint();
  void SelectTool(DrawTool tool);
  void ImageBoxMouseDown(Qt::MouseButton button, int x, int y);
  void ImageBoxMouseMove(int x, int y);
  void ImageBoxMouseUp(Qt::MouseButton button, int x, int y);
  void FormMouseUp(Qt::MouseButton button, int x, int y);
  // Ends a drag that lost its release (a new document, another press), keeping what it
  // changed as a step unless the document it belongs to is gone.
  void AbandonDrag(bool keepChanges);
  // Ends a drag still held as its release would: the stroke or shape becomes its step.
  // Commands that undo, redo, save or replace the document call it first, so that a
  // shortcut pressed during a drag, or a release that never came, loses no work.
  void FinishDrag();
  DrawingTool* Tool(DrawTool tool);
  ToolContext ToolContextNow();

  // ---- Orientation (editor/MainWindowOrientation.cpp) ----
  // The slicing shown: what the view's columns, rows and layers are in the model. Every
  // size of the slice view and the layer window's range come from it.
  PlaneMap Plane() const;
  // The slice image's size in pixels: the plane's width and height times Zoom.
  QSize SliceSize() const;
  void Orientation1Click();
  // Shows the model sliced the new way, keeping the layer number when it is in range.
  void SetOrientation(SliceOrientation orientation);
  TOrientationDial* OrientationDial = nullptr;  // made at its first use

  // ---- Clipboard (editor/MainWindowClipboard.cpp) ----
  void Cut1Click();
  void Copy1Click();
  void Paste1Click();
  // Cut and Copy while a model is open; Paste while the clipboard also holds a layer or
  // a picture.
  void UpdateClipboardCommands();
  void WatchClipboard();
  bool ClipboardHasLayer = false;  // a layer or a picture, as last announced

  // ---- Normals (editor/MainWindowNormals.cpp) ----
  QAction* N7 = nullptr;
  QAction* CalcNormals1 = nullptr;       // Edit > "Calculate &Normals..."
  QAction* DirectionColours1 = nullptr;  // View > "&Direction Colours", in normals mode only
  TNormalsDial* NormalsDial = nullptr;   // made at its first use
  void CalcNormals1Click();
  // The part after the dialog: one step of the history, shown in every window.
  void CalculateNormalsIn(bool wholeSection, int radius);
  void DirectionColours1Click();

  // ---- Colour boxes and readouts (editor/MainWindowReadout.cpp) ----
  void LeftColorBoxMouseMove();
  void RightColorBoxMouseMove();
  void ColourBoxReadout(std::uint8_t value);
  void VoxelReadout(int x, int y, int z);
  // Reads the last voxel or colour box again, after what it showed may have changed.
  void RepeatReadout();
  enum class ReadoutSource { None, Voxel, LeftBox, RightBox };
  ReadoutSource LastReadout = ReadoutSource::None;
  int ReadoutX = 0, ReadoutY = 0, ReadoutZ = 0;
  // Fill of a colour box for a drawing value: grey in normals mode, else the palette colour.
  std::int32_t DrawingValueColour(std::uint8_t value) const;

  // ---- Palette (palette/MainWindowPalette.cpp) ----
  void LoadPal1Click();
  void SavePal1Click();
  void EditPal1Click();
  void ChooseLeftColor();
  void ChooseRightColor();
  void ReadPaletteFile(const std::string& path);
  void WritePaletteFile(const std::string& path);

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildToolPanel();
  void BuildMainView();
  void BuildFileDialogs();
  void LoadCursors();
  void BuildNormalsCommands();
  std::array<std::unique_ptr<DrawingTool>, 8> tools_;  // by DrawTool value; null: not available
  std::unique_ptr<ToolCanvas> canvas_;
  // Runs a menu command only while the item and every menu above it are enabled, so
  // that shortcuts stay dead while their menu is disabled.
  void Bind(QAction* action, void (TMainWindow::*handler)());
};

// Shows a model colour (red in the low byte) as a QColor.
QColor ModelColour(std::int32_t colour);
