// One remote directory or file operation per call, on an FTP connection.
//
//   iftpdirmake connection, name       -> 1 made, 0 refused
//   iftpdirremove connection, name     -> 1 removed, 0 refused
//   iftpdirchange connection, name     -> 1 changed, 0 refused (relative names follow it)
//   iftpdirget connection              -> the current remote directory, as text
//   iftpdelete connection, name        -> 1 deleted, 0 refused
//   iftprename connection, old, new    -> 1 renamed, 0 refused
//   Names go to the server as given. After a refusal igetlasterror tells the reason
//   (12003: the server's reply, which igetresponse shows).
//   Errors (kind -2): "306: Bad Handle", "316: Wrong Handle type. Need iHostConnect/ftp";
//   "318: iFtpDirGet Failed." when the server cannot tell its directory.
#include <windows.h>
#include <wininet.h>

#include "ftp/commands.h"
#include "ftp/connection.h"

namespace zel::ftp {
namespace {

// The common front, the one WinInet call, and the server's yes or no as the result;
// the reason of a no stays in LastErrorCode.
template <typename Operation>
int32_t OnConnection(const Call& call, Operation operation) {
  const HandleArg connection = RequireFtpConnection(call);
  if (!connection.ok) return connection.delivered;
  const BOOL done = operation(connection.handle());
  StoreLastError();
  return call.integer(done ? 1 : 0);
}

}  // namespace

int32_t DirMake(const Call& call) {
  return OnConnection(call, [&](HINTERNET c) { return FtpCreateDirectoryA(c, call.arg(2)); });
}

int32_t DirRemove(const Call& call) {
  return OnConnection(call, [&](HINTERNET c) { return FtpRemoveDirectoryA(c, call.arg(2)); });
}

int32_t DirChange(const Call& call) {
  return OnConnection(call, [&](HINTERNET c) { return FtpSetCurrentDirectoryA(c, call.arg(2)); });
}

int32_t Delete(const Call& call) {
  return OnConnection(call, [&](HINTERNET c) { return FtpDeleteFileA(c, call.arg(2)); });
}

int32_t Rename(const Call& call) {
  return OnConnection(call, [&](HINTERNET c) { return FtpRenameFileA(c, call.arg(2), call.arg(3)); });
}

int32_t DirGet(const Call& call) {
  constexpr DWORD kDirectorySize = 260;
  const HandleArg connection = RequireFtpConnection(call);
  if (!connection.ok) return connection.delivered;
  char directory[kDirectorySize + 1] = {};  // one beyond WinInet's reach keeps it terminated
  DWORD length = kDirectorySize;
  const BOOL ok = FtpGetCurrentDirectoryA(connection.handle(), directory, &length);
  StoreLastError();
  if (!ok) return call.error(318, -2);
  return call.text(directory);
}

}  // namespace zel::ftp
