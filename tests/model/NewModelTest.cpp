#include <gtest/gtest.h>

#include "model/NewModel.h"

TEST(NewModel, ParsesTheLeadingNumberLikeTheDialog) {
  EXPECT_EQ(ParseLeadingInt(" 12"), 12);
  EXPECT_EQ(ParseLeadingInt("7x"), 7);
  EXPECT_EQ(ParseLeadingInt("+5"), 5);
  EXPECT_EQ(ParseLeadingInt("-1"), -1);
  EXPECT_EQ(ParseLeadingInt(""), 0);
  EXPECT_EQ(ParseLeadingInt("abc"), 0);
  EXPECT_EQ(ParseLeadingInt("- 4"), 0);
  EXPECT_EQ(ParseLeadingInt("99999999999999999999"), INT32_MAX);
  EXPECT_FALSE(IsValidModelSize(0));
  EXPECT_FALSE(IsValidModelSize(256));
  EXPECT_TRUE(IsValidModelSize(1));
  EXPECT_TRUE(IsValidModelSize(255));
}

TEST(NewModel, ClearsTheExtentAndSetsTheDefaults) {
  TVoxelModel m;
  m.Colours.at(3, 3, 3) = 9;
  m.Normals.at(3, 3, 3) = 9;
  m.Colours.at(40, 0, 0) = 7;  // outside the new extent: left alone
  for (int i = 0; i < 16; ++i) m.Name[i] = 'A' + i;
  m.NormalType = 4;
  const PaletteRGB before = m.Palette;

  ResetNewModel(m, 10, 20, 30);

  EXPECT_EQ(m.SizeX, 10);
  EXPECT_EQ(m.SizeY, 20);
  EXPECT_EQ(m.SizeZ, 30);
  EXPECT_FALSE(m.IsVoxel(3, 3, 3));
  EXPECT_EQ(m.Colours.at(40, 0, 0), 7);
  EXPECT_EQ(m.NormalType, 2);
  EXPECT_EQ(NameText(m.Name), "NEW FILE");
  EXPECT_EQ(m.Name[9], 'A' + 9);  // bytes after the terminator keep their content
  EXPECT_EQ(m.Palette, before);
  EXPECT_EQ(m.Tailer[0], 0x3DAAAAABu);  // nearest single to 1/12
  EXPECT_EQ(m.TailerFloat(1), 1.0f);
  EXPECT_EQ(m.TailerFloat(6), 1.0f);
  EXPECT_EQ(m.TailerFloat(11), 1.0f);
  EXPECT_EQ(m.TailerFloat(TailerZOffset), 15.0f);
  EXPECT_EQ(m.TailerFloat(TailerXMinimum), -5.0f);
  EXPECT_EQ(m.TailerFloat(TailerYMinimum), -10.0f);
  EXPECT_EQ(m.TailerFloat(TailerZMinimum), -15.0f);
  EXPECT_EQ(m.TailerFloat(TailerXMaximum), 5.0f);
  EXPECT_EQ(m.TailerFloat(TailerYMaximum), 10.0f);
  EXPECT_EQ(m.TailerFloat(TailerZMaximum), 15.0f);
  EXPECT_EQ(ComputeViewSpan(m), 52);
}

TEST(NewModel, ViewSpanCoversTheDiagonal) {
  TVoxelModel m;
  ResetNewModel(m, 1, 1, 1);
  EXPECT_EQ(ComputeViewSpan(m), 2);
  m.SizeX = 255;
  m.SizeY = 10;
  m.SizeZ = 10;
  EXPECT_EQ(ComputeViewSpan(m), 442);
  ResetNewModel(m, 1, 1, 7);
  EXPECT_EQ(m.TailerFloat(TailerZOffset), 3.5f);
  EXPECT_EQ(m.TailerFloat(TailerZMinimum), -3.5f);
}
