// Dialing a phonebook entry.
//
//   iDial entry, password  -> the connection's handle, or 0 when nothing was dialled or the
//                             dial failed
//       password: "" or "0" dials with the password stored for the entry; any other text
//       (also "00" or " 0") replaces it for this dial only. An entry that is already
//       connected gives the existing connection's handle. Names and passwords of more than
//       256 characters are refused (0). No error messages: RAS's reasons are not reported.
#include <windows.h>

#include "boundary/args.h"
#include "dialup/commands.h"
#include "dialup/entry_name.h"
#include "dialup/exports.h"
#include "dialup/operations.h"
#include "inet/handles.h"

namespace zel::dialup {
namespace {

constexpr DWORD kSettleMilliseconds = 500;
constexpr int32_t kReusedConnection = 15;
constexpr int kConnectionsSearched = 16;

int32_t DialStatus(DWORD result) {
  switch (result) {
    case kRasEntryNotFound: return 9;
    case kRasLineBusy: return 13;
    case kRasVoiceAnswer: return 14;
    case kRasNoAnswer: return 11;
    default: return static_cast<int32_t>(result);
  }
}

// The first active connection whose entry name matches, or null.
RasHandle FindConnection(const char* entryName) {
  if (Ras.enumConnections == nullptr) return nullptr;
  RasConnection connections[kConnectionsSearched] = {};
  connections[0].dwSize = kConnectionSize;
  DWORD bytes = sizeof connections;
  DWORD count = 0;
  Ras.enumConnections(connections, &bytes, &count);
  for (DWORD i = 0; i < count && i < kConnectionsSearched; ++i) {
    if (SameEntryName(connections[i].szEntryName, entryName)) return connections[i].hrasconn;
  }
  return nullptr;
}

// The entry's stored dial parameters, with password (when given) in place of the stored one.
RasHandle DialStoredEntry(ZELCUSTOMCMDINFO* info, const char* entryName, const char* password) {
  if (!EnsureRasBound()) return nullptr;
  tagRASDIALPARAMSA params = {};
  params.dwSize = kDialParamsSize;
  if (!CopyWhole(params.szEntryName, entryName) ||
      (password != nullptr && strnlen(password, kMaxPasswordLength + 1) > kMaxPasswordLength)) {
    info->nStatus = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  BOOL passwordFound = FALSE;
  DWORD found = ERROR_PROC_NOT_FOUND;
  if (IsWindowsNT3())
    found = _GetEntryDialParamsNT3(info, &params, &passwordFound);
  else if (Ras.getEntryDialParams != nullptr)
    found = Ras.getEntryDialParams(nullptr, &params, &passwordFound);
  if (found != 0) {
    info->nStatus = static_cast<int32_t>(found);
    return nullptr;
  }
  if (password != nullptr) CopyWhole(params.szPassword, password);
  return DialWithParams(info, &params);
}

}  // namespace

RasHandle DialEntry(ZELCUSTOMCMDINFO* info, const char* entryName) { return DialStoredEntry(info, entryName, nullptr); }

RasHandle DialEntryWithPassword(ZELCUSTOMCMDINFO* info, const char* entryName, const char* password) {
  return DialStoredEntry(info, entryName, password != nullptr ? password : "");
}

RasHandle DialWithParams(ZELCUSTOMCMDINFO* info, tagRASDIALPARAMSA* params) {
  if (!EnsureRasBound() || Ras.dial == nullptr) return nullptr;
  RasHandle connection = nullptr;
  DWORD result = Ras.dial(nullptr, nullptr, params, 0, nullptr, &connection);
  StoreLastError();
  if (result == kRasPortNotAvailable && IsWindowsNT()) result = kRasPortAlreadyOpen;
  if (result == 0) return connection;
  if (result == kRasPortAlreadyOpen) {
    // Already connected: hand out the existing connection; the refused dial left nothing open.
    const RasHandle existing = FindConnection(params->szEntryName);
    if (existing != nullptr) info->nStatus = kReusedConnection;
    return existing;
  }
  if (connection != nullptr && Ras.hangUp != nullptr) {
    Ras.hangUp(connection);
    PumpMessagesFor(kSettleMilliseconds, 0, 0);
  }
  info->nStatus = DialStatus(result);
  return nullptr;
}

int32_t Dial(const Call& call) {
  ZELCUSTOMCMDINFO info = {};
  const RasHandle connection = IsNone(call.arg(2)) ? DialEntry(&info, call.arg(1))
                                                   : DialEntryWithPassword(&info, call.arg(1), call.arg(2));
  if (info.nMessage != 0) return call.error(info.nMessage, -1);
  return call.integer(HandleValue(connection));
}

}  // namespace zel::dialup
