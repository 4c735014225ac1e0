#include "boundary/number_text.h"

#include <windows.h>

namespace zel {
namespace {

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int32_t ParseSignedDigits(const char* p) {
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  } else if (*p == '+') {
    ++p;
  }
  uint32_t value = 0;  // unsigned: overflow wraps around, as the rule says
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + static_cast<uint32_t>(*p - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t DecimalText(const char* text) {
  if (text == nullptr) return 0;
  while (*text == ' ') ++text;
  return ParseSignedDigits(text);
}

int32_t LenientDecimalText(const char* text) {
  if (text == nullptr) return 0;
  while (IsWhite(*text)) ++text;
  return ParseSignedDigits(text);
}

char* NumberText(int32_t value, char* out, std::size_t capacity, int radix) {
  static const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (out == nullptr || capacity == 0) return out;
  if (radix < 2 || radix > 36) radix = 10;
  char digits[kNumberTextSize];
  std::size_t n = 0;
  // Negate in unsigned arithmetic so -2147483648 needs no special case.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    digits[n++] = kAlphabet[magnitude % static_cast<uint32_t>(radix)];
    magnitude /= static_cast<uint32_t>(radix);
  } while (magnitude != 0);
  if (value < 0) digits[n++] = '-';
  std::size_t i = 0;
  while (n > 0 && i + 1 < capacity) out[i++] = digits[--n];
  out[i] = '\0';
  return out;
}

const char* LastSeparator(const char* path) {
  const char* last = nullptr;
  if (path == nullptr) return nullptr;
  for (const char* p = path; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/') last = p;
  }
  return last;
}

}  // namespace zel
