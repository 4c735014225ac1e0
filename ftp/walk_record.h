// The detailed entry text of the directory walks (WalkRecord): path, alternate name,
// size, created, accessed and written, joined by single tabs.
#pragma once
#include <windows.h>

#include <cstddef>

namespace zel::ftp {

// "YYYY:MM:DD:hh:mm:ss" in local time, two-second resolution. A time outside the years
// 1980 to 2107 (which a DOS date cannot hold) reads kNoTimestamp.
constexpr char kNoTimestamp[] = "0000:00:00:00:00:00";
constexpr std::size_t kTimestampSize = sizeof kNoTimestamp;
void FormatWalkTimestamp(const FILETIME& time, char (&out)[kTimestampSize]);

// Sizes below 2 GiB in plain decimal; larger ones as the 64-bit value with "%.2f".
constexpr std::size_t kSizeTextSize = 32;
void FormatWalkSize(DWORD high, DWORD low, char (&out)[kSizeTextSize]);

// The whole record for the entry found at path. Cut (never overrun) at capacity;
// kWalkRecordSize holds every record of a path up to kWalkPathSize.
constexpr std::size_t kWalkRecordSize = 700;
void FormatWalkRecord(const char* path, const WIN32_FIND_DATAA& entry, char* out, std::size_t capacity);

}  // namespace zel::ftp
