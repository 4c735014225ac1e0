// HandleText and the resolver: script text -> WinInet handle and its HandleKind.
// The library keeps no table of handles; WinInet is asked each time.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <initializer_list>

#include "boundary/extender.h"
#include "boundary/number_text.h"

namespace zel {

// HandleKind: WinInet's handle-type codes, plus the open local walk's sentinel.
enum HandleKind : DWORD {
  kNoKind = 0,
  kSessionKind = 1,
  kFtpConnectionKind = 2,
  kGopherConnectionKind = 3,
  kHttpConnectionKind = 4,
  kFtpFileKind = 7,
  kGopherFileKind = 11,
  kHttpRequestKind = 13,
  kFindSentinel = 123456,
};

constexpr char kSecureMark = 'S';

struct Resolved {
  HINTERNET handle = nullptr;  // for kFindSentinel: the local walk's OS find handle
  DWORD kind = kNoKind;
  bool secure = false;
  explicit operator bool() const { return handle != nullptr; }
};

// Resolve(text): null text, or a value WinInet does not know, gives no handle.
Resolved Resolve(const char* text);

// A handle argument checked for its kind. When !ok, the error is already delivered
// (306 for no handle, wrongKindMessage for another kind, both kind -2) and
// `delivered` holds what the dispatcher must return.
struct HandleArg {
  Resolved resolved;
  bool ok = false;
  int32_t delivered = 0;
  HINTERNET handle() const { return resolved.handle; }
};
HandleArg RequireHandle(const Call& call, int argument, int wrongKindMessage, std::initializer_list<DWORD> kinds);

// Handle values travel as 32-bit numbers (WinInet's are small; the shipping build is 32-bit).
inline int32_t HandleValue(const void* handle) {
  return static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)));
}
inline HINTERNET HandleFromValue(int32_t value) {
  return reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(static_cast<uint32_t>(value)));
}

// State of the directory walkers that the resolver and iclose read and clear.
struct WalkState {
  int32_t localFindHandle = 0;  // the value scripts name the open local walk by
  HANDLE localWalkFind = nullptr;  // INVALID_HANDLE_VALUE once a queued search failed
  bool localWalkOpen = false;
  bool ftpWalkOpen = false;
  // The FTP walk's current search, owned by the walk: replaced as it moves on and closed at
  // its end. ftpFindValue is the value iftpfindinit delivered; it names the walk for iclose.
  HINTERNET ftpWalkFind = nullptr;
  int32_t ftpFindValue = 0;
  bool ftpWalkEnded = false;  // listed everything: its search is closed, "" follows
};
extern WalkState Walks;

// True when text names the open FTP walk (the value its start delivered, with the walk
// still open): iclose then ends the walk, closing the search it is on now. When WinInet
// has since given that number to a new handle, the text names that handle instead.
bool NamesOpenFtpWalk(const char* text);
// Closes the FTP walk's current search, if any. Returns what the close returned (TRUE
// when there was none).
BOOL CloseFtpWalkSearch();
// After a WinInet handle was closed: if the close took the walk's search with it (its
// connection or session), the walk forgets the number, never to close it later when
// WinInet has given it to another handle.
void ForgetClosedFtpWalkSearch();

}  // namespace zel
