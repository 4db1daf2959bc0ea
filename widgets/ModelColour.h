#pragma once
// A model colour (red in the low byte) as the toolkit's colour.

#include <QColor>
#include <cstdint>

#include "model/VoxelModel.h"

inline QColor ModelColour(std::int32_t colour) {
  return QColor(int(RedOf(colour)), int(GreenOf(colour)), int(BlueOf(colour)));
}
