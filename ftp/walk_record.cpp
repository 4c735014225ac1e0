#include "ftp/walk_record.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "boundary/number_text.h"

namespace zel::ftp {
namespace {

char* PutDigits(char* out, unsigned value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + digits;
}

// Appends text to out at *used, cutting at capacity (one byte is kept for the NUL).
void Append(char* out, std::size_t capacity, std::size_t* used, const char* text, std::size_t length) {
  if (*used + 1 >= capacity) return;
  const std::size_t room = capacity - 1 - *used;
  if (length > room) length = room;
  std::memcpy(out + *used, text, length);
  *used += length;
  out[*used] = '\0';
}

}  // namespace

void FormatWalkTimestamp(const FILETIME& time, char (&out)[kTimestampSize]) {
  // A DOS date holds 1980-01-01 to 2107-12-31; not every FileTimeToDosDateTime refuses
  // the years after (Wine's wraps them around), so the range is checked here.
  constexpr uint64_t kFirstDosTime = 119600064000000000u;  // 1980-01-01 00:00:00
  constexpr uint64_t kAfterDosTime = 159992928000000000u;  // 2108-01-01 00:00:00
  FILETIME local{};
  WORD date = 0;
  WORD clock = 0;
  const bool converted = FileTimeToLocalFileTime(&time, &local) != FALSE;
  const uint64_t ticks = static_cast<uint64_t>(local.dwHighDateTime) << 32 | local.dwLowDateTime;
  if (!converted || ticks < kFirstDosTime || ticks >= kAfterDosTime || !FileTimeToDosDateTime(&local, &date, &clock)) {
    std::memcpy(out, kNoTimestamp, kTimestampSize);
    return;
  }
  char* p = PutDigits(out, 1980u + (date >> 9), 4);
  *p++ = ':';
  p = PutDigits(p, (date >> 5) & 15u, 2);
  *p++ = ':';
  p = PutDigits(p, date & 31u, 2);
  *p++ = ':';
  p = PutDigits(p, clock >> 11, 2);
  *p++ = ':';
  p = PutDigits(p, (clock >> 5) & 63u, 2);
  *p++ = ':';
  p = PutDigits(p, (clock & 31u) * 2u, 2);
  *p = '\0';
}

void FormatWalkSize(DWORD high, DWORD low, char (&out)[kSizeTextSize]) {
  if (high == 0 && low < 0x80000000u) {
    NumberText(static_cast<int32_t>(low), out, kSizeTextSize);
    return;
  }
  const double size = static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
  std::snprintf(out, kSizeTextSize, "%.2f", size);
}

void FormatWalkRecord(const char* path, const WIN32_FIND_DATAA& entry, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  std::size_t used = 0;
  char size[kSizeTextSize];
  FormatWalkSize(entry.nFileSizeHigh, entry.nFileSizeLow, size);
  char stamp[kTimestampSize];
  Append(out, capacity, &used, path, std::strlen(path));
  Append(out, capacity, &used, "\t", 1);
  Append(out, capacity, &used, entry.cAlternateFileName,
         strnlen(entry.cAlternateFileName, sizeof entry.cAlternateFileName));
  Append(out, capacity, &used, "\t", 1);
  Append(out, capacity, &used, size, std::strlen(size));
  for (const FILETIME* time : {&entry.ftCreationTime, &entry.ftLastAccessTime, &entry.ftLastWriteTime}) {
    FormatWalkTimestamp(*time, stamp);
    Append(out, capacity, &used, "\t", 1);
    Append(out, capacity, &used, stamp, kTimestampSize - 1);
  }
}

}  // namespace zel::ftp
