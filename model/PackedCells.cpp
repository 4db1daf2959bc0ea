#include "model/PackedCells.h"

void PackedCells::AppendColumn(const std::uint8_t* spans, std::size_t length) {
  const auto offset = std::uint32_t(spans_.size());
  spans_.insert(spans_.end(), spans, spans + length);
  columns_.push_back({offset, std::uint32_t(length)});
}

void PackedCells::Finish() {
  if (spans_.empty()) columns_ = {};
  spans_.shrink_to_fit();
  columns_.shrink_to_fit();
}
