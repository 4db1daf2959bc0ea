#include "model/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

double ParseLeadingDouble(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // Mantissa: digits, optionally a point and more digits; at least one digit in all.
  const std::size_t start = i;
  std::size_t digits = 0;
  std::size_t intDigits = 0;                          // digits before the point
  std::size_t firstNonZero = std::string_view::npos;  // among all mantissa digits
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits, ++intDigits)
    if (text[i] != '0' && firstNonZero == std::string_view::npos) firstNonZero = digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
      if (text[i] != '0' && firstNonZero == std::string_view::npos) firstNonZero = digits;
  }
  if (digits == 0) return 0.0;
  std::size_t end = i;

  // The exponent counts only when at least one digit follows the e and its sign.
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j)
        if (exponent < 100000000LL) exponent = exponent * 10 + (text[j] - '0');
      if (expNegative) exponent = -exponent;
      end = j;
    }
  }
  const double zero = negative ? -0.0 : 0.0;
  if (firstNonZero == std::string_view::npos) return zero;

  double value = 0.0;
  const std::from_chars_result r =
      std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond double range: the position of the leading digit says which way it fell.
    const long long magnitude = (long long)intDigits - (long long)firstNonZero - 1 + exponent;
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (r.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

float ToSingleSaturated(double value) {
  // Halfway between the largest float and 2^128: from here on rounding gives infinity.
  constexpr double overflow = 0x1.ffffffp+127;
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value >= overflow) return std::numeric_limits<float>::max();
  if (value <= -overflow) return -std::numeric_limits<float>::max();
  return static_cast<float>(value);
}
