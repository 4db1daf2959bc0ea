#pragma once
// Hand-made voxel files for the reader and writer tests, and a scratch folder.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/VoxelModel.h"

using Bytes = std::vector<std::uint8_t>;

inline void PutLE32(Bytes& b, std::size_t at, std::uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}
inline std::uint32_t GetLE32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8 |
         std::uint32_t(b.at(at + 2)) << 16 | std::uint32_t(b.at(at + 3)) << 24;
}

// Builds a file field by field, with the writer's layout unless a test bends a field.
// The first section's fields are the file's own; more holds the sections after it.
struct VxlFile {
  std::uint8_t sizeX = 1, sizeY = 1, sizeZ = 1, normalType = 2;
  std::int32_t sectionCount = 0, tailerCount = 0;  // 0: the number of sections
  std::vector<Bytes> columns;  // span bytes per column in column order; empty = -1, -1
  std::uint8_t name[16] = {'T', 'e', 's', 't'};
  std::uint32_t tailer[19] = {};
  std::uint32_t header[3] = {0, 1, 0};  // the section header after the name
  std::uint8_t paletteFill = 0;         // palette entry i = (i + fill, 2i, 3i) bytes
  std::vector<VxlFile> more;

  Bytes Build() const {
    std::vector<const VxlFile*> all = {this};
    for (const VxlFile& s : more) all.push_back(&s);
    const std::size_t count = all.size(), bodyAt = 802 + 28 * count;
    Bytes b(bodyAt, 0);
    std::memcpy(b.data(), "Voxel Animation", 16);
    PutLE32(b, 16, 1);
    PutLE32(b, 20, std::uint32_t(sectionCount ? sectionCount : std::int32_t(count)));
    PutLE32(b, 24, std::uint32_t(tailerCount ? tailerCount : std::int32_t(count)));
    b[32] = 16;
    b[33] = 31;
    for (int i = 0; i < 256; ++i) {
      b[34 + 3 * i] = std::uint8_t(i + paletteFill);
      b[35 + 3 * i] = std::uint8_t(2 * i);
      b[36 + 3 * i] = std::uint8_t(3 * i);
    }
    Bytes tailers;
    for (std::size_t s = 0; s < count; ++s) {
      const VxlFile& f = *all[s];
      std::memcpy(b.data() + 802 + 28 * s, f.name, 16);
      for (int i = 0; i < 3; ++i) PutLE32(b, 818 + 28 * s + 4 * i, f.header[i]);
      const std::size_t n = f.columns.size(), tables = b.size();
      Bytes data;
      std::vector<std::int32_t> starts, ends;
      for (const Bytes& c : f.columns) {
        starts.push_back(c.empty() ? -1 : std::int32_t(data.size()));
        data.insert(data.end(), c.begin(), c.end());
        ends.push_back(c.empty() ? -1 : std::int32_t(data.size()) - 1);
      }
      for (std::size_t i = 0; i < n; ++i) PutLE32(b, tables + 4 * i, std::uint32_t(starts[i]));
      for (std::size_t i = 0; i < n; ++i)
        PutLE32(b, tables + 4 * n + 4 * i, std::uint32_t(ends[i]));
      b.insert(b.end(), data.begin(), data.end());
      const std::size_t t = tailers.size(), rel = tables - bodyAt;
      PutLE32(tailers, t, std::uint32_t(rel));
      PutLE32(tailers, t + 4, std::uint32_t(rel + 4 * n));
      PutLE32(tailers, t + 8, std::uint32_t(rel + 8 * n));
      for (int i = 0; i < 19; ++i) PutLE32(tailers, t + 12 + 4 * i, f.tailer[i]);
      tailers.insert(tailers.end(), {f.sizeX, f.sizeY, f.sizeZ, f.normalType});
    }
    PutLE32(b, 28, std::uint32_t(b.size() - bodyAt));
    b.insert(b.end(), tailers.begin(), tailers.end());
    return b;
  }
};

// Offset of a section's tailer in a built file, by the section count it holds.
inline std::size_t TailerAt(const Bytes& b, std::size_t section = 0) {
  const std::size_t count = GetLE32(b, 20);
  return 802 + 28 * count + std::size_t(std::int32_t(GetLE32(b, 28))) + 92 * section;
}

// In memory where the machine offers it: many small rewrites of a file on a disk
// file system can wait for the disk on every close. Large files go to the temporary
// folder, since the memory one may be small (a container's is 64 MB).
class ScratchDir {
 public:
  explicit ScratchDir(bool inMemory = true) {
    const std::filesystem::path base = inMemory && std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "kobaltine-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  std::size_t EntryCount() const {
    return std::size_t(std::distance(std::filesystem::directory_iterator(path_),
                                     std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything a load may change, for "the model is exactly as it was": every section's
// values and cells inside its extent, which section is edited, the palette and the
// file's header values.
inline bool SameModel(const TVoxelModel& a, const TVoxelModel& b) {
  if (a.Palette != b.Palette || !(a.FileHeader == b.FileHeader) ||
      a.SectionCount() != b.SectionCount() || a.EditedSection() != b.EditedSection())
    return false;
  for (std::size_t i = 0; i < a.SectionCount(); ++i)
    if (!SameSection(a.Section(i), b.Section(i))) return false;
  return true;
}
