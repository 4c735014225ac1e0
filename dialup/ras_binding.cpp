// Run-time binding of the RAS client library. Once RasDialA has been found no further
// attempt is made, so a library missing another entry point shows its box only once.
#include <windows.h>

#include <cstdio>

#include "dialup/operations.h"

namespace zel::dialup {

RasEntryPoints Ras = {};

namespace {

template <typename Fn>
void Find(HMODULE library, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool BindRasEntryPoints() {
  char directory[MAX_PATH];
  const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char path[MAX_PATH + 16];
  std::snprintf(path, sizeof path, "%s\\rasapi32.DLL", directory);
  // Never unloaded: the entry points stay in use for the life of the process.
  const HMODULE library = LoadLibraryA(path);
  if (library == nullptr) return false;
  Find(library, "RasEnumEntriesA", Ras.enumEntries);
  Find(library, "RasGetEntryDialParamsA", Ras.getEntryDialParams);
  Find(library, "RasDialA", Ras.dial);
  Find(library, "RasEnumConnectionsA", Ras.enumConnections);
  Find(library, "RasHangUpA", Ras.hangUp);
  Find(library, "RasGetConnectStatusA", Ras.getConnectStatus);
  if (Ras.enumEntries && Ras.getEntryDialParams && Ras.dial && Ras.enumConnections && Ras.hangUp &&
      Ras.getConnectStatus)
    return true;
  MessageBoxA(nullptr, "Unable to load RASAPI32.DLL", "ZEL Extender Error",
              MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
  return false;
}

bool EnsureRasBound() { return Ras.dial != nullptr || BindRasEntryPoints(); }

}  // namespace zel::dialup
