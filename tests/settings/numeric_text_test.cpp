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

}  // namespace
}  // namespace lumen::settings
