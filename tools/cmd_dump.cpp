// vxltool dump [--section N] FILE...
#include <charconv>
#include <cstdio>
#include <memory>
#include <vector>

#include "tools/VxlTool.h"

namespace {

// A full 255^3 model is 16.5 million lines: format by hand into a large buffer.
class LineWriter {
 public:
  ~LineWriter() { Flush(); }
  void Number(unsigned v, char after) {
    if (used_ + 8 > sizeof buf_) Flush();
    used_ = std::size_t(std::to_chars(buf_ + used_, buf_ + sizeof buf_, v).ptr - buf_);
    buf_[used_++] = after;
  }
  void Flush() {
    std::fwrite(buf_, 1, used_, stdout);
    used_ = 0;
  }

 private:
  char buf_[1 << 16];
  std::size_t used_ = 0;
};

void PrintDump(const TVoxelModel& model) {
  std::printf("size %u %u %u\n", model.SizeX, model.SizeY, model.SizeZ);
  std::fflush(stdout);
  auto out = std::make_unique<LineWriter>();
  for (unsigned z = 0; z < model.SizeZ; ++z)
    for (unsigned y = 0; y < model.SizeY; ++y)
      for (unsigned x = 0; x < model.SizeX; ++x) {
        const std::uint8_t c = model.Colours.at(x, y, z), n = model.Normals.at(x, y, z);
        if (IsEmptyCell(c, n)) continue;
        out->Number(x, ' ');
        out->Number(y, ' ');
        out->Number(z, ' ');
        out->Number(c, ' ');
        out->Number(n, '\n');
      }
}

}  // namespace

int RunDump(std::span<char* const> args) {
  std::vector<char*> files(args.begin(), args.end());
  std::size_t section = 0;
  if (!TakeSectionOption("dump", files, section)) return ExitUsage;
  return ForEachModel("dump", files, PrintDump, section);
}
