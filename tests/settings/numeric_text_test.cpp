#include "settings/numeric_text.h"

#include <gtest/gtest.h>

namespace lumen::settings {
namespace {

TEST(ParseNumber, AcceptsDecimalNumbersAndNothingElse) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"12", 12},      {" \t-0.5 ", -0.5}, {"+3", 3},       {".5", 0.5},   {"7.", 7},
      {"1e3", 1000},   {"2.5E-1", 0.25},   {"00042", 42},   {"", {}},      {" ", {}},
      {"fast", {}},    {"-", {}},          {".", {}},       {"1e", {}},    {"0x10", {}},
      {"1,000", {}},   {"inf", {}},        {"nan", {}},     {"1 2", {}},   {"12abc", {}},
      {"--1", {}},     {"1e999", {}},      {"１２", {}},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseNumber(text), expected);
  }
}

TEST(IntegerConversion, FloorsRoundsHalfToEvenAndRefusesWhatDoesNotFit) {
  EXPECT_EQ(FloorToInt16(2.9), 2);
  EXPECT_EQ(FloorToInt16(-0.5), -1);
  EXPECT_EQ(FloorToInt16(32767.9), 32767);
  EXPECT_EQ(FloorToInt16(-32768.0), -32768);
  EXPECT_EQ(FloorToInt16(32768.0), std::nullopt);
  EXPECT_EQ(FloorToInt16(-32768.1), std::nullopt);

  EXPECT_EQ(RoundToInt16(1.5), 2);
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(-37.5), -38);
  EXPECT_EQ(RoundToInt16(12.4999), 12);
  EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);

  EXPECT_EQ(RoundToInt32(2.5), 2);
  EXPECT_EQ(RoundToInt32(112.5), 112);
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt32(2147483648.0), std::nullopt);
}

TEST(FormatIniNumber, PutsABlankBeforeZeroAndPositiveValues) {
  EXPECT_EQ(FormatIniNumber(0), " 0");
  EXPECT_EQ(FormatIniNumber(16777215), " 16777215");
  EXPECT_EQ(FormatIniNumber(-1), "-1");
  EXPECT_EQ(FormatIniNumber(-32768), "-32768");
}

}  // namespace
}  // namespace lumen::settings
