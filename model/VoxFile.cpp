#include "model/VoxFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "model/FileHandle.h"
#include "model/Messages.h"

namespace {

constexpr std::size_t ChunkHeaderSize = 12;
constexpr std::size_t PaletteChunkSize = 4 * 256;
// Scene-graph chunks hold a few names and ids; anything larger is not worth reading
// for a name and is skipped like an unknown chunk.
constexpr std::uint32_t SceneChunkLimit = 1 << 20;
constexpr std::uint32_t OpaqueBlack = 0xFF000000u;

std::uint32_t LoadU32(const std::uint8_t* b) {
  return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
         std::uint32_t(b[3]) << 24;
}

void PutU32(std::uint8_t* b, std::uint32_t v) {
  b[0] = std::uint8_t(v);
  b[1] = std::uint8_t(v >> 8);
  b[2] = std::uint8_t(v >> 16);
  b[3] = std::uint8_t(v >> 24);
}

bool IsId(const std::uint8_t* b, const char* id) {
  return std::memcmp(b, id, 4) == 0;
}

// Where the bytes come from: a file read with positioned reads, or memory. Either way a
// read outside the real size fails instead of reading zeros.
class Source {
 public:
  explicit Source(std::uint64_t size) : size_(size) {}
  virtual ~Source() = default;
  std::uint64_t size() const { return size_; }
  bool Read(std::uint64_t offset, void* dst, std::size_t n) const {
    return offset <= size_ && n <= size_ - offset && Fetch(offset, dst, n);
  }

 private:
  virtual bool Fetch(std::uint64_t offset, void* dst, std::size_t n) const = 0;
  std::uint64_t size_;
};

class MemorySource final : public Source {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes)
      : Source(bytes.size()), bytes_(bytes) {}

 private:
  bool Fetch(std::uint64_t offset, void* dst, std::size_t n) const override {
    if (n != 0) std::memcpy(dst, bytes_.data() + offset, n);
    return true;
  }
  std::span<const std::uint8_t> bytes_;
};

class FileSource final : public Source {
 public:
  FileSource(int fd, std::uint64_t size) : Source(size), fd_(fd) {}

 private:
  bool Fetch(std::uint64_t offset, void* dst, std::size_t n) const override {
    auto* out = static_cast<std::uint8_t*>(dst);
    std::size_t got = 0;
    while (got < n) {
      const ssize_t r = ::pread(fd_, out + got, n - got, off_t(offset + got));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;  // an error, or a file that shrank while we read
      got += std::size_t(r);
    }
    return true;
  }
  int fd_;
};

// Reads the fields of a scene-graph chunk; once a read runs past the end every later
// read fails too, so a loop over a hostile count ends at the chunk's end.
class Fields {
 public:
  explicit Fields(std::span<const std::uint8_t> b) : b_(b) {}
  bool ok() const { return ok_; }

  std::int32_t Int() {
    if (!Need(4)) return 0;
    const std::int32_t v = std::int32_t(LoadU32(b_.data() + at_));
    at_ += 4;
    return v;
  }
  std::string String() {
    const std::uint32_t n = std::uint32_t(Int());
    if (!Need(n)) return {};
    std::string s(reinterpret_cast<const char*>(b_.data() + at_), n);
    at_ += n;
    return s;
  }
  // A DICT; gives the value of key, empty when absent.
  std::string Dict(const char* key) {
    std::string found;
    const std::uint32_t pairs = std::uint32_t(Int());
    for (std::uint32_t i = 0; i < pairs && ok_; ++i) {
      std::string k = String();
      std::string v = String();
      if (ok_ && k == key && found.empty()) found = std::move(v);
    }
    return found;
  }

 private:
  bool Need(std::size_t n) {
    if (ok_ && n <= b_.size() - at_) return true;
    ok_ = false;
    return false;
  }
  std::span<const std::uint8_t> b_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

struct Transform {
  std::int32_t child;
  std::string name;
};
struct ShapeModel {
  std::int32_t shape;
  std::int32_t model;
};

struct SceneGraph {
  std::vector<Transform> transforms;  // named ones only, in file order
  std::vector<ShapeModel> shapes;

  // A malformed node only loses its name: the models and palette are what matter.
  void AddTransform(std::span<const std::uint8_t> content) {
    Fields f(content);
    f.Int();  // node id
    std::string name = f.Dict("_name");
    const std::int32_t child = f.Int();
    if (f.ok() && !name.empty()) transforms.push_back({child, std::move(name)});
  }
  void AddShape(std::span<const std::uint8_t> content) {
    Fields f(content);
    const std::int32_t id = f.Int();
    f.Dict("");
    const std::uint32_t count = std::uint32_t(f.Int());
    for (std::uint32_t i = 0; i < count && f.ok(); ++i) {
      const std::int32_t model = f.Int();
      f.Dict("");
      if (f.ok()) shapes.push_back({id, model});
    }
  }

  // A shape's models take the name of the first transform above that shape.
  void NameModels(std::vector<VoxSceneModel>& models) {
    auto byShape = [](const ShapeModel& a, const ShapeModel& b) { return a.shape < b.shape; };
    std::stable_sort(shapes.begin(), shapes.end(), byShape);
    for (const Transform& t : transforms) {
      const auto [first, last] =
          std::equal_range(shapes.begin(), shapes.end(), ShapeModel{t.child, 0}, byShape);
      for (auto s = first; s != last; ++s)
        if (s->model >= 0 && std::size_t(s->model) < models.size() &&
            models[std::size_t(s->model)].Name.empty())
          models[std::size_t(s->model)].Name = t.name;
    }
  }
};

// Sizes are 1-255 here: the editor's grids hold no more, and voxel coordinates are bytes.
VoxStatus ReadSize(const Source& src, std::uint64_t at, std::uint32_t n, VoxSceneModel& model) {
  std::uint8_t b[12];
  if (n < sizeof b || !src.Read(at, b, sizeof b)) return VoxStatus::IncorrectFormat;
  std::uint8_t* sizes[3] = {&model.SizeX, &model.SizeY, &model.SizeZ};
  for (int i = 0; i < 3; ++i) {
    const std::int32_t v = std::int32_t(LoadU32(b + 4 * i));
    if (v < 1) return VoxStatus::IncorrectFormat;
    if (v > 255) return VoxStatus::TooLarge;
    *sizes[i] = std::uint8_t(v);
  }
  return VoxStatus::Ok;
}

// A cell's colour is that of the last record for it, and a record of colour 0 empties
// the cell: the file is read as if its records were drawn in order. A record outside
// the model's size has no cell to go to and is dropped. What is left is one voxel per
// cell, in the order the editor stores cells (x fastest, then y, then z).
void ResolveCells(VoxSceneModel& model) {
  std::vector<VoxVoxel>& voxels = model.Voxels;
  std::erase_if(voxels, [&](const VoxVoxel& v) {
    return v.X >= model.SizeX || v.Y >= model.SizeY || v.Z >= model.SizeZ;
  });
  const auto cell = [](const VoxVoxel& v) {
    return std::uint32_t(v.X) | std::uint32_t(v.Y) << 8 | std::uint32_t(v.Z) << 16;
  };
  const auto before = [&](const VoxVoxel& a, const VoxVoxel& b) { return cell(a) < cell(b); };
  // Most files hold each cell once, in order already.
  const bool plain = std::adjacent_find(voxels.begin(), voxels.end(), [&](auto& a, auto& b) {
                       return !before(a, b);
                     }) == voxels.end();
  if (plain &&
      std::none_of(voxels.begin(), voxels.end(), [](const VoxVoxel& v) { return v.Colour == 0; }))
    return;
  // Stable, so that among the records of one cell the file's last stays last.
  std::stable_sort(voxels.begin(), voxels.end(), before);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < voxels.size(); ++i) {
    const bool lastOfCell = i + 1 == voxels.size() || cell(voxels[i + 1]) != cell(voxels[i]);
    if (lastOfCell && voxels[i].Colour != 0) voxels[kept++] = voxels[i];
  }
  voxels.resize(kept);
}

bool ReadVoxels(const Source& src, std::uint64_t at, std::uint32_t n, VoxSceneModel& model) {
  std::uint8_t b[4];
  if (n < 4 || !src.Read(at, b, 4)) return false;
  // The count is bounded by the chunk, and the chunk by the file.
  const std::uint32_t count = LoadU32(b);
  if (count > (n - 4) / 4) return false;
  model.Voxels.resize(count);
  if (!src.Read(at + 4, model.Voxels.data(), std::size_t(count) * 4)) return false;
  ResolveCells(model);
  return true;
}

VoxStatus Parse(const Source& src, VoxScene& out) {
  std::uint8_t head[8 + ChunkHeaderSize];
  if (!src.Read(0, head, sizeof head) || !IsId(head, "VOX ") || !IsId(head + 8, "MAIN"))
    return VoxStatus::IncorrectFormat;
  VoxScene scene;
  scene.Version = std::int32_t(LoadU32(head + 4));
  scene.Palette = VoxDefaultPalette();
  const std::uint64_t mainEnd =
      std::uint64_t(sizeof head) + LoadU32(head + 12) + std::uint64_t(LoadU32(head + 16));
  if (mainEnd > src.size()) return VoxStatus::IncorrectFormat;

  SceneGraph graph;
  std::vector<std::uint8_t> content;
  bool sized = false;  // a SIZE waits for its XYZI
  VoxSceneModel model;
  // Only the children of MAIN are walked; a child's own children are skipped whole,
  // so no nesting can drive the reader deep.
  for (std::uint64_t at = sizeof head + std::uint64_t(LoadU32(head + 12)); at < mainEnd;) {
    std::uint8_t h[ChunkHeaderSize];
    if (mainEnd - at < ChunkHeaderSize || !src.Read(at, h, sizeof h))
      return VoxStatus::IncorrectFormat;
    const std::uint32_t n = LoadU32(h + 4);
    const std::uint64_t body = at + ChunkHeaderSize;
    const std::uint64_t next = body + n + std::uint64_t(LoadU32(h + 8));
    if (next > mainEnd) return VoxStatus::IncorrectFormat;

    if (IsId(h, "SIZE")) {
      if (sized) return VoxStatus::IncorrectFormat;
      model = VoxSceneModel();
      const VoxStatus s = ReadSize(src, body, n, model);
      if (s != VoxStatus::Ok) return s;
      sized = true;
    } else if (IsId(h, "XYZI")) {
      if (!sized || !ReadVoxels(src, body, n, model)) return VoxStatus::IncorrectFormat;
      scene.Models.push_back(std::move(model));
      sized = false;
    } else if (IsId(h, "RGBA")) {
      std::uint8_t b[PaletteChunkSize];
      if (n < sizeof b || !src.Read(body, b, sizeof b)) return VoxStatus::IncorrectFormat;
      // The chunk's entry i is colour i + 1; its last entry has no colour index.
      scene.Palette[0] = 0;
      for (std::size_t c = 1; c < 256; ++c) scene.Palette[c] = LoadU32(b + 4 * (c - 1));
      scene.PaletteInFile = true;
    } else if ((IsId(h, "nTRN") || IsId(h, "nSHP")) && n <= SceneChunkLimit) {
      content.resize(n);
      if (!src.Read(body, content.data(), n)) return VoxStatus::IncorrectFormat;
      if (IsId(h, "nTRN"))
        graph.AddTransform(content);
      else
        graph.AddShape(content);
    }
    at = next;
  }
  if (sized || scene.Models.empty()) return VoxStatus::IncorrectFormat;
  graph.NameModels(scene.Models);
  out = std::move(scene);
  return VoxStatus::Ok;
}

// The whole layout, handed out piece by piece so that the voxels go out from the
// scene itself rather than from a copy. False when a count does not fit the format.
template <class Sink>
bool Emit(const VoxScene& scene, Sink&& sink) {
  std::uint64_t children = ChunkHeaderSize + PaletteChunkSize;
  for (const VoxSceneModel& m : scene.Models)
    children += 2 * ChunkHeaderSize + 12 + 4 + 4 * std::uint64_t(m.Voxels.size());
  if (children > std::numeric_limits<std::uint32_t>::max()) return false;

  std::uint8_t b[8 + ChunkHeaderSize];
  std::memcpy(b, "VOX ", 4);
  PutU32(b + 4, 150);
  std::memcpy(b + 8, "MAIN", 4);
  PutU32(b + 12, 0);
  PutU32(b + 16, std::uint32_t(children));
  sink(b, sizeof b);
  for (const VoxSceneModel& m : scene.Models) {
    std::uint8_t s[2 * ChunkHeaderSize + 12 + 4];
    std::memcpy(s, "SIZE", 4);
    PutU32(s + 4, 12);
    PutU32(s + 8, 0);
    PutU32(s + 12, m.SizeX);
    PutU32(s + 16, m.SizeY);
    PutU32(s + 20, m.SizeZ);
    std::memcpy(s + 24, "XYZI", 4);
    PutU32(s + 28, std::uint32_t(4 + 4 * m.Voxels.size()));
    PutU32(s + 32, 0);
    PutU32(s + 36, std::uint32_t(m.Voxels.size()));
    sink(s, sizeof s);
    if (!m.Voxels.empty()) sink(m.Voxels.data(), 4 * m.Voxels.size());
  }
  std::uint8_t p[ChunkHeaderSize + PaletteChunkSize] = {};
  std::memcpy(p, "RGBA", 4);
  PutU32(p + 4, PaletteChunkSize);
  for (std::size_t c = 1; c < 256; ++c) PutU32(p + ChunkHeaderSize + 4 * (c - 1), scene.Palette[c]);
  // The last entry belongs to no colour index, but a program that shows the chunk as
  // it stands would show a clear one: it goes out as opaque black.
  PutU32(p + ChunkHeaderSize + 4 * 255, OpaqueBlack);
  sink(p, sizeof p);
  return true;
}

}  // namespace

const VoxPalette& VoxDefaultPalette() {
  static constexpr VoxPalette palette = {
      0x00000000, 0xffffffff, 0xffccffff, 0xff99ffff, 0xff66ffff, 0xff33ffff, 0xff00ffff,
      0xffffccff, 0xffccccff, 0xff99ccff, 0xff66ccff, 0xff33ccff, 0xff00ccff, 0xffff99ff,
      0xffcc99ff, 0xff9999ff, 0xff6699ff, 0xff3399ff, 0xff0099ff, 0xffff66ff, 0xffcc66ff,
      0xff9966ff, 0xff6666ff, 0xff3366ff, 0xff0066ff, 0xffff33ff, 0xffcc33ff, 0xff9933ff,
      0xff6633ff, 0xff3333ff, 0xff0033ff, 0xffff00ff, 0xffcc00ff, 0xff9900ff, 0xff6600ff,
      0xff3300ff, 0xff0000ff, 0xffffffcc, 0xffccffcc, 0xff99ffcc, 0xff66ffcc, 0xff33ffcc,
      0xff00ffcc, 0xffffcccc, 0xffcccccc, 0xff99cccc, 0xff66cccc, 0xff33cccc, 0xff00cccc,
      0xffff99cc, 0xffcc99cc, 0xff9999cc, 0xff6699cc, 0xff3399cc, 0xff0099cc, 0xffff66cc,
      0xffcc66cc, 0xff9966cc, 0xff6666cc, 0xff3366cc, 0xff0066cc, 0xffff33cc, 0xffcc33cc,
      0xff9933cc, 0xff6633cc, 0xff3333cc, 0xff0033cc, 0xffff00cc, 0xffcc00cc, 0xff9900cc,
      0xff6600cc, 0xff3300cc, 0xff0000cc, 0xffffff99, 0xffccff99, 0xff99ff99, 0xff66ff99,
      0xff33ff99, 0xff00ff99, 0xffffcc99, 0xffcccc99, 0xff99cc99, 0xff66cc99, 0xff33cc99,
      0xff00cc99, 0xffff9999, 0xffcc9999, 0xff999999, 0xff669999, 0xff339999, 0xff009999,
      0xffff6699, 0xffcc6699, 0xff996699, 0xff666699, 0xff336699, 0xff006699, 0xffff3399,
      0xffcc3399, 0xff993399, 0xff663399, 0xff333399, 0xff003399, 0xffff0099, 0xffcc0099,
      0xff990099, 0xff660099, 0xff330099, 0xff000099, 0xffffff66, 0xffccff66, 0xff99ff66,
      0xff66ff66, 0xff33ff66, 0xff00ff66, 0xffffcc66, 0xffcccc66, 0xff99cc66, 0xff66cc66,
      0xff33cc66, 0xff00cc66, 0xffff9966, 0xffcc9966, 0xff999966, 0xff669966, 0xff339966,
      0xff009966, 0xffff6666, 0xffcc6666, 0xff996666, 0xff666666, 0xff336666, 0xff006666,
      0xffff3366, 0xffcc3366, 0xff993366, 0xff663366, 0xff333366, 0xff003366, 0xffff0066,
      0xffcc0066, 0xff990066, 0xff660066, 0xff330066, 0xff000066, 0xffffff33, 0xffccff33,
      0xff99ff33, 0xff66ff33, 0xff33ff33, 0xff00ff33, 0xffffcc33, 0xffcccc33, 0xff99cc33,
      0xff66cc33, 0xff33cc33, 0xff00cc33, 0xffff9933, 0xffcc9933, 0xff999933, 0xff669933,
      0xff339933, 0xff009933, 0xffff6633, 0xffcc6633, 0xff996633, 0xff666633, 0xff336633,
      0xff006633, 0xffff3333, 0xffcc3333, 0xff993333, 0xff663333, 0xff333333, 0xff003333,
      0xffff0033, 0xffcc0033, 0xff990033, 0xff660033, 0xff330033, 0xff000033, 0xffffff00,
      0xffccff00, 0xff99ff00, 0xff66ff00, 0xff33ff00, 0xff00ff00, 0xffffcc00, 0xffcccc00,
      0xff99cc00, 0xff66cc00, 0xff33cc00, 0xff00cc00, 0xffff9900, 0xffcc9900, 0xff999900,
      0xff669900, 0xff339900, 0xff009900, 0xffff6600, 0xffcc6600, 0xff996600, 0xff666600,
      0xff336600, 0xff006600, 0xffff3300, 0xffcc3300, 0xff993300, 0xff663300, 0xff333300,
      0xff003300, 0xffff0000, 0xffcc0000, 0xff990000, 0xff660000, 0xff330000, 0xff0000ee,
      0xff0000dd, 0xff0000bb, 0xff0000aa, 0xff000088, 0xff000077, 0xff000055, 0xff000044,
      0xff000022, 0xff000011, 0xff00ee00, 0xff00dd00, 0xff00bb00, 0xff00aa00, 0xff008800,
      0xff007700, 0xff005500, 0xff004400, 0xff002200, 0xff001100, 0xffee0000, 0xffdd0000,
      0xffbb0000, 0xffaa0000, 0xff880000, 0xff770000, 0xff550000, 0xff440000, 0xff220000,
      0xff110000, 0xffeeeeee, 0xffdddddd, 0xffbbbbbb, 0xffaaaaaa, 0xff888888, 0xff777777,
      0xff555555, 0xff444444, 0xff222222, 0xff111111,
  };
  return palette;
}

const char* VoxStatusMessage(VoxStatus status) {
  switch (status) {
    case VoxStatus::Ok:
      return "";
    case VoxStatus::FileNotFound:
      return MsgFileNotFound;
    case VoxStatus::IncorrectFormat:
      return MsgIncorrectFormat;
    case VoxStatus::TooLarge:
      return MsgModelTooLarge;
  }
  return "";
}

VoxStatus ReadVoxBytes(std::span<const std::uint8_t> bytes, VoxScene& scene) {
  return Parse(MemorySource(bytes), scene);
}

VoxStatus ReadVoxFile(const std::string& path, VoxScene& scene, int* error) {
  int ignored = 0;
  int& cause = error ? *error : ignored;
  cause = 0;
  std::int64_t size = 0;
  const FileHandle file = OpenForReading(path, size, cause);
  if (file.get() < 0) return VoxStatus::FileNotFound;
  return Parse(FileSource(file.get(), std::uint64_t(size)), scene);
}

std::vector<std::uint8_t> EncodeVox(const VoxScene& scene) {
  std::vector<std::uint8_t> bytes;
  const bool fits = Emit(scene, [&](const void* data, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), b, b + n);
  });
  if (!fits) bytes.clear();
  return bytes;
}

FileResult WriteVoxFile(const std::string& path, const VoxScene& scene) {
  SafeFileWriter out(path);
  if (!Emit(scene, [&](const void* data, std::size_t n) { out.Write(data, n); }))
    return {false, EFBIG};  // the writer goes without a Commit: nothing is left behind
  return out.Commit();
}
