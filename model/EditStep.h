#pragma once
// One change to the document, kept so that it can be taken back and made again. Every
// change the user makes is one step; the history holds them in order.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/VoxelModel.h"

// An inclusive box of cells; empty when any low corner lies beyond its high corner.
struct CellBox {
  int X0 = 0, Y0 = 0, Z0 = 0;
  int X1 = -1, Y1 = -1, Z1 = -1;

  bool Empty() const { return X0 > X1 || Y0 > Y1 || Z0 > Z1; }
  std::size_t Cells() const {
    return Empty() ? 0
                   : std::size_t(X1 - X0 + 1) * std::size_t(Y1 - Y0 + 1) * std::size_t(Z1 - Z0 + 1);
  }
  // The box grown to hold the other one too.
  CellBox& operator|=(const CellBox& other);
  bool operator==(const CellBox&) const = default;
};

// The whole extent of the model, and one layer of it.
CellBox ModelBox(const TVoxelModel& model);
CellBox LayerBox(const TVoxelModel& model, int z);

// What a step touched, so that the windows refresh exactly what shows it.
enum ChangeKind : unsigned {
  ChangedNothing = 0,
  ChangedCells = 1u << 0,
  ChangedPalette = 1u << 1,
  ChangedName = 1u << 2,
  ChangedNormalType = 1u << 3,
  ChangedTailer = 1u << 4,
  // The section list changed, and with it perhaps which section is edited: everything
  // shown of the edited section is to be refreshed.
  ChangedSections = 1u << 5,
};

// The section of a step that belongs to none: a change of the whole file.
constexpr int FileWide = -1;

struct ChangeSet {
  unsigned What = ChangedNothing;
  CellBox Cells;           // with ChangedCells: the cells that may differ
  int Section = FileWide;  // the section Cells and the values belong to

  bool Has(ChangeKind kind) const { return (What & kind) != 0; }
  ChangeSet& operator|=(const ChangeSet& other);
};

class EditStep {
 public:
  explicit EditStep(std::string label) : label_(std::move(label)) {}
  virtual ~EditStep() = default;
  EditStep(const EditStep&) = delete;
  EditStep& operator=(const EditStep&) = delete;

  // Puts back exactly what was there after the change (redo).
  virtual void Apply(TVoxelModel& model) const = 0;
  // Puts back exactly what was there before it (undo).
  virtual void Revert(TVoxelModel& model) const = 0;
  virtual ChangeSet Changes() const = 0;
  // Memory the step holds, for the history's budget.
  virtual std::size_t Bytes() const = 0;

  // What the user did, as menus and tips name it: "Pen stroke".
  const std::string& Label() const { return label_; }

  // The section the step was made in; the history makes it the edited one before the
  // step is taken back or made again. Set when the step is made.
  int Section() const { return section_; }
  void SetSection(int section) { section_ = section; }

 private:
  std::string label_;
  int section_ = FileWide;
};
