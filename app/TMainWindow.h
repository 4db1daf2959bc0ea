#pragma once
// The main form. It owns the one document and every window that shows it, builds the
// menus, the tool bar and the tool panel, runs the file commands and the question before
// unsaved changes are lost, and connects the document's signals to its own commands and
// caption. The windows follow the document themselves; the main window only composes.
//
// Its parts and handlers live in app/MainWindowParts.h, their code by subject:
//   app/TMainWindow.cpp            construction, events, the command line
//   app/MainWindowBuild.cpp        menus, tool bar, tool panel, file dialogs
//   app/MainWindowState.cpp        command states, tool-window toggles, caption, resize
//   app/MainWindowFile.cpp         Open, Save, Save As, New, the unsaved-changes question
//   app/MainWindowInterchange.cpp  Import and Export of other formats' models
//   app/MainWindowPalette.cpp      palette files and the palette dialog's openers
//   app/MainWindowOrientation.cpp  the orientation dialog
//   app/MainWindowNormals.cpp      Calculate Normals and the direction colours

#include <QMainWindow>
#include <memory>
#include <string>

class Document;
class MainWindowParts;

class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // commandLine: the process command line as one text (see RebuildCommandLine).
  explicit TMainWindow(const std::string& commandLine);
  ~TMainWindow() override;

  // The document every window shows.
  Document& document();

  // The file commands once their dialog has given a path, each with its messages.
  void LoadVoxelFile(const std::string& path);
  void ImportModelFile(const std::string& path);
  void ExportModelFile(const std::string& path);
  void ReadPaletteFile(const std::string& path);
  void WritePaletteFile(const std::string& path);

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::unique_ptr<MainWindowParts> parts_;
};
