// The number rules, called directly: DecimalText, LenientDecimalText, NumberText, LastSeparator.
#include <gtest/gtest.h>

#include "boundary/number_text.h"

namespace {

struct ParseCase {
  const char* text;
  int32_t strict;
  int32_t lenient;
};

TEST(NumberRules, ParsingTable) {
  const ParseCase cases[] = {
      {"  42", 42, 42},          {"-7x", -7, -7},          {"+5", 5, 5},
      {"abc", 0, 0},             {"\t5", 0, 5},            {"\r\n\v\f 9", 0, 9},
      {"4294967297", 1, 1},      {"2147483648", INT32_MIN, INT32_MIN},
      {"-2147483648", INT32_MIN, INT32_MIN},                {"", 0, 0},
      {"0x10", 0, 0},            {"1,000", 1, 1},          {"--5", 0, 0},
      {"+-5", 0, 0},             {"- 5", 0, 0},            {"12 34", 12, 12},
      {"\x80\xff" "7", 0, 0},    {"007", 7, 7},            {"99999999999", 1215752191, 1215752191},
  };
  for (const ParseCase& c : cases) {
    EXPECT_EQ(zel::DecimalText(c.text), c.strict) << '"' << c.text << '"';
    EXPECT_EQ(zel::LenientDecimalText(c.text), c.lenient) << '"' << c.text << '"';
  }
  EXPECT_EQ(zel::DecimalText(nullptr), 0);
}

TEST(NumberRules, FormattingTable) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "0"}, {-1, "-1"}, {25016, "25016"}, {INT32_MIN, "-2147483648"}, {INT32_MAX, "2147483647"}, {10, "10"}};
  for (const auto& [value, text] : cases) {
    char out[zel::kNumberTextSize];
    EXPECT_STREQ(zel::NumberText(value, out, sizeof out), text) << value;
  }
  char out[zel::kNumberTextSize];
  EXPECT_STREQ(zel::NumberText(255, out, sizeof out, 16), "FF");
  EXPECT_STREQ(zel::NumberText(-35, out, sizeof out, 36), "-Z");
  char tiny[4];
  EXPECT_STREQ(zel::NumberText(123456, tiny, sizeof tiny), "123");  // cut, never overrun
}

TEST(NumberRules, LastSeparator) {
  const char* path = "C:\\dir/sub\\file.txt";
  EXPECT_EQ(zel::LastSeparator(path), path + 10);
  EXPECT_EQ(zel::LastSeparator("name"), nullptr);
  EXPECT_EQ(zel::LastSeparator(""), nullptr);
  const char* slash = "a/b/";
  EXPECT_EQ(zel::LastSeparator(slash), slash + 3);
}

}  // namespace
