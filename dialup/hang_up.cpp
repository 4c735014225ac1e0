// Hanging up dial-up connections.
//
//   iDialHangUp handle  -> 1; 0 only when RAS cannot be used
//       handle: a value iDial delivered, as decimal text (leading white space and a sign
//       allowed; reading stops at the first non-digit). 0, "" or text without digits hangs
//       up every active connection, whoever dialled it. A stale or unknown handle still
//       gives 1. Hanging up takes about half a second, during which the thread's messages
//       are dispatched.
#include <windows.h>

#include "boundary/number_text.h"
#include "dialup/commands.h"
#include "dialup/operations.h"
#include "inet/handles.h"

namespace zel::dialup {
namespace {

constexpr DWORD kSettleMilliseconds = 500;
// A connection that never reports itself gone is left after this long; RAS alone decides.
constexpr DWORD kGoneLimitMilliseconds = 3000;

void WaitUntilGone(RasHandle connection) {
  const DWORD start = GetTickCount();
  RasConnectionStatus status;
  do {
    Sleep(0);
    status = {};
    status.dwSize = kConnectionStatusSize;
  } while (Ras.getConnectStatus(connection, &status) == 0 && GetTickCount() - start < kGoneLimitMilliseconds);
}

int32_t HangUpAll(ZELCUSTOMCMDINFO* info) {
  if (Ras.enumConnections == nullptr || Ras.hangUp == nullptr || Ras.getConnectStatus == nullptr) return 0;
  RasConnection probe = {};
  probe.dwSize = kConnectionSize;
  DWORD bytes = sizeof probe;
  DWORD count = 0;
  Ras.enumConnections(&probe, &bytes, &count);  // only asks for the size needed

  const DWORD capacity = bytes > kConnectionSize ? bytes / kConnectionSize : 1;
  UniqueGlobal block(GlobalAlloc(GPTR, static_cast<SIZE_T>(capacity) * kConnectionSize));
  if (!block) return 0;
  auto* connections = static_cast<RasConnection*>(block.get());
  connections[0].dwSize = kConnectionSize;
  bytes = capacity * kConnectionSize;
  count = 0;
  const DWORD listed = Ras.enumConnections(connections, &bytes, &count);
  StoreLastError();
  for (DWORD i = 0; i < count && i < capacity; ++i) {
    if (connections[i].hrasconn == nullptr) continue;
    Ras.hangUp(connections[i].hrasconn);
    WaitUntilGone(connections[i].hrasconn);
  }
  info->nStatus = static_cast<int32_t>(listed);
  return 1;
}

}  // namespace

int32_t HangUpConnection(ZELCUSTOMCMDINFO* info, RasHandle connection) {
  if (!EnsureRasBound()) return 0;
  if (connection == nullptr) return HangUpAll(info);
  if (Ras.hangUp == nullptr) return 0;
  const DWORD result = Ras.hangUp(connection);
  StoreLastError();
  PumpMessagesFor(kSettleMilliseconds, 0, 0);
  info->nStatus = result == ERROR_INVALID_HANDLE ? 2 : static_cast<int32_t>(result);
  return 1;
}

int32_t DialHangUp(const Call& call) {
  ZELCUSTOMCMDINFO info = {};
  const int32_t hungUp = HangUpConnection(&info, HandleFromValue(LenientDecimalText(call.arg(1))));
  if (info.nMessage != 0) return call.error(info.nMessage, -1);
  return call.integer(hungUp);
}

}  // namespace zel::dialup
