#pragma once
// The main window's parts: the document, the windows, the menus, the tool bar, the tool
// panel and the handlers of the commands. Only the main window's own files see them.

#include <QMainWindow>
#include <array>
#include <string>

#include "document/Document.h"
#include "editor/Tools.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class TAboutBox;
class TColorBox;
class TLayerWindow;
class TNewBox;
class TNormalsDial;
class TOrientationDial;
class TPaletteDialog;
class TPropWindow;
class TSectionWindow;
class TSelectFrame;
class TSliceView;
class TStatBox;
class TThreeDWindow;
class TToolImage;
class TToolWindow;
class TTransDial;

// One slot of the tool panel: inactive picture, active picture on top, frame on top.
struct TToolSlot {
  DrawTool Tool;
  QLabel* Inactive = nullptr;      // ...RAButtonB
  TToolImage* Active = nullptr;    // ...RAButton
  TSelectFrame* Select = nullptr;  // ...Select
};

class MainWindowParts {
 public:
  using Parts = MainWindowParts;
  MainWindowParts(QMainWindow& window, const std::string& commandLine);

  QMainWindow& W;
  Document Doc;

  // ---- Windows, made once with the main window in this order ----
  TSliceView* SliceView = nullptr;
  TNewBox* NewBox = nullptr;
  TPaletteDialog* PaletteDialog = nullptr;
  TLayerWindow* LayerWindow = nullptr;
  TTransDial* TransDial = nullptr;
  TPropWindow* PropWindow = nullptr;
  TAboutBox* AboutBox = nullptr;
  TStatBox* StatBox = nullptr;
  TThreeDWindow* ThreeDWindow = nullptr;
  TSectionWindow* SectionWindow = nullptr;
  TOrientationDial* OrientationDial = nullptr;  // made at its first use
  TNormalsDial* NormalsDial = nullptr;          // made at its first use

  // Right of the Sections button, the last of the tool bar.
  static constexpr int WordBoxLeft = 456;

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
  QAction* N7 = nullptr;
  QAction* CalcNormals1 = nullptr;       // Edit > "Calculate &Normals..."
  QAction* DirectionColours1 = nullptr;  // View > "&Direction Colours", in normals mode only
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
  // In panel order: Freehand, Square, Circle, Paint, Cube, Sphere, Fill.
  std::array<TToolSlot, 7> ToolSlots;
  TToolSlot& Slot(DrawTool tool);

  // ---- File dialogs ----
  QFileDialog* FileDial = nullptr;
  QFileDialog* SaveAsDial = nullptr;
  QFileDialog* PalDial = nullptr;
  QFileDialog* PalSDial = nullptr;
  QFileDialog* ImportDial = nullptr;
  QFileDialog* ExportDial = nullptr;

  // ---- Building (app/MainWindowBuild.cpp) ----
  void BuildMenus();
  void BuildNormalsCommands();
  void BuildToolBar();
  void BuildToolPanel();
  void BuildFileDialogs();
  void BuildWindows();
  // Runs a menu command only while the item and every menu above it are enabled, so
  // that shortcuts stay dead while their menu is disabled.
  void Bind(QAction* action, void (Parts::*handler)());

  // ---- The document's signals (app/MainWindowState.cpp) ----
  void Observe();
  void DocumentOpenState();
  // Undo, Redo and their tips, the clipboard commands, and the Save rule: Save is enabled
  // exactly while a titled document differs from what was last loaded or saved.
  void UpdateEditState();
  // Caption: "Kobaltine", "untitled - Kobaltine" or FileTitle + " - Kobaltine".
  void UpdateCaption();
  // WordBox shows the text of Name.
  void ShowName();
  // The colour boxes show the drawing values as the slice view draws them.
  void ShowDrawingValues();
  void FixSize();
  void FormActivate();
  // Shows or hides a tool window; menu check and button follow its visibility.
  void ToolWindowToggle(QAction* item, QToolButton* button, QWidget* window);
  void Matrix1Click();
  void SelectLayer1Click();
  void Stats1Click();
  void View3D1Click();
  void Sections1Click();
  void PropButtonClick();
  void About1Click();
  void Exit1Click();
  void Undo1Click();
  void Redo1Click();
  void Cut1Click();
  void Copy1Click();
  void Paste1Click();

  // ---- Slice view commands (app/MainWindowState.cpp) ----
  void Refresh1Click();
  void ZoomIn1Click();
  void ZoomOut1Click();
  void NormSize1Click();
  void MaxZoom1Click();
  void SetZoomItems(int zoom);
  void Colors2Click();
  void Normals1Click();
  void HideUnderLay1Click();
  void SelectTool(DrawTool tool);

  // ---- File commands (app/MainWindowFile.cpp) ----
  void New1Click();
  void Open1Click();
  void SaveButtonClick();
  void SaveAsButtonClick();
  // Save As; false when its dialog was cancelled or the file could not be written.
  bool SaveAs();
  void LoadVoxelFile(const std::string& path);
  // Writes the model; on failure shows a message and changes no document state.
  bool SaveVoxelFile(const std::string& path);
  // Asks before a changed document is replaced or closed; true when the caller may go on.
  bool ConfirmDiscard();
  void AddSectionClick();

  // ---- Import and Export (app/MainWindowInterchange.cpp) ----
  void Import1Click();
  void Export1Click();
  void ImportModelFile(const std::string& path);
  void ExportModelFile(const std::string& path);

  // ---- Palette (app/MainWindowPalette.cpp) ----
  void LoadPal1Click();
  void SavePal1Click();
  void EditPal1Click();
  void ChooseLeftColor();
  void ChooseRightColor();
  void ReadPaletteFile(const std::string& path);
  void WritePaletteFile(const std::string& path);

  // ---- Orientation and normals ----
  void Orientation1Click();
  void CalcNormals1Click();
  void CalculateNormalsIn(bool wholeSection, int radius);
  void DirectionColours1Click();
};
