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
  const DWORD start = GetTickCount();
  const DWORD deadline = start + milliseconds;  // wraps as the tick count does
  if (start >= deadline) return 0;
  discardSet &= 0xFFFF;
  const int key = static_cast<int>(abortKey & 0xFFFF);
  int32_t pressed = 0;
  for (;;) {
    if (pressed != 0) return pressed;
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && !Discarded(message.message, discardSet)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const DWORD now = GetTickCount();
    if (key != 0) pressed = (GetAsyncKeyState(key) & 0x8001) != 0 ? 1 : 0;
    if (now >= deadline) return pressed;
  }
}

}  // namespace zel::dialup
