// The dial-up operations behind the three commands. Each takes the caller's status
// record first, binds RAS on first use and returns its failure value (0 or no block)
// when RAS cannot be bound or lacks an entry point it needs.
#pragma once
#include <windows.h>

#include <cstdint>

#include "boundary/unique_handle.h"
#include "dialup/ras_records.h"

namespace zel::dialup {

// The six entry points: null until the first binding attempt, which keeps whatever it found.
struct RasEntryPoints {
  RasEnumEntriesFn enumEntries;
  RasGetEntryDialParamsFn getEntryDialParams;
  RasDialFn dial;
  RasEnumConnectionsFn enumConnections;
  RasHangUpFn hangUp;
  RasGetConnectStatusFn getConnectStatus;
};
extern RasEntryPoints Ras;

// Loads "<system directory>\rasapi32.DLL" and looks the six up; true when all were found.
// A library that loads but lacks one shows the "Unable to load RASAPI32.DLL" box.
bool BindRasEntryPoints();
// Binds unless RasDialA was found by an earlier attempt; false when this attempt failed.
bool EnsureRasBound();

RasHandle DialEntry(ZELCUSTOMCMDINFO* info, const char* entryName);
RasHandle DialEntryWithPassword(ZELCUSTOMCMDINFO* info, const char* entryName, const char* password);
RasHandle DialWithParams(ZELCUSTOMCMDINFO* info, tagRASDIALPARAMSA* params);
int32_t HangUpConnection(ZELCUSTOMCMDINFO* info, RasHandle connection);  // 1, or 0 without RAS
UniqueGlobal ItemizeEntries(ZELCUSTOMCMDINFO* info);  // tab-separated names, or no block

// Dispatches the thread's messages for milliseconds, dropping those in discardSet
// (1 mouse, 2 keyboard, 4 timer, 8 close); returns 1 when abortKey was pressed meanwhile.
int32_t PumpMessagesFor(DWORD milliseconds, uint32_t discardSet, uint32_t abortKey);

bool IsWindowsNT();
bool IsWindowsNT3();

}  // namespace zel::dialup
