// The number rules every command applies to its text arguments and results.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zel {

// Blanks (spaces only), one optional sign, decimal digits; stops at the first other
// character, wraps around on overflow, no digits gives 0.
int32_t DecimalText(const char* text);

// As DecimalText, but skips all white space (tab, line breaks, ...) before the number.
int32_t LenientDecimalText(const char* text);

// Writes value in the radix (2..36) into out (always NUL-terminated, cut to capacity).
// Returns out. 12 characters hold every radix-10 value.
constexpr std::size_t kNumberTextSize = 34;
char* NumberText(int32_t value, char* out, std::size_t capacity, int radix = 10);

// The last "\" or "/" in path (double-byte aware), or null.
const char* LastSeparator(const char* path);

}  // namespace zel
