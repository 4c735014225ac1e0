// One directory walk, told once for both walkers: the FTP walk and the local walk
// differ only in their searches (WalkSearch) and in the message of a failed step.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "boundary/extender.h"
#include "boundary/unique_handle.h"

namespace zel::ftp {

// Capacities, with the terminating NUL: the directory prefix of the listed directory,
// the pattern, one queued directory (a Windows path), and the path of an entry.
constexpr std::size_t kWalkDirSize = 300;
constexpr std::size_t kWalkPatternSize = 320;
constexpr std::size_t kQueueSlotSize = MAX_PATH;
constexpr std::size_t kWalkPathSize = kWalkDirSize + MAX_PATH;

// Directories still to list, first in, first out, in fixed slots of one global-heap
// block that grows (by compacting, then doubling) instead of overrunning.
class DirectoryQueue {
 public:
  bool Push(const char* directory);  // false when the block cannot grow
  bool Pop(char (&directory)[kQueueSlotSize]);
  void Release();

 private:
  char* Slot(std::size_t index) const;
  UniqueGlobal block_;
  std::size_t slots_ = 0;
  std::size_t read_ = 0;
  std::size_t write_ = 0;
};

// The searches of one kind of walk. Each writes its entries into the walk's record
// and leaves the system error set when it fails.
class WalkSearch {
 public:
  virtual bool OpenFirst(const char* path) = 0;  // replaces the current search
  virtual bool FindNext() = 0;                   // ERROR_NO_MORE_FILES at the end
  virtual void Finish() = 0;                     // the walk has listed everything
  virtual void Close() = 0;                      // before a new start
  virtual bool NothingMatches(DWORD error) const = 0;

 protected:
  ~WalkSearch() = default;
};

class DirectoryWalk {
 public:
  DirectoryWalk(WalkSearch& search, const WIN32_FIND_DATAA& record, int failMessage)
      : search_(search), record_(record), failMessage_(failMessage) {}

  // Opens the search of directory + separator + pattern. False, with the system error
  // set, when it failed (ERROR_FILENAME_EXCED_RANGE for texts longer than their room).
  bool Start(const char* directory, const char* pattern, bool recurse);
  // Delivers the next file (path or, detailed, WalkRecord), "" at the end, or the
  // walk's error message.
  int32_t Next(const Call& call, bool detailed);

 private:
  // Moves to the next queued directory that has entries: true when one is pending,
  // false at the end; *failed when a search failed for another reason than no match.
  bool EnterQueuedDirectory(bool* failed);
  int32_t Report(const Call& call, DWORD error);

  WalkSearch& search_;
  const WIN32_FIND_DATAA& record_;
  const int failMessage_;
  bool firstPending_ = false;
  bool recurse_ = false;
  DirectoryQueue queue_;
  char dir_[kWalkDirSize] = {};
  char pattern_[kWalkPatternSize] = {};
};

}  // namespace zel::ftp
