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
struct VxlFile {
  std::uint8_t sizeX = 1, sizeY = 1, sizeZ = 1, normalType = 2;
  std::int32_t sectionCount = 1, tailerCount = 1;
  std::vector<Bytes> columns;  // span bytes per column in column order; empty = -1, -1
  std::uint8_t name[16] = {'T', 'e', 's', 't'};
  std::uint32_t tailer[19] = {};
  std::uint8_t paletteFill = 0;  // palette entry i = (i + fill, 2i, 3i) bytes

  Bytes Build() const {
    Bytes b(830, 0);
    std::memcpy(b.data(), "Voxel Animation", 16);
    PutLE32(b, 16, 1);
    PutLE32(b, 20, std::uint32_t(sectionCount));
    PutLE32(b, 24, std::uint32_t(tailerCount));
    b[32] = 16;
    b[33] = 31;
    for (int i = 0; i < 256; ++i) {
      b[34 + 3 * i] = std::uint8_t(i + paletteFill);
      b[35 + 3 * i] = std::uint8_t(2 * i);
      b[36 + 3 * i] = std::uint8_t(3 * i);
    }
    std::memcpy(b.data() + 802, name, 16);
    PutLE32(b, 822, 1);
    const std::size_t n = columns.size();
    Bytes data;
    std::vector<std::int32_t> starts, ends;
    for (const Bytes& c : columns) {
      if (c.empty()) {
        starts.push_back(-1);
        ends.push_back(-1);
        continue;
      }
      starts.push_back(std::int32_t(data.size()));
      data.insert(data.end(), c.begin(), c.end());
      ends.push_back(std::int32_t(data.size()) - 1);
    }
    for (std::size_t i = 0; i < n; ++i) PutLE32(b, 830 + 4 * i, std::uint32_t(starts[i]));
    for (std::size_t i = 0; i < n; ++i) PutLE32(b, 830 + 4 * n + 4 * i, std::uint32_t(ends[i]));
    b.insert(b.end(), data.begin(), data.end());
    PutLE32(b, 28, std::uint32_t(8 * n + data.size()));
    const std::size_t t = b.size();
    PutLE32(b, t, 0);
    PutLE32(b, t + 4, std::uint32_t(4 * n));
    PutLE32(b, t + 8, std::uint32_t(8 * n));
    for (int i = 0; i < 19; ++i) PutLE32(b, t + 12 + 4 * i, tailer[i]);
    b.push_back(sizeX);
    b.push_back(sizeY);
    b.push_back(sizeZ);
    b.push_back(normalType);
    return b;
  }
};

// Offset of the tailer in a built file.
inline std::size_t TailerAt(const Bytes& b) {
  return 830 + std::size_t(std::int32_t(GetLE32(b, 28)));
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

// Everything a load may change, for "the model is exactly as it was".
inline bool SameModel(const TVoxelModel& a, const TVoxelModel& b) {
  if (a.SizeX != b.SizeX || a.SizeY != b.SizeY || a.SizeZ != b.SizeZ ||
      a.NormalType != b.NormalType || a.Palette != b.Palette || a.Name != b.Name ||
      a.Tailer != b.Tailer)
    return false;
  for (unsigned z = 0; z < a.SizeZ; ++z)
    for (unsigned y = 0; y < a.SizeY; ++y)
      for (unsigned x = 0; x < a.SizeX; ++x)
        if (a.Colours.at(x, y, z) != b.Colours.at(x, y, z) ||
            a.Normals.at(x, y, z) != b.Normals.at(x, y, z))
          return false;
  return true;
}
