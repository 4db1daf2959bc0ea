#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "model/NumberText.h"

TEST(NumberText, TakesTheLongestLeadingNumber) {
  EXPECT_EQ(ParseLeadingDouble("12abc"), 12.0);
  EXPECT_EQ(ParseLeadingDouble("abc"), 0.0);
  EXPECT_EQ(ParseLeadingDouble(""), 0.0);
  EXPECT_EQ(ParseLeadingDouble(" -3.5e2"), -350.0);
  EXPECT_EQ(ParseLeadingDouble("\t\n+7.25"), 7.25);
  EXPECT_EQ(ParseLeadingDouble(".5"), 0.5);
  EXPECT_EQ(ParseLeadingDouble("5."), 5.0);
  EXPECT_EQ(ParseLeadingDouble("."), 0.0);
  EXPECT_EQ(ParseLeadingDouble("-"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("- 4"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("1.5.6"), 1.5);
  // An exponent without digits is not part of the number.
  EXPECT_EQ(ParseLeadingDouble("2e"), 2.0);
  EXPECT_EQ(ParseLeadingDouble("2e+"), 2.0);
  EXPECT_EQ(ParseLeadingDouble("2E-1x"), 0.2);
  EXPECT_EQ(ParseLeadingDouble("1,5"), 1.0);  // the point is '.' in every locale
  EXPECT_TRUE(std::signbit(ParseLeadingDouble("-0")));
}

TEST(NumberText, RefusesHexInfinityAndNanForms) {
  EXPECT_EQ(ParseLeadingDouble("0x10"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("0X1p4"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("inf"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("-Infinity"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("nan"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("NAN(123)"), 0.0);
}

TEST(NumberText, HandlesNumbersBeyondDoubleRange) {
  EXPECT_EQ(ParseLeadingDouble("1e999"), HUGE_VAL);
  EXPECT_EQ(ParseLeadingDouble("-1e999"), -HUGE_VAL);
  EXPECT_EQ(ParseLeadingDouble("1e99999999999999999999"), HUGE_VAL);
  EXPECT_EQ(ParseLeadingDouble("1e-999"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("0.000e999999"), 0.0);
  EXPECT_EQ(ParseLeadingDouble("0.001e-99999999999"), 0.0);
  // Many digits still round correctly.
  EXPECT_EQ(ParseLeadingDouble(std::string(400, '0') + "1.25"), 1.25);
  EXPECT_EQ(ParseLeadingDouble("0." + std::string(400, '0') + "1e401"), 1.0);
}

// Within the forms both accept, the result matches the C library's conversion bit for bit.
TEST(NumberText, AgreesWithTheCLibraryOnDecimalText) {
  std::mt19937 rng(20240611);
  const std::string alphabet = " +-.0123456789eE5a";
  for (int n = 0; n < 200000; ++n) {
    std::string text;
    const int length = int(rng() % 14);
    for (int k = 0; k < length; ++k) text += alphabet[rng() % alphabet.size()];
    const double expected = std::strtod(text.c_str(), nullptr);
    const double got = ParseLeadingDouble(text);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected))
        << '"' << text << '"';
  }
}

TEST(NumberText, RoundsToSingleAndSaturatesAtTheLargestFloat) {
  EXPECT_EQ(ToSingleSaturated(0.1), 0.1f);
  EXPECT_EQ(ToSingleSaturated(1234567.0), 1234567.0f);
  EXPECT_EQ(ToSingleSaturated(-350.0), -350.0f);
  EXPECT_EQ(ToSingleSaturated(1e39), FLT_MAX);
  EXPECT_EQ(ToSingleSaturated(-1e39), -FLT_MAX);
  EXPECT_EQ(ToSingleSaturated(HUGE_VAL), FLT_MAX);
  EXPECT_EQ(ToSingleSaturated(-HUGE_VAL), -FLT_MAX);
  // Just below the halfway point to 2^128 still rounds to the largest float as usual.
  EXPECT_EQ(ToSingleSaturated(std::nextafter(0x1.ffffffp+127, 0.0)), FLT_MAX);
  EXPECT_EQ(ToSingleSaturated(double(FLT_MAX)), FLT_MAX);
  EXPECT_EQ(ToSingleSaturated(1e-50), 0.0f);
  EXPECT_TRUE(std::signbit(ToSingleSaturated(-1e-50)));
}
