// Steps and the history: every kind of step gives back exactly the bytes before and
// after it, and the history keeps its limits and its saved point.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "editor/DrawOps.h"
#include "model/CellPatch.h"
#include "model/DocumentSteps.h"
#include "model/EditHistory.h"
#include "model/NewModel.h"

namespace {

// Everything a step may touch: the cells inside the extent, palette, name bytes,
// tailer bits, sizes and normal version.
std::uint64_t Fingerprint(const TVoxelModel& m) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  mix(m.SizeX), mix(m.SizeY), mix(m.SizeZ), mix(m.NormalType);
  for (int z = 0; z < m.SizeZ; ++z)
    for (int y = 0; y < m.SizeY; ++y)
      for (int x = 0; x < m.SizeX; ++x) mix(m.Colours.at(x, y, z) | m.Normals.at(x, y, z) << 8);
  for (auto e : m.Palette) mix(std::uint32_t(e));
  for (auto b : m.Name) mix(b);
  for (auto t : m.Tailer) mix(t);
  return h;
}

void RandomModel(TVoxelModel& m, int sx, int sy, int sz, unsigned seed) {
  ResetNewModel(m, std::uint8_t(sx), std::uint8_t(sy), std::uint8_t(sz));
  std::mt19937 rng(seed);
  for (int z = 0; z < sz; ++z)
    for (int y = 0; y < sy; ++y)
      for (int x = 0; x < sx; ++x)
        if (rng() % 3 == 0) {
          m.Colours.at(x, y, z) = std::uint8_t(rng());
          m.Normals.at(x, y, z) = std::uint8_t(rng());
        }
}

using MakeStep = std::function<std::unique_ptr<EditStep>(TVoxelModel&)>;

struct StepCase {
  const char* name;
  MakeStep make;
  unsigned what;
};

std::vector<StepCase> StepCases() {
  return {
      {"pen stroke",
       [](TVoxelModel& m) {
         CellEdit edit(m, LayerBox(m, 3), "Pen stroke");
         for (int i = 0; i < 12; ++i) edit.Set(GridKind::Colours, 2 + i, 5 + i / 2, 3, 200);
         edit.Set(GridKind::Normals, 7, 7, 3, 9);
         edit.Set(GridKind::Colours, 2, 5, 3, 100);  // written twice: the first value counts
         return edit.Finish();
       },
       ChangedCells},
      {"pen stroke over every cell of its box",
       [](TVoxelModel& m) {
         CellEdit edit(m, LayerBox(m, 4), "Pen stroke");
         for (int i = 0; i < 12; ++i) edit.Set(GridKind::Normals, 8 + i % 4, 2 + i / 4, 4, 199);
         return edit.Finish();
       },
       ChangedCells},
      {"pen cells, then the whole grid",
       [](TVoxelModel& m) {
         CellEdit edit(m, {0, 0, 2, 19, 13, 4}, "Mixed");
         edit.Set(GridKind::Colours, 3, 3, 2, 201);
         edit.Set(GridKind::Normals, 18, 12, 4, 202);
         FillRectOnLayer(edit.Grid(GridKind::Colours), 3, 3, 5, 5, 3, 203);
         edit.Set(GridKind::Colours, 3, 3, 2, 204);
         return edit.Finish();
       },
       ChangedCells},
      {"flood fill",
       [](TVoxelModel& m) {
         CellEdit edit(m, LayerBox(m, 0), "Fill");
         FloodFillWork work;
         FloodFillLayer(edit.Grid(GridKind::Normals), m.SizeX, m.SizeY, 0, 0, 0, 77, work);
         return edit.Finish();
       },
       ChangedCells},
      {"box through layers",
       [](TVoxelModel& m) {
         CellEdit edit(m, {1, 1, 1, 6, 6, 5}, "Cube");
         for (int z = 1; z <= 5; ++z)
           FillRectOnLayer(edit.Grid(GridKind::Colours), 1, 1, 6, 6, z, 0);
         return edit.Finish();
       },
       ChangedCells},
      {"palette",
       [](TVoxelModel& m) {
         PaletteRGB p = m.Palette;
         p[0] = PackRGB(1, 2, 3);
         p[255] = PackRGB(9, 8, 7);
         return ChangePalette(m, p, "Edit Palette");
       },
       ChangedPalette},
      {"properties",
       [](TVoxelModel& m) {
         NameBytes name = m.Name;
         StoreNameText(name, "BODY");  // the bytes after the terminator stay
         return ChangeProperties(m, name, 4, "Properties");
       },
       ChangedName | ChangedNormalType},
      {"tailer value",
       [](TVoxelModel& m) {
         return ChangeTailerValue(m, TailerZMaximum, 0x7F7FFFFFu, "Z Maximum");
       },
       ChangedTailer},
  };
}

}  // namespace

TEST(EditSteps, RevertAndApplyGiveBackTheExactBytes) {
  for (const StepCase& c : StepCases()) {
    SCOPED_TRACE(c.name);
    TVoxelModel m;
    RandomModel(m, 20, 14, 9, 7);
    for (int i = 0; i < 16; ++i) m.Name[i] = std::uint8_t('a' + i);
    const std::uint64_t before = Fingerprint(m);
    std::unique_ptr<EditStep> step = c.make(m);
    ASSERT_NE(step, nullptr);
    const std::uint64_t after = Fingerprint(m);
    ASSERT_NE(before, after);
    EXPECT_EQ(step->Changes().What, c.what);

    EditHistory history;
    history.Record(std::move(step));
    for (int round = 0; round < 2; ++round) {
      ASSERT_NE(history.Undo(m), nullptr);
      EXPECT_EQ(Fingerprint(m), before);
      ASSERT_NE(history.Redo(m), nullptr);
      EXPECT_EQ(Fingerprint(m), after);
    }
    // Doing the same again changes nothing, so it makes no step.
    EXPECT_EQ(c.make(m), nullptr);
  }
}

TEST(EditSteps, CellStepHoldsOnlyTheChangedBox) {
  TVoxelModel m;
  RandomModel(m, 255, 255, 4, 3);
  CellEdit edit(m, LayerBox(m, 2), "Pen stroke");
  edit.Set(GridKind::Colours, 10, 20, 2, std::uint8_t(m.Colours.at(10, 20, 2) + 1));
  edit.Set(GridKind::Normals, 30, 25, 2, std::uint8_t(m.Normals.at(30, 25, 2) + 1));
  edit.Set(GridKind::Colours, 40, 40, 3, 1);  // outside the noted layer: refused
  const auto step = edit.Finish();
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->Box(), (CellBox{10, 20, 2, 30, 25, 2}));
  EXPECT_EQ(step->Changes().Cells, step->Box());
  EXPECT_LT(step->Bytes(), 4 * 21 * 6 + 256);
  EXPECT_NE(m.Colours.at(40, 40, 3), 1);
}

TEST(EditHistory, KeepsItsLimitsAndDropsTheOldestFirst) {
  TVoxelModel m;
  ResetNewModel(m, 255, 255, 40);
  EditHistory history;
  for (std::uint32_t i = 1; i <= EditHistory::MaxSteps + 5; ++i)
    history.Record(ChangeTailerValue(m, 0, i, "Scale"));
  EXPECT_EQ(history.Count(), EditHistory::MaxSteps);
  while (history.Undo(m) != nullptr) {
  }
  EXPECT_EQ(m.Tailer[0], 5u);  // the first five steps are gone

  // Whole layers: 200 of them fit the budget, ten layers a step do not.
  history.Clear();
  for (int i = 0; i < 200; ++i) {
    CellEdit edit(m, LayerBox(m, i % 40), "Fill");
    FillRectOnLayer(edit.Grid(GridKind::Colours), 0, 0, 254, 254, i % 40, std::uint8_t(i + 1));
    history.Record(edit.Finish());
  }
  EXPECT_EQ(history.Count(), 200u);
  EXPECT_LE(history.Bytes(), EditHistory::MaxBytes);

  // By size: four whole layers a step, a budget of ten layers' worth.
  const std::size_t layerStep = history.NextUndo()->Bytes();
  EditHistory small(EditHistory::MaxSteps, 10 * layerStep);
  auto fourLayers = [&](std::uint8_t v) {
    CellEdit edit(m, {0, 0, 0, 254, 254, 3}, "Cube");
    for (int z = 0; z < 4; ++z) FillRectOnLayer(edit.Grid(GridKind::Normals), 0, 0, 254, 254, z, v);
    return edit.Finish();
  };
  for (int i = 1; i <= 6; ++i) small.Record(fourLayers(std::uint8_t(i)));
  EXPECT_EQ(small.Count(), 2u);
  EXPECT_LE(small.Bytes(), 10 * layerStep);
  // A step larger than the whole budget is still kept, alone.
  EditHistory tiny(EditHistory::MaxSteps, layerStep);
  tiny.Record(fourLayers(99));
  EXPECT_EQ(tiny.Count(), 1u);
  ASSERT_NE(tiny.Undo(m), nullptr);
  EXPECT_EQ(m.Normals.at(0, 0, 0), 6);
}

TEST(EditHistory, FollowsTheSavedPoint) {
  TVoxelModel m;
  ResetNewModel(m, 4, 4, 4);
  EditHistory h;
  EXPECT_FALSE(h.IsChanged());
  EXPECT_FALSE(h.AnyStepRecorded());
  h.Record(ChangeTailerValue(m, 1, 11, "a"));
  h.Record(ChangeTailerValue(m, 1, 12, "b"));
  EXPECT_TRUE(h.IsChanged());
  h.MarkSaved();
  EXPECT_FALSE(h.IsChanged());
  h.Undo(m);
  EXPECT_TRUE(h.IsChanged());
  h.Redo(m);
  EXPECT_FALSE(h.IsChanged());
  EXPECT_EQ(h.NextUndo()->Label(), "b");
  EXPECT_EQ(h.NextRedo(), nullptr);

  // A new step after undoing past the saved point: the saved state is gone for good.
  h.Undo(m);
  h.Undo(m);
  h.Record(ChangeTailerValue(m, 1, 13, "c"));
  EXPECT_TRUE(h.IsChanged());
  h.Undo(m);
  EXPECT_TRUE(h.IsChanged());
  EXPECT_EQ(m.Tailer[1], 0x3F800000u);  // back where New left it
  EXPECT_TRUE(h.AnyStepRecorded());

  // The saved state is dropped with the oldest step.
  h.Clear();
  h.MarkSaved();
  for (std::uint32_t i = 0; i <= EditHistory::MaxSteps; ++i)
    h.Record(ChangeTailerValue(m, 2, i + 100, "d"));
  while (h.Undo(m) != nullptr) {
  }
  EXPECT_TRUE(h.IsChanged());
}
