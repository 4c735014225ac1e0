#include "inet/handles.h"

namespace zel {

WalkState Walks;

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
  unsigned char type[100] = {};
  DWORD length = sizeof type;
  if (!InternetQueryOptionA(HandleFromValue(value), INTERNET_OPTION_HANDLE_TYPE, type, &length)) return result;
  result.handle = HandleFromValue(value);
  result.kind = static_cast<DWORD>(type[0]) | static_cast<DWORD>(type[1]) << 8 | static_cast<DWORD>(type[2]) << 16 |
                static_cast<DWORD>(type[3]) << 24;
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
