// Feeds arbitrary bytes to the JASC palette reader: it must never crash, overrun or
// hang, must leave the palette alone on any rejection, and whatever it accepts must
// save and load back to the same entries.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "palette/PaletteFile.h"

namespace {

std::string ScratchPath(const char* what) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  return (dir / ("kobaltine_palfuzz_" + std::to_string(::getpid()) + what)).string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string input = ScratchPath(".in");
  static const std::string output = ScratchPath(".out");
  static const struct Cleanup {
    ~Cleanup() {
      std::remove(input.c_str());
      std::remove(output.c_str());
    }
  } cleanup;

  std::FILE* f = std::fopen(input.c_str(), "wb");
  if (!f) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  PaletteRGB palette = DefaultPalette();
  const PaletteRGB before = palette;
  const PaletteStatus status = ReadPaletteFile(input, palette);
  if (status != PaletteStatus::Ok) {
    if (palette != before || status == PaletteStatus::FileNotFound) std::abort();
    return 0;
  }
  for (std::int32_t entry : palette)
    if ((std::uint32_t(entry) >> 24) != 0) std::abort();

  PaletteRGB again{};
  if (WritePaletteFile(output, palette) != PaletteStatus::Ok) std::abort();
  if (ReadPaletteFile(output, again) != PaletteStatus::Ok || again != palette) std::abort();
  return 0;
}
