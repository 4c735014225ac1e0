// The local directory walk: one file per call, optionally through every subdirectory.
//
//   ilocfindinit directory, pattern, recurse
//       -> the walk's handle, or 0 when the first search failed (igetlasterror tells why:
//          3 no such directory, 2 nothing matches, 206 directory or pattern too long).
//       Paths, records, recursion and separators as iftpfindinit/iftpfindnext, so a walk
//       started at C:\data delivers C:\data/file and C:\data/sub\file.
//       Error 325 (kind -1): a local walk is already open (an FTP walk may be open too).
//   ilocfindnext detail -> as iftpfindnext; its error is 322 (kind -1).
//   iclose of the walk's handle ends the walk (a second iclose gives 306).
#include <windows.h>

#include "ftp/commands.h"
#include "ftp/directory_walk.h"
#include "inet/handles.h"

namespace zel::ftp {
namespace {

WIN32_FIND_DATAA LocalFindRecord;

// The walk's search lives in Walks.localWalkFind, where the resolver and iclose find it;
// INVALID_HANDLE_VALUE there means the search of a queued directory failed.
class LocalSearch final : public WalkSearch {
 public:
  bool OpenFirst(const char* path) override {
    Close();
    Walks.localWalkFind = FindFirstFileA(path, &LocalFindRecord);
    return Walks.localWalkFind != INVALID_HANDLE_VALUE;
  }
  bool FindNext() override {
    if (!HasSearch()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    return FindNextFileA(Walks.localWalkFind, &LocalFindRecord) != FALSE;
  }
  void Finish() override {}  // the search stays at its end until iclose
  void Close() override {
    if (HasSearch()) FindClose(Walks.localWalkFind);
    Walks.localWalkFind = nullptr;
  }
  bool NothingMatches(DWORD error) const override {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
  }

 private:
  static bool HasSearch() {
    return Walks.localWalkFind != nullptr && Walks.localWalkFind != INVALID_HANDLE_VALUE;
  }
};

LocalSearch TheSearch;
DirectoryWalk TheWalk(TheSearch, LocalFindRecord, 322);

}  // namespace

int32_t LocFindInit(const Call& call) {
  if (Walks.localWalkOpen) return call.error(325, -1);
  Walks.localWalkOpen = true;
  const bool started = TheWalk.Start(call.arg(1), call.arg(2), LenientDecimalText(call.arg(3)) != 0);
  StoreLastError();
  if (!started) {
    Walks.localWalkFind = nullptr;
    Walks.localFindHandle = 0;
    Walks.localWalkOpen = false;
    return call.integer(0);
  }
  Walks.localFindHandle = HandleValue(Walks.localWalkFind);
  return call.integer(Walks.localFindHandle);
}

int32_t LocFindNext(const Call& call) { return TheWalk.Next(call, DecimalText(call.arg(1)) == 1); }

}  // namespace zel::ftp
