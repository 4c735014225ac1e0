#include "inet/handles.h"

#include <utility>

namespace zel {

WalkState Walks;

namespace {
// WinInet's handle type of a value; false when WinInet does not know the value.
bool QueryHandleKind(HINTERNET handle, DWORD& kind) {
  unsigned char type[100] = {};
  DWORD length = sizeof type;
  if (!InternetQueryOptionA(handle, INTERNET_OPTION_HANDLE_TYPE, type, &length)) return false;
  kind = static_cast<DWORD>(type[0]) | static_cast<DWORD>(type[1]) << 8 | static_cast<DWORD>(type[2]) << 16 |
         static_cast<DWORD>(type[3]) << 24;
  return true;
}
}  // namespace

bool NamesOpenFtpWalk(const char* text) {
  if (text == nullptr || !Walks.ftpWalkOpen) return false;
  if (*text == kSecureMark) ++text;
  const int32_t value = DecimalText(text);
  if (value != Walks.ftpFindValue) return false;
  // Once the walk has closed the search it started with, WinInet may give the number to
  // a handle opened since; that handle is what the script names now, and it must close.
  const HINTERNET handle = HandleFromValue(value);
  DWORD kind = kNoKind;
  return handle == Walks.ftpWalkFind || !QueryHandleKind(handle, kind);
}

BOOL CloseFtpWalkSearch() {
  if (Walks.ftpWalkFind == nullptr) {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  return InternetCloseHandle(std::exchange(Walks.ftpWalkFind, nullptr));
}

void ForgetClosedFtpWalkSearch() {
  // No handle was opened since the close, so a number that no longer answers is one the
  // close released, not one WinInet has handed out again.
  DWORD kind = kNoKind;
  if (Walks.ftpWalkFind != nullptr && !QueryHandleKind(Walks.ftpWalkFind, kind)) Walks.ftpWalkFind = nullptr;
}

Resolved Resolve(const char* text) {
  Resolved result;
  if (text == nullptr) return result;
  bool secure = false;
  if (*text == kSecureMark) {
    secure = true;
    ++text;
  }
  const int32_t value = DecimalText(text);
  // The open local walk is recognised before WinInet is asked.
  if (value == Walks.localFindHandle) {
    result.handle = Walks.localWalkFind;
    result.kind = result.handle != nullptr ? kFindSentinel : kNoKind;
    return result;
  }
  if (!QueryHandleKind(HandleFromValue(value), result.kind)) return result;
  result.handle = HandleFromValue(value);
  result.secure = secure;
  return result;
}

HandleArg RequireHandle(const Call& call, int argument, int wrongKindMessage, std::initializer_list<DWORD> kinds) {
  HandleArg result;
  result.resolved = Resolve(call.arg(argument));
  if (!result.resolved) {
    result.delivered = call.error(306, -2);
    return result;
  }
  for (DWORD kind : kinds) {
    if (result.resolved.kind == kind) {
      result.ok = true;
      return result;
    }
  }
  result.delivered = call.error(wrongKindMessage, -2);
  return result;
}

}  // namespace zel
