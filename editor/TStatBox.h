#pragma once
// The "Statistics" tool window: the position and value of the voxel under the pointer,
// or the value of a colour box. It reads the document and reads its last reading again
// after every step, since what it showed may have changed.

#include "widgets/TToolWindow.h"

class Document;
class QLabel;
class QFrame;

class TStatBox : public TToolWindow {
  Q_OBJECT
 public:
  TStatBox(Document& document, QWidget* owner);

  // The voxel (x, y, z) of the model; nothing when it lies outside the extent.
  void VoxelReadout(int x, int y, int z);
  // The drawing value of one colour box, without a position.
  void ColourBoxReadout(bool right);
  // Reads the last voxel or colour box again.
  void RepeatReadout();

  QLabel* RedText = nullptr;
  QLabel* GreenText = nullptr;
  QLabel* BlueText = nullptr;
  QLabel* IndexText = nullptr;
  QLabel* XText = nullptr;
  QLabel* YText = nullptr;
  QLabel* ZText = nullptr;
  QFrame* ColorPanel = nullptr;  // shows the colour as its background
  QFrame* Bevel1 = nullptr;      // the line above the position

 private:
  void ShowValue(std::uint8_t value);

  Document& doc_;
  enum class Source { None, Voxel, LeftBox, RightBox };
  Source last_ = Source::None;
  int x_ = 0, y_ = 0, z_ = 0;
};
