#pragma once
// Steps for the document's values: the palette, the name and normal version, and one
// tailer value. Each operation changes the model and returns its step, or null when
// the new value equals the old one.

#include <memory>

#include "model/EditStep.h"

using NameBytes = std::array<std::uint8_t, 16>;

std::unique_ptr<EditStep> ChangePalette(TVoxelModel& model, const PaletteRGB& palette,
                                        std::string label);
std::unique_ptr<EditStep> ChangeProperties(TVoxelModel& model, const NameBytes& name,
                                           std::uint8_t normalType, std::string label);
// bits: the raw 32-bit pattern stored at Tailer[index].
std::unique_ptr<EditStep> ChangeTailerValue(TVoxelModel& model, std::size_t index,
                                            std::uint32_t bits, std::string label);
