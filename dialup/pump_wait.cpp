// The wait that follows a hang-up: the thread's windows keep working while RAS settles.
#include <windows.h>

#include "dialup/operations.h"

namespace zel::dialup {
namespace {

bool Discarded(UINT message, uint32_t discardSet) {
  return ((discardSet & 1) && message >= WM_MOUSEFIRST && message <= 0x209) ||
         ((discardSet & 2) && message >= WM_KEYFIRST && message <= 0x108) ||
         ((discardSet & 4) && message == WM_TIMER) || ((discardSet & 8) && message == WM_CLOSE);
}

}  // namespace

int32_t PumpMessagesFor(DWORD milliseconds, uint32_t discardSet, uint32_t abortKey) {
  if (milliseconds == 0) return 0;
  const DWORD start = GetTickCount();
  discardSet &= 0xFFFF;
  const int key = static_cast<int>(abortKey & 0xFFFF);
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (Discarded(message.message, discardSet)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (key != 0 && (GetAsyncKeyState(key) & 0x8001) != 0) return 1;
    const DWORD elapsed = GetTickCount() - start;  // unsigned: right across the tick wrap
    if (elapsed >= milliseconds) return 0;
    // Sleep until a message arrives instead of spinning; poll the abort key every 10 ms.
    DWORD wait = milliseconds - elapsed;
    if (key != 0 && wait > 10) wait = 10;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

}  // namespace zel::dialup
