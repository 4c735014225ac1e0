// Entry names and passwords in fixed RAS fields: compared as RAS compares them, and
// copied whole or refused, never cut.
#pragma once
#include <cstddef>
#include <cstring>

namespace zel::dialup {

inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Equal when they differ at most in the case of the letters A to Z.
inline bool SameEntryName(const char* a, const char* b) {
  for (; *a != '\0' && AsciiUpper(*a) == AsciiUpper(*b); ++a, ++b) {
  }
  return AsciiUpper(*a) == AsciiUpper(*b);
}

// Copies text into field, NUL-filling the rest; false (field untouched) when it does not fit.
template <std::size_t N>
bool CopyWhole(char (&field)[N], const char* text) {
  if (text == nullptr) return false;
  const std::size_t length = strnlen(text, N);
  if (length == N) return false;
  std::memcpy(field, text, length);
  std::memset(field + length, 0, N - length);
  return true;
}

}  // namespace zel::dialup
