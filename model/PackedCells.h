#pragma once
// The cells of a section that is not being edited, kept as the file stores them: each
// column's runs of voxels (model/SpanCodec.h makes and reads them). Such a section costs
// memory by the voxels it holds, not by its extent.

#include <cstddef>
#include <cstdint>
#include <vector>

// The cells of one section's extent as encoded columns, column c = x + y * SizeX.
class PackedCells {
 public:
  // Every column empty.
  PackedCells() = default;

  // Building column after column, as the reader does; Reserve first. AppendShared
  // repeats the spans of an earlier column without a copy of them.
  void Reserve(std::size_t columns) { columns_.reserve(columns); }
  void AppendColumn(const std::uint8_t* spans, std::size_t length);
  void AppendShared(std::size_t earlierColumn) { columns_.push_back(columns_[earlierColumn]); }
  // After the last column: a section without voxels keeps no table.
  void Finish();

  bool Empty() const { return spans_.empty(); }
  std::size_t Columns() const { return columns_.size(); }
  const std::uint8_t* ColumnSpans(std::size_t c, std::size_t& length) const {
    if (c >= columns_.size()) {
      length = 0;
      return nullptr;
    }
    length = columns_[c].Length;
    return spans_.data() + columns_[c].Offset;
  }
  std::size_t Bytes() const { return spans_.size() + sizeof(Column) * columns_.size(); }

 private:
  struct Column {
    std::uint32_t Offset = 0, Length = 0;
  };
  std::vector<Column> columns_;
  std::vector<std::uint8_t> spans_;
};
