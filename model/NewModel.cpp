#include "model/NewModel.h"

#include <bit>
#include <cmath>

std::int32_t ParseLeadingInt(std::string_view text) {
  std::size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Saturate instead of overflowing: any value this large is out of every range anyway.
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < 0x80000000LL) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return std::int32_t(value);
}

TailerValues NewTailer(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ) {
  TailerValues t{};
  auto set = [&t](std::size_t i, float v) { t[i] = std::bit_cast<std::uint32_t>(v); };
  // Each size is converted to single precision before multiplying, so all are exact.
  const float fx = float(sizeX), fy = float(sizeY), fz = float(sizeZ);
  for (std::size_t i = 0; i < TailerValueCount; ++i) set(i, 0.0f);
  set(TailerScale, 1.0f / 12.0f);
  set(1, 1.0f);
  set(6, 1.0f);
  set(11, 1.0f);
  set(TailerZOffset, fz * 0.5f);
  set(TailerXMinimum, fx * -0.5f);
  set(TailerYMinimum, fy * -0.5f);
  set(TailerZMinimum, fz * -0.5f);
  set(TailerXMaximum, fx * 0.5f);
  set(TailerYMaximum, fy * 0.5f);
  set(TailerZMaximum, fz * 0.5f);
  return t;
}

void ResetNewModel(TVoxelModel& model, std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ) {
  model.KeepOnlyEditedSection();
  model.FileHeader = FileHeaderValues{};
  model.SectionHeader = SectionHeaderValues{};
  model.SizeX = sizeX;
  model.SizeY = sizeY;
  model.SizeZ = sizeZ;
  for (unsigned z = 0; z < sizeZ; ++z)
    for (unsigned y = 0; y < sizeY; ++y)
      for (unsigned x = 0; x < sizeX; ++x) {
        const std::size_t i = CellIndex(x, y, z);
        model.Colours[i] = 0;
        model.Normals[i] = 0;
      }
  model.Tailer = NewTailer(sizeX, sizeY, sizeZ);

  static constexpr char newName[9] = "NEW FILE";  // with its terminating zero
  for (int i = 0; i < 9; ++i) model.Name[i] = std::uint8_t(newName[i]);
  model.NormalType = 2;
}

VoxelSection NewSection(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ) {
  SectionValues v;
  StoreNameText(v.Name, "NEW SECTION");
  v.SizeX = sizeX;
  v.SizeY = sizeY;
  v.SizeZ = sizeZ;
  v.NormalType = 2;
  v.Tailer = NewTailer(sizeX, sizeY, sizeZ);
  return VoxelSection::Empty(v);
}

std::int16_t ComputeViewSpan(const TVoxelModel& model) {
  unsigned m = model.SizeX;
  if (model.SizeY > m) m = model.SizeY;
  if (model.SizeZ > m) m = model.SizeZ;
  return std::int16_t(std::ceil(double(m) * 1.7320508076));
}
