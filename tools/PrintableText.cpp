#include "tools/PrintableText.h"

#include <cstddef>
#include <cstdint>

namespace {

// The length of the well-formed UTF-8 character at the start of s, and its code point;
// 0 when the bytes there are not one.
std::size_t DecodeUtf8(std::string_view s, char32_t& code) {
  const auto byte = [&](std::size_t i) { return std::uint8_t(s[i]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void AppendEscaped(std::string& out, std::uint8_t b) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  out += "\\x";
  out += Hex[b >> 4];
  out += Hex[b & 0xF];
}

}  // namespace

std::string PrintableText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::uint8_t b = std::uint8_t(bytes[i]);
    if (b == '\\') {
      out += "\\\\";
      ++i;
      continue;
    }
    if (b >= 0x20 && b < 0x7F) {
      out += char(b);
      ++i;
      continue;
    }
    char32_t code = 0;
    const std::size_t n = b >= 0x80 ? DecodeUtf8(bytes.substr(i), code) : 0;
    if (n != 0 && code >= 0xA0) {
      out.append(bytes.substr(i, n));
    } else {  // a control character, or a byte outside any character: each byte escaped
      for (std::size_t k = 0; k < (n ? n : 1); ++k) AppendEscaped(out, std::uint8_t(bytes[i + k]));
    }
    i += n ? n : 1;
  }
  return out;
}
