#include "ftp/directory_walk.h"

#include <cstring>
#include <initializer_list>

#include "boundary/number_text.h"
#include "ftp/walk_record.h"

namespace zel::ftp {
namespace {

constexpr std::size_t kFirstQueueSlots = 252;  // one 64 KiB block, as walks begin

bool IsDotName(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool EndsInSeparator(const char* text) {
  const char* last = LastSeparator(text);
  return last != nullptr && last[1] == '\0';
}

// Joins parts into out when they fit, else leaves out alone and returns false.
bool Join(char* out, std::size_t capacity, std::initializer_list<const char*> parts) {
  std::size_t length = 0;
  for (const char* part : parts) length += std::strlen(part);
  if (length >= capacity) return false;
  char* p = out;
  for (const char* part : parts) {
    const std::size_t n = std::strlen(part);
    std::memcpy(p, part, n);
    p += n;
  }
  *p = '\0';
  return true;
}

}  // namespace

char* DirectoryQueue::Slot(std::size_t index) const {
  return static_cast<char*>(block_.get()) + index * kQueueSlotSize;
}

bool DirectoryQueue::Push(const char* directory) {
  if (write_ == slots_ && read_ > 0) {
    std::memmove(Slot(0), Slot(read_), (write_ - read_) * kQueueSlotSize);
    write_ -= read_;
    read_ = 0;
  }
  if (write_ == slots_) {
    const std::size_t grown = slots_ == 0 ? kFirstQueueSlots : slots_ * 2;
    HGLOBAL bigger = block_ ? GlobalReAlloc(block_.get(), grown * kQueueSlotSize, GMEM_MOVEABLE)
                            : GlobalAlloc(GMEM_FIXED, grown * kQueueSlotSize);
    if (bigger == nullptr) return false;
    block_.release();
    block_.reset(bigger);
    slots_ = grown;
  }
  lstrcpynA(Slot(write_++), directory, static_cast<int>(kQueueSlotSize));
  return true;
}

bool DirectoryQueue::Pop(char (&directory)[kQueueSlotSize]) {
  if (read_ >= write_) return false;
  std::memcpy(directory, Slot(read_++), kQueueSlotSize);
  return true;
}

void DirectoryQueue::Release() {
  block_.reset();
  slots_ = read_ = write_ = 0;
}

bool DirectoryWalk::Start(const char* directory, const char* pattern, bool recurse) {
  search_.Close();
  firstPending_ = false;
  recurse_ = recurse;
  queue_.Release();
  // An empty directory text gets the separator too: the walk starts at the root.
  const char* separator = EndsInSeparator(directory) ? "" : "/";
  char path[kWalkDirSize + kWalkPatternSize];
  if (!Join(dir_, sizeof dir_, {directory, separator}) || !Join(pattern_, sizeof pattern_, {pattern}) ||
      !Join(path, sizeof path, {dir_, pattern_})) {
    dir_[0] = pattern_[0] = '\0';
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  firstPending_ = search_.OpenFirst(path);
  return firstPending_;
}

bool DirectoryWalk::EnterQueuedDirectory(bool* failed) {
  *failed = false;
  char directory[kQueueSlotSize];
  while (recurse_ && queue_.Pop(directory)) {
    char path[kWalkDirSize + kWalkPatternSize];
    Join(dir_, sizeof dir_, {directory});  // a slot always fits the prefix
    Join(path, sizeof path, {dir_, pattern_});
    const bool opened = search_.OpenFirst(path);
    StoreLastError();
    if (opened) return true;
    // An empty directory, or one where nothing matches, is skipped.
    if (!search_.NothingMatches(LastErrorCode)) {
      *failed = true;
      return false;
    }
  }
  return false;
}

int32_t DirectoryWalk::Report(const Call& call, DWORD error) {
  LastErrorCode = error;
  return call.error(failMessage_, -1);
}

int32_t DirectoryWalk::Next(const Call& call, bool detailed) {
  for (;;) {
    const bool obtained = firstPending_ || search_.FindNext();
    firstPending_ = false;
    if (obtained && IsDotName(record_.cFileName)) continue;
    StoreLastError();
    if (!obtained) {
      if (LastErrorCode != ERROR_NO_MORE_FILES) {
        queue_.Release();
        return call.error(failMessage_, -1);
      }
      bool failed = false;
      if (EnterQueuedDirectory(&failed)) {
        firstPending_ = true;
        continue;
      }
      queue_.Release();
      if (failed) return call.error(failMessage_, -1);
      search_.Finish();
      LastErrorCode = ERROR_NO_MORE_FILES;
      return call.text("");
    }
    char name[MAX_PATH];
    lstrcpynA(name, record_.cFileName, MAX_PATH);
    if (record_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!recurse_) continue;
      // A directory whose path does not fit a slot is reported, and the walk goes on.
      char queued[kQueueSlotSize];
      if (!Join(queued, sizeof queued, {dir_, name, "\\"})) return Report(call, ERROR_FILENAME_EXCED_RANGE);
      if (!queue_.Push(queued)) return Report(call, ERROR_NOT_ENOUGH_MEMORY);
      continue;
    }
    char path[kWalkPathSize];
    Join(path, sizeof path, {dir_, name});  // always fits: prefix and name each have their room
    if (!detailed) return call.text(path);
    char record[kWalkRecordSize];
    FormatWalkRecord(path, record_, record, sizeof record);
    StoreLastError();
    return call.text(record);
  }
}

}  // namespace zel::ftp
