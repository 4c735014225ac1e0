// The FTP directory walk: one file per call, optionally through every subdirectory.
//
//   iftpfindinit connection, directory, pattern, recurse
//       -> the walk's handle, or 0 when the first search failed (igetlasterror tells why:
//          18 nothing matches, 12003 no such directory, 206 directory or pattern too long).
//       Lists directory + "/" + pattern ("/" is not added when the directory ends in "/" or
//       "\"; "" lists the root). recurse (read leniently) non-zero: subdirectories whose
//       names match the pattern are listed too, breadth-first, their files reading
//       directory/sub\file (the server is sent "/" for every "\").
//       Errors: 306 bad handle, 316 not an FTP connection (kind -2); 325 an FTP walk is
//       already open (kind -1; the open walk is left alone).
//   iftpfindnext detail -> the next file's path, or with detail 1 its record:
//       path TAB alternate-name TAB size TAB created TAB accessed TAB written
//       (times "YYYY:MM:DD:hh:mm:ss" local, "0000:00:00:00:00:00" outside 1980-2107; sizes
//       of 2 GiB and more as "2147483648.00"); "" at the end, and again after it.
//       Directories, "." and ".." are never delivered; an empty subdirectory is skipped.
//       Error 321 (kind -1): a search failed (igetlasterror tells why), no walk was started,
//       or an entry's path is too long (206; the walk goes on after it).
//   iclose of the walk's handle ends the walk; so does iclose of any other Internet handle.
#include <windows.h>
#include <wininet.h>

#include "ftp/commands.h"
#include "ftp/connection.h"
#include "ftp/directory_walk.h"
#include "ftp/ftp_search.h"
#include "inet/handles.h"

namespace zel::ftp {
namespace {

// The walk's search lives in Walks.ftpWalkFind, where iclose finds it.
class FtpSearch final : public WalkSearch {
 public:
  HINTERNET connection = nullptr;

  bool OpenFirst(const char* path) override {
    // A connection allows one open search: the finished one goes first.
    Close();
    // The walk marks queued directories with "\"; FTP servers separate with "/".
    char serverPath[kWalkDirSize + kWalkPatternSize];
    lstrcpynA(serverPath, path, sizeof serverPath);
    for (char* p = serverPath; *p != '\0'; p = CharNextA(p)) {
      if (*p == '\\') *p = '/';
    }
    Walks.ftpWalkFind = FtpSearchFirst(connection, serverPath);
    return Walks.ftpWalkFind != nullptr;
  }
  bool FindNext() override {
    if (Walks.ftpWalkFind == nullptr) {
      SetLastError(Walks.ftpWalkEnded ? ERROR_NO_MORE_FILES : ERROR_INVALID_HANDLE);
      return false;
    }
    return InternetFindNextFileA(Walks.ftpWalkFind, &FtpFindRecord) != FALSE;
  }
  // The finished search is closed at once, so the connection is free for the next one.
  void Finish() override {
    CloseFtpWalkSearch();
    Walks.ftpWalkEnded = true;
  }
  void Close() override {
    CloseFtpWalkSearch();
    Walks.ftpWalkEnded = false;
  }
  bool NothingMatches(DWORD error) const override { return error == ERROR_NO_MORE_FILES; }
};

FtpSearch TheSearch;
DirectoryWalk TheWalk(TheSearch, FtpFindRecord, 321);

}  // namespace

int32_t FtpFindInit(const Call& call) {
  const HandleArg connection = RequireFtpConnection(call);
  if (!connection.ok) return connection.delivered;
  if (Walks.ftpWalkOpen) return call.error(325, -1);
  TheSearch.connection = connection.handle();
  const bool started = TheWalk.Start(call.arg(2), call.arg(3), LenientDecimalText(call.arg(4)) != 0);
  StoreLastError();
  if (!started) return call.integer(0);
  Walks.ftpWalkOpen = true;
  Walks.ftpFindValue = HandleValue(Walks.ftpWalkFind);
  return call.integer(Walks.ftpFindValue);
}

int32_t FtpFindNext(const Call& call) { return TheWalk.Next(call, DecimalText(call.arg(1)) == 1); }

}  // namespace zel::ftp
