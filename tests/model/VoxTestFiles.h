#pragma once
// Hand-made MagicaVoxel files: chunks, models and scene nodes byte by byte.

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/VoxFile.h"
#include "model/VxlTestFiles.h"

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Bytes Ints(std::initializer_list<std::uint32_t> values) {
  Bytes b;
  for (std::uint32_t v : values) PutLE32(b, b.size(), v);
  return b;
}
inline Bytes Text(const std::string& s) {
  return Ints({std::uint32_t(s.size())}) + Bytes(s.begin(), s.end());
}
inline Bytes Chunk(const char* id, const Bytes& content, const Bytes& children = {}) {
  return Bytes(id, id + 4) + Ints({std::uint32_t(content.size()), std::uint32_t(children.size())}) +
         content + children;
}
inline Bytes Size(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  return Chunk("SIZE", Ints({x, y, z}));
}
inline Bytes Xyzi(const std::vector<VoxVoxel>& voxels) {
  Bytes b = Ints({std::uint32_t(voxels.size())});
  for (const VoxVoxel& v : voxels) b.insert(b.end(), {v.X, v.Y, v.Z, v.Colour});
  return Chunk("XYZI", b);
}
// A DICT of one pair, or an empty one.
inline Bytes Dict(const std::string& key = "", const std::string& value = "") {
  return key.empty() ? Ints({0}) : Ints({1}) + Text(key) + Text(value);
}
inline Bytes VoxBytes(const Bytes& children, std::uint32_t version = 150) {
  return Bytes{'V', 'O', 'X', ' '} + Ints({version}) + Chunk("MAIN", {}, children);
}
inline Bytes Transform(std::uint32_t id, const std::string& name, std::uint32_t child) {
  return Chunk("nTRN", Ints({id}) + (name.empty() ? Dict() : Dict("_name", name)) +
                           Ints({child, 0xFFFFFFFFu, 0, 1}) + Dict("_t", "1 2 3"));
}
inline Bytes Shape(std::uint32_t id, std::initializer_list<std::uint32_t> models) {
  Bytes b = Ints({id}) + Dict() + Ints({std::uint32_t(models.size())});
  for (std::uint32_t m : models) b = b + Ints({m}) + Dict();
  return Chunk("nSHP", b);
}
inline std::array<std::uint8_t, 3> SizeOf(const VoxSceneModel& m) {
  return {m.SizeX, m.SizeY, m.SizeZ};
}
