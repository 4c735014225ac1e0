// Sessions and closing.
//
//   ibegin access, proxy, bypass  -> session handle (0 on failure; igetlasterror tells why)
//       access: 0 direct, 1 proxy, 2 preconfigured; else "305: Parameter out of range".
//       proxy and bypass are none when "", "0" or "<registry>" (any case).
//   iclose handle                 -> non-zero when closed; "306: Bad Handle" if it names nothing.
//       Closing the value of ilocfindinit ends the local walk. Closing the value of
//       iftpfindinit ends the FTP walk (closing the search it is on now, even after it has
//       moved on), unless a handle opened since has that number: then that handle is closed.
//       Closing any other WinInet handle also ends it (a new walk may start).
#include <windows.h>
#include <wininet.h>

#include "boundary/args.h"
#include "inet/commands.h"
#include "inet/handles.h"

namespace zel::inet {
namespace {

constexpr char kAgentText[] = "Morvane Internet Extender Ver: 25016";

const char* ProxyOrNull(const char* text) {
  return IsNone(text) || lstrcmpiA(text, "<registry>") == 0 ? nullptr : text;
}

}  // namespace

int32_t Begin(const Call& call) {
  static const DWORD kAccessTypes[] = {INTERNET_OPEN_TYPE_DIRECT, INTERNET_OPEN_TYPE_PROXY,
                                       INTERNET_OPEN_TYPE_PRECONFIG};
  const int32_t access = DecimalText(call.arg(1));
  if (access < 0 || access > 2) return call.error(305, -2);
  HINTERNET session =
      InternetOpenA(kAgentText, kAccessTypes[access], ProxyOrNull(call.arg(2)), ProxyOrNull(call.arg(3)), 0);
  StoreLastError();
  return call.integer(HandleValue(session));
}

int32_t Close(const Call& call) {
  if (NamesOpenFtpWalk(call.arg(1))) {
    const BOOL closed = CloseFtpWalkSearch();
    StoreLastError();
    Walks.ftpWalkOpen = false;
    Walks.ftpWalkEnded = false;
    return call.integer(closed);
  }
  const Resolved target = Resolve(call.arg(1));
  if (!target) return call.error(306, -2);
  if (target.kind == kFindSentinel) {
    // A walk whose queued search failed has no search left to close.
    const BOOL closed = target.handle == INVALID_HANDLE_VALUE ? TRUE : FindClose(target.handle);
    StoreLastError();
    Walks.localWalkFind = nullptr;
    Walks.localFindHandle = 0;
    Walks.localWalkOpen = false;
    return call.integer(closed);
  }
  const BOOL closed = InternetCloseHandle(target.handle);
  StoreLastError();
  ForgetClosedFtpWalkSearch();
  Walks.ftpWalkOpen = false;
  return call.integer(closed);
}

}  // namespace zel::inet
