#pragma once
// The one document the editor works on, as every window sees it: the model and its edit
// history, the file it belongs to, and the few choices the windows must agree on (the
// edited section, the current layer, the orientation, the two drawing values and whether
// colours or normals are shown). Windows read it, change it only through it and learn of
// every change from its signals; none of them calls another.
//
// Changes of the model come in as steps only (Record, Undo, Redo); the whole document is
// replaced only by Load, CreateNew and Import. "Modified" is worked out from the history.

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "editor/Orientation.h"
#include "model/EditHistory.h"
#include "model/EditStep.h"
#include "model/FileFormats.h"
#include "model/VoxelModel.h"
#include "model/VxlReader.h"

class Document : public QObject {
  Q_OBJECT

 public:
  explicit Document(QObject* parent = nullptr);
  ~Document() override;

  // ---- The model ----
  const TVoxelModel& Model() const { return *model_; }
  bool IsOpen() const { return model_->IsOpen(); }

  // Takes a step its maker has already applied to the model (null: nothing changed) and
  // shows it as Redo would; true when there was a step.
  bool Record(std::unique_ptr<EditStep> step);
  // Runs make(model), a core operation that changes the model and returns its step, and
  // records that step.
  template <typename Make>
  bool Edit(Make&& make) {
    return Record(make(*model_));
  }
  // The model a drag writes into cell by cell between its press and its end, when its
  // work becomes one step through Record. Nothing else may write it.
  TVoxelModel& DraftModel() { return *model_; }

  // Take back or make again one step, finishing a drag still held first. A step of
  // another section makes that section the edited one.
  bool Undo();
  bool Redo();
  const EditStep* NextUndo() const;
  const EditStep* NextRedo() const;
  bool CanUndo() const;
  bool CanRedo() const;
  // Differs from what was last loaded or saved; a model never saved counts as changed
  // once any step has been made in it.
  bool IsModified() const;
  // The document as it stands has been written to its file.
  void MarkSaved();
  // Memory the history holds.
  std::size_t HistoryBytes() const { return history_.Bytes(); }

  // ---- Replacing the whole document ----
  // Each leaves the document exactly as it was when the file is refused.
  LoadStatus Load(const std::string& path, int* error = nullptr);
  // A model read elsewhere (on another thread, say) becomes the document, with path as
  // its file or, when untitled, as a new document without one; loaded gets the model it
  // replaces.
  void Adopt(TVoxelModel& loaded, const std::string& path, bool untitled);
  // An empty untitled model, as New makes it; the palette stays.
  void CreateNew(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ);
  // A model of another format as a new untitled document; null, or the message for the user.
  const char* Import(const FileFormat& format, const std::string& path, int* error = nullptr);

  // ---- The file ----
  const std::string& FilePath() const { return filePath_; }
  const std::string& FileTitle() const { return fileTitle_; }
  bool Untitled() const { return untitled_; }
  // After Save As: the document's file is now path.
  void SetFile(const std::string& path);

  // ---- What the windows agree on ----
  int EditedSection() const { return int(model_->EditedSection()); }
  // Makes another section the edited one; not a step, like choosing a layer.
  void ChooseSection(int index);

  // The slicing shown and its layer, counted along the orientation's layer axis.
  SliceOrientation Orientation() const { return orientation_; }
  void SetOrientation(SliceOrientation orientation);
  PlaneMap Plane() const { return PlaneMap(*model_, orientation_); }
  int CurrentLayer() const { return currentLayer_; }
  // Clamped into the plane's layers.
  void SetCurrentLayer(int layer);

  // Palette indices in colours mode, normal indices in normals mode.
  std::uint8_t LeftColor() const { return leftColor_; }
  std::uint8_t RightColor() const { return rightColor_; }
  std::uint8_t DrawingValue(bool right) const { return right ? rightColor_ : leftColor_; }
  void SetDrawingValue(bool right, std::uint8_t value);

  bool NormalsMode() const { return normalsMode_; }
  void SetNormalsMode(bool on);

  // ---- Drags ----
  // Whether a view holds a drag whose step is not recorded yet; the view says so.
  bool DragHeld() const { return dragHeld_; }
  void SetDragHeld(bool held);
  // Asks the view holding a drag to end it as its release would, so that its work is a
  // step before the history or the file is touched. Returns once that is done.
  void FinishDrag();
  // Asks it to drop the drag, keeping what it changed as a step or not.
  void AbandonDrag(bool keepChanges);

 signals:
  // Each change is announced by one signal, which stands for everything that follows from
  // it (a new layer with a new section, say): a window refreshes once.
  //
  // A new document: everything is to be shown afresh.
  void replaced();
  // A step was recorded, undone or redone. When it made another section the edited one
  // (or changed the section list), changes holds ChangedSections: everything shown of
  // the edited section is to be refreshed. The current layer has been moved already,
  // onto the cells the step changed when it was elsewhere.
  void changed(const ChangeSet& changes);
  // Another section was chosen (outside the history), shown on its last layer.
  void editedSectionChanged();
  // The layer chosen; announced even when the number asked for was clamped to it.
  void currentLayerChanged(int layer);
  // The slicing changed, and the layer number with it where the new axis is shorter.
  void orientationChanged();
  void drawingValueChanged(bool right);
  void normalsModeChanged(bool on);
  // What Undo and Redo would do, or whether they can, may differ.
  void historyChanged();
  void modifiedChanged(bool modified);
  // FilePath, FileTitle or Untitled changed.
  void fileChanged();
  // Emitted synchronously by FinishDrag and AbandonDrag for the view holding a drag.
  void finishDragRequested();
  void abandonDragRequested(bool keepChanges);

 private:
  // After a step: the layer rule, then the signals.
  void ShowStep(ChangeSet changes);
  // After the document was replaced: a clean history, the layer, the signals.
  void Replaced(int layer);
  void SetFileState(const std::string& path, bool untitled);
  void NoteModified();

  std::unique_ptr<TVoxelModel> model_;
  EditHistory history_;
  std::string filePath_;
  std::string fileTitle_;
  bool untitled_ = false;
  bool modified_ = false;  // as last announced by modifiedChanged
  int shownSection_ = 0;   // the edited section as the windows last learnt of it
  SliceOrientation orientation_ = SliceOrientation::Top;
  int currentLayer_ = 0;
  std::uint8_t leftColor_ = 15;
  std::uint8_t rightColor_ = 0;
  bool normalsMode_ = false;
  bool dragHeld_ = false;
};
