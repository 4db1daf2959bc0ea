// Models of several sections: written and read back whole, switched without loss, and
// their list steps and the steps made in one section taken back exactly.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "model/CellPatch.h"
#include "model/DocumentSteps.h"
#include "model/EditHistory.h"
#include "model/NewModel.h"
#include "model/SectionSteps.h"
#include "model/VxlReader.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace {

// density 0: empty ... 4: every cell a voxel.
VoxelSection RandomSection(std::mt19937& rng, unsigned sx, unsigned sy, unsigned sz,
                           unsigned density) {
  SectionValues v;
  for (auto& b : v.Name) b = std::uint8_t(rng());
  v.SizeX = std::uint8_t(sx);
  v.SizeY = std::uint8_t(sy);
  v.SizeZ = std::uint8_t(sz);
  v.NormalType = std::uint8_t(rng());
  for (auto& t : v.Tailer) t = std::uint32_t(rng());
  v.Header = {0, std::uint32_t(rng()), std::uint32_t(rng())};
  VoxelSection s = VoxelSection::Dense(v);
  for (std::size_t i = 0; i < s.CellCount(); ++i)
    if (rng() % 4 < density) {
      s.Cells[i] = std::uint8_t(1 + rng() % 255);
      s.Cells[s.CellCount() + i] = std::uint8_t(rng());
    }
  return VoxelSection::FromPlanes(s, s.View().Cells);  // sparse ones are kept encoded
}

// Sections of the given extents after the model's own, each numbered by its place as
// the writer numbers them.
void AddSections(TVoxelModel& m, std::mt19937& rng, const std::vector<std::array<unsigned, 4>>& s) {
  for (const auto& e : s) {
    VoxelSection section = RandomSection(rng, e[0], e[1], e[2], e[3]);
    section.Header.Number = std::uint32_t(m.SectionCount());
    m.InsertSection(m.SectionCount(), std::move(section));
  }
}

// Every section, which is edited, and the palette, to compare a model with later.
struct Snapshot {
  std::vector<VoxelSection> sections;
  std::size_t edited = 0;
  PaletteRGB palette{};
};
Snapshot Take(const TVoxelModel& m) {
  Snapshot s;
  for (std::size_t i = 0; i < m.SectionCount(); ++i) s.sections.push_back(m.CopySection(i));
  s.edited = m.EditedSection();
  s.palette = m.Palette;
  return s;
}
// edited: which section must be edited, when not the one of the snapshot.
::testing::AssertionResult Matches(const TVoxelModel& m, const Snapshot& s,
                                   std::size_t edited = MaxSections) {
  if (edited == MaxSections) edited = s.edited;
  if (m.SectionCount() != s.sections.size() || m.EditedSection() != edited ||
      m.Palette != s.palette)
    return ::testing::AssertionFailure()
           << m.SectionCount() << " sections, editing " << m.EditedSection();
  for (std::size_t i = 0; i < s.sections.size(); ++i)
    if (!SameSection(m.Section(i), s.sections[i].View()))
      return ::testing::AssertionFailure() << "section " << i << " differs";
  return ::testing::AssertionSuccess();
}

std::string Names(const TVoxelModel& m) {
  std::string names;
  for (std::size_t i = 0; i < m.SectionCount(); ++i)
    names += (i ? "," : "") + NameText(m.Section(i).Name);
  return names;
}

// Sections A, B, C, D of small extents, B edited.
std::unique_ptr<TVoxelModel> FourSections() {
  auto m = std::make_unique<TVoxelModel>();
  std::mt19937 rng(3);
  ResetNewModel(*m, 4, 3, 2);
  m->Colours.at(1, 1, 1) = 8;
  AddSections(*m, rng, {{5, 2, 3, 2}, {1, 1, 1, 4}, {6, 6, 6, 1}});
  for (std::size_t i = 0; i < 4; ++i) {
    m->SelectSection(i);
    m->Name.fill(0);
    StoreNameText(m->Name, std::string(1, char('A' + i)));
  }
  m->SelectSection(1);
  return m;
}

}  // namespace

TEST(Sections, EverySectionIsWrittenAndReadBackWhole) {
  std::mt19937 rng(11);
  ScratchDir dir;
  const std::string path = dir.File("sections.vxl");
  auto m = std::make_unique<TVoxelModel>();
  auto back = std::make_unique<TVoxelModel>();
  const std::vector<std::vector<std::array<unsigned, 4>>> rounds = {
      {{1, 1, 1, 4}},
      {{255, 255, 255, 4}, {3, 4, 5, 2}, {1, 1, 255, 3}, {17, 2, 9, 0}},  // a dense 255^3
      {{64, 3, 65, 2}, {65, 1, 1, 1}, {7, 200, 33, 3}, {2, 2, 2, 0}, {9, 9, 9, 4}, {1, 2, 3, 1}},
  };
  for (std::size_t round = 0; round < rounds.size(); ++round) {
    SCOPED_TRACE(round);
    ResetNewModel(*m, std::uint8_t(1 + rng() % 40), std::uint8_t(1 + rng() % 40), 9);
    for (auto& p : m->Palette) p = std::int32_t(rng() & 0xFFFFFF);
    m->Colours.at(0, 0, 8) = 3;
    m->FileHeader = {std::uint32_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())};
    m->SectionHeader = {0, 7, 0xFFFFFFFFu};
    AddSections(*m, rng, rounds[round]);
    // The writer reads every section where it is, whichever one is being edited.
    m->SelectSection(rounds[round].size() / 2);
    ASSERT_TRUE(WriteVoxelFile(path, *m));
    ASSERT_EQ(ReadVoxelFile(path, *back), LoadStatus::Ok);
    EXPECT_EQ(back->EditedSection(), 0u);
    back->SelectSection(m->EditedSection());
    EXPECT_TRUE(SameModel(*m, *back));

    // Sections numbered by their place; BodySize from the headers to the tailers.
    const Bytes b = ReadBytes(path);
    const std::size_t count = m->SectionCount();
    EXPECT_EQ(GetLE32(b, 20), count);
    EXPECT_EQ(GetLE32(b, 24), count);
    EXPECT_EQ(b.size(), 802 + 28 * count + GetLE32(b, 28) + 92 * count);
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(GetLE32(b, 818 + 28 * i), i);
  }
}

TEST(Sections, SwitchingKeepsEverySectionExact) {
  std::mt19937 rng(5);
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 20, 30, 40);
  for (unsigned z = 0; z < 40; ++z) m->Normals.at(z % 20, z % 30, z) = std::uint8_t(z + 1);
  AddSections(*m, rng, {{255, 255, 255, 4}, {1, 1, 1, 4}, {255, 1, 3, 2}, {9, 8, 7, 1}});
  const Snapshot start = Take(*m);
  for (std::size_t i : {1u, 2u, 1u, 0u, 4u, 3u, 1u, 3u, 9u, 0u, 0u}) {
    m->SelectSection(i);  // 9: no such section, nothing changes
    EXPECT_EQ(m->EditedSection(), i < 5 ? i : m->EditedSection());
    ASSERT_TRUE(Matches(*m, start, m->EditedSection())) << "after selecting " << i;
  }
  // The one being edited is read from the grids, the others from where they are kept.
  m->SelectSection(1);
  m->Colours.at(254, 254, 254) = 0;
  EXPECT_EQ(m->Section(1).Colour(254, 254, 254), 0);
  EXPECT_EQ(m->Section(0).Normal(5, 5, 5), 6);
  EXPECT_EQ(m->Section(3).Colour(200, 0, 2), start.sections[3].View().Colour(200, 0, 2));
}

TEST(Sections, ListStepsAreExactlyReversible) {
  using Make = std::function<std::unique_ptr<EditStep>(TVoxelModel&)>;
  const struct {
    const char* what;
    Make make;
    const char* names;  // after the step; empty: the step cannot be made
    std::size_t edited;
  } cases[] = {
      {"add", [](TVoxelModel& m) { return AddSection(m, 3, 4, 5, "Add"); }, "A,B,NEW SECTION,C,D",
       2},
      {"duplicate", [](TVoxelModel& m) { return DuplicateSection(m, "Duplicate"); }, "A,B,B,C,D",
       2},
      {"remove the edited", [](TVoxelModel& m) { return RemoveSection(m, 1, "Remove"); }, "A,C,D",
       1},
      {"remove another", [](TVoxelModel& m) { return RemoveSection(m, 0, "Remove"); }, "B,C,D", 0},
      {"remove the last", [](TVoxelModel& m) { return RemoveSection(m, 3, "Remove"); }, "A,B,C", 1},
      {"move up", [](TVoxelModel& m) { return MoveSectionUp(m, 1, "Up"); }, "B,A,C,D", 0},
      {"move another down", [](TVoxelModel& m) { return MoveSectionDown(m, 2, "Down"); }, "A,B,D,C",
       1},
      {"move the first up", [](TVoxelModel& m) { return MoveSectionUp(m, 0, "Up"); }, "", 1},
      {"move the last down", [](TVoxelModel& m) { return MoveSectionDown(m, 3, "Down"); }, "", 1},
      {"remove beyond the list", [](TVoxelModel& m) { return RemoveSection(m, 4, "Remove"); }, "",
       1},
      {"add a size 0", [](TVoxelModel& m) { return AddSection(m, 0, 4, 5, "Add"); }, "", 1},
      {"add a size 256", [](TVoxelModel& m) { return AddSection(m, 1, 256, 5, "Add"); }, "", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto m = FourSections();
    const Snapshot before = Take(*m);
    EditHistory history;
    auto step = c.make(*m);
    if (!*c.names) {
      EXPECT_EQ(step, nullptr);
      EXPECT_TRUE(Matches(*m, before));
      continue;
    }
    ASSERT_NE(step, nullptr);
    EXPECT_TRUE(step->Changes().Has(ChangedSections));
    EXPECT_EQ(Names(*m), c.names);
    EXPECT_EQ(m->EditedSection(), c.edited);
    const Snapshot after = Take(*m);
    history.Record(std::move(step));
    // The user may edit elsewhere in between: undo and redo still give the same bytes.
    m->SelectSection(m->SectionCount() - 1);
    ASSERT_NE(history.Undo(*m), nullptr);
    EXPECT_TRUE(Matches(*m, before));
    m->SelectSection(0);
    ASSERT_NE(history.Redo(*m), nullptr);
    EXPECT_TRUE(Matches(*m, after));
    ASSERT_NE(history.Undo(*m), nullptr);
    EXPECT_TRUE(Matches(*m, before));
  }

  // A removed dense section is kept in its step at its extent's size; the only
  // section is never removed; the list holds at most MaxSections.
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 255, 255, 255);
  EXPECT_EQ(RemoveSection(*m, 0, "Remove"), nullptr);
  auto added = AddSection(*m, 2, 2, 2, "Add");
  ASSERT_NE(added, nullptr);
  const auto removed = RemoveSection(*m, 0, "Remove");
  ASSERT_NE(removed, nullptr);
  EXPECT_GE(removed->Bytes(), 2u * 255 * 255 * 255);
  EXPECT_LT(removed->Bytes(), 2u * 255 * 255 * 255 + 4096);
  while (m->SectionCount() < MaxSections) ASSERT_NE(DuplicateSection(*m, "Duplicate"), nullptr);
  EXPECT_EQ(DuplicateSection(*m, "Duplicate"), nullptr);
  EXPECT_EQ(AddSection(*m, 1, 1, 1, "Add"), nullptr);

  // What a section added by the user is saved with.
  m = FourSections();
  ASSERT_NE(AddSection(*m, 3, 4, 5, "Add"), nullptr);
  ScratchDir dir;
  ASSERT_TRUE(WriteVoxelFile(dir.File("added.vxl"), *m));
  const Bytes b = ReadBytes(dir.File("added.vxl"));
  EXPECT_EQ(GetLE32(b, 818 + 28 * 2), 2u);
  EXPECT_EQ(GetLE32(b, 822 + 28 * 2), 1u);
  EXPECT_EQ(GetLE32(b, 826 + 28 * 2), 0u);
  EXPECT_EQ(m->NormalType, 2);
  EXPECT_EQ(m->Tailer, NewTailer(3, 4, 5));
}

TEST(Sections, UndoingAStepOfAnotherSectionGoesBackToIt) {
  auto m = FourSections();
  EditHistory history;
  m->SelectSection(3);
  CellEdit stroke(*m, LayerBox(*m, 2), "Pen stroke");
  stroke.Set(GridKind::Colours, 4, 4, 2, 99);
  history.Record(stroke.Finish());
  m->SelectSection(2);
  history.Record(ChangeTailerValue(*m, 5, 0x40000000u, "X Offset"));
  NameBytes name{};
  StoreNameText(name, "C2");
  history.Record(ChangeProperties(*m, name, 4, "Properties"));
  m->SelectSection(0);
  PaletteRGB grey = m->Palette;
  grey[9] = Grey(9);
  history.Record(ChangePalette(*m, grey, "Palette"));
  const Snapshot edited = Take(*m);

  // The palette belongs to the file: undoing it stays in section 0.
  m->SelectSection(1);
  const EditStep* step = history.Undo(*m);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->Changes().Section, FileWide);
  EXPECT_EQ(m->EditedSection(), 1u);
  for (const int expected : {2, 2, 3}) {
    step = history.Undo(*m);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(m->EditedSection(), std::size_t(expected));
    EXPECT_EQ(step->Changes().Section, expected);
    m->SelectSection(0);
  }
  m->SelectSection(1);
  EXPECT_TRUE(Matches(*m, Take(*FourSections())));
  while (history.Redo(*m)) {
  }
  m->SelectSection(0);
  EXPECT_TRUE(Matches(*m, edited));
  m->SelectSection(3);
  EXPECT_EQ(m->Colours.at(4, 4, 2), 99);
}
