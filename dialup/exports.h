// The three exports of the Windows NT 3.x phonebook reader and password store, for this
// library's dial operations and for other modules. The caller removes the arguments
// (cdecl). The export table names them:
//   ?_GetEntryDialParamsNT3@@YAKPAUZELCUSTOMCMDINFO@@PAUtagRASDIALPARAMSA@@PAH@Z  (32-bit;
//       the 64-bit build has PEA for PA), ZXDoDUNGetPWNT3 and ZXDoDUNSetPWNT3.
#pragma once
#include <windows.h>

#include "dialup/ras_records.h"

extern "C" {

// Fills params (zero-filled, size 1052, entry name set) from the phonebook file
// "<system directory>\ras\rasphone.pbk" and the password store; *passwordFound (if given)
// is non-zero when a password was found. 0 when filled, 623 when the phonebook has no
// such entry (params untouched), 1157 when RAS cannot be bound.
unsigned long __cdecl _GetEntryDialParamsNT3(ZELCUSTOMCMDINFO* info, tagRASDIALPARAMSA* params, int* passwordFound);

// The entry's stored password in an 86-byte block the caller releases with GlobalFree;
// the empty text (and nStatus 9) when none can be read.
char* __cdecl ZXDoDUNGetPWNT3(ZELCUSTOMCMDINFO* info, const char* entryName);

// Stores password for an entry of the phonebook, or removes the stored one when password
// is null or empty. 0 (nStatus 9) when the entry is not in the phonebook or the password
// is longer than 65 characters, else 1 (nStatus 9 when the store could not be written).
int __cdecl ZXDoDUNSetPWNT3(ZELCUSTOMCMDINFO* info, const char* entryName, const char* password);

}
