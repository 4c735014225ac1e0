// Listing the phonebook.
//
//   iDialItemize  -> the entry names separated by single tabs ("" for an empty phonebook,
//                    one of more than 100 entries, or when RAS cannot be used); then a
//                    second, integer delivery: the value the host's callback returned for
//                    the list. The command returns what the second delivery returned.
#include <windows.h>

#include <cstring>

#include "dialup/commands.h"
#include "dialup/operations.h"

namespace zel::dialup {
namespace {

constexpr DWORD kEntriesListed = 100;
constexpr SIZE_T kListCapacity = 32767;

}  // namespace

UniqueGlobal ItemizeEntries(ZELCUSTOMCMDINFO* info) {
  if (!EnsureRasBound() || Ras.enumEntries == nullptr) return UniqueGlobal();
  RasEntryName entries[kEntriesListed] = {};
  entries[0].dwSize = kEntryNameSize;
  DWORD bytes = sizeof entries;
  DWORD count = 0;
  const DWORD listed = Ras.enumEntries(nullptr, nullptr, entries, &bytes, &count);
  StoreLastError();
  if (listed != 0) return UniqueGlobal();

  // Listed again into a block of the size RAS asked for, as RAS expects.
  const DWORD capacity = bytes > kEntryNameSize ? bytes / kEntryNameSize : 1;
  UniqueGlobal block(GlobalAlloc(GPTR, static_cast<SIZE_T>(capacity) * kEntryNameSize));
  if (!block) return UniqueGlobal();
  auto* names = static_cast<RasEntryName*>(block.get());
  names[0].dwSize = kEntryNameSize;
  bytes = capacity * kEntryNameSize;
  count = 0;
  Ras.enumEntries(nullptr, nullptr, names, &bytes, &count);
  if (count == 0) return UniqueGlobal();

  UniqueGlobal list(GlobalAlloc(GPTR, kListCapacity));
  if (!list) return UniqueGlobal();
  info->bStringResult = 1;
  char* text = static_cast<char*>(list.get());
  SIZE_T length = 0;
  for (DWORD i = 0; i < count && i < capacity; ++i) {
    const SIZE_T nameLength = strnlen(names[i].szEntryName, sizeof names[i].szEntryName);
    if (length + (i > 0 ? 1 : 0) + nameLength >= kListCapacity) break;  // cannot happen with 100 names
    if (i > 0) text[length++] = '\t';
    std::memcpy(text + length, names[i].szEntryName, nameLength);
    length += nameLength;
  }
  text[length] = '\0';
  if (HGLOBAL shrunk = GlobalReAlloc(list.get(), length + 1, 0)) {
    list.release();
    list.reset(shrunk);
  }
  return list;
}

int32_t DialItemize(const Call& call) {
  ZELCUSTOMCMDINFO info = {};
  UniqueGlobal list = ItemizeEntries(&info);
  if (info.nMessage != 0) return call.error(info.nMessage, -1);
  const bool listed = info.bStringResult != 0 && list;
  const int32_t answer = call.text(listed ? static_cast<const char*>(list.get()) : "");
  list.reset();
  return call.integer(answer);
}

}  // namespace zel::dialup
