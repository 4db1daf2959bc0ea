#pragma once
// The empty model that New creates, and the small rules shared with its dialog.

#include <cstdint>
#include <string_view>

#include "model/VoxelModel.h"

// The classic ASCII-to-integer rule: leading white space, an optional sign, then
// decimal digits up to the first non-digit; no digits gives 0. Never overflows.
std::int32_t ParseLeadingInt(std::string_view text);

constexpr bool IsValidModelSize(std::int32_t v) {
  return v >= 1 && v <= 255;
}

// The tailer values of a new section: scale 1/12, the identity, offset and bounds
// centred on the extent.
TailerValues NewTailer(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ);

// One section: sizes, the cleared extent, the default tailer values, "NEW FILE" over
// the first nine bytes of Name, NormalType 2, and the header values a new file gets.
// Palette and cells outside the extent stay.
void ResetNewModel(TVoxelModel& model, std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ);

// The empty section the user adds: "NEW SECTION", NormalType 2, the tailer of New.
VoxelSection NewSection(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ);

// ceil(m * 1.7320508076) for the largest extent m: the side of the 3D view's square.
std::int16_t ComputeViewSpan(const TVoxelModel& model);
