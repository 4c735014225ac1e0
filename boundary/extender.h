// The host boundary: the ResultCallback, one script call as the commands see it,
// the three delivery forms and the module-wide state every command shares.
#pragma once
#include <windows.h>
#include <cstdint>

namespace zel {

// The host's callback: (kind, context A, context B, value type, integer, text).
// stdcall like the export, so the callee removes its six 32-bit arguments on i686.
using ResultCallback = int32_t(CALLBACK*)(int32_t kind, intptr_t contextA, intptr_t contextB,
                                          int32_t valueType, int32_t value, const char* text);

constexpr int kMaxScriptArgs = 5;
constexpr int32_t kCancelled = -5;  // dispatcher's answer to the call after a Cancel

// One script call. Script arguments are numbered from 1, as the script gives them.
struct Call {
  HWND window;
  intptr_t contextA;
  intptr_t contextB;
  ResultCallback callback;
  const char* args[kMaxScriptArgs];

  const char* arg(int n) const { return args[n - 1]; }

  // The three delivery forms. Each is the last act of a command.
  int32_t integer(int32_t value) const;
  int32_t text(const char* text) const;
  int32_t error(int number, int32_t kind) const;
};

using Command = int32_t (*)(const Call&);

// Module-wide state (all zero at load).
extern HINSTANCE ModuleInstance;
extern DWORD LastErrorCode;  // the Win32 error of the last command's principal call
extern bool CancelFlag;      // raised by the progress dialog's Cancel

// Copies the thread's Win32 last error into LastErrorCode.
inline void StoreLastError() { LastErrorCode = GetLastError(); }

}  // namespace zel
