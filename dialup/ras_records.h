// The records that cross into RAS and into the dial-up exports. RAS is bound at run time,
// so its record versions are pinned here rather than taken from a header that follows
// WINVER: the size member selects the version RAS fills in.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Status record of every dial-up operation and export, passed by pointer as their first
// argument; the exports put it in their decorated names, so it keeps this global name.
struct ZELCUSTOMCMDINFO {
  int32_t reserved;       // never read or written here
  int32_t nStatus;        // left for the caller; operations only set it, never clear it
  int32_t nMessage;       // a message number for the command case to report (none sets it)
  int32_t bStringResult;  // 1 once the entry listing has built a list
};
static_assert(sizeof(ZELCUSTOMCMDINFO) == 16, "four 32-bit fields");

// RAS lays its records out on 4-byte boundaries in both builds.
#pragma pack(push, 4)

// Dial parameters, the version without sub-entry and callback id.
struct tagRASDIALPARAMSA {
  DWORD dwSize;
  CHAR szEntryName[257];
  CHAR szPhoneNumber[129];
  CHAR szCallbackNumber[129];
  CHAR szUserName[257];
  CHAR szPassword[257];
  CHAR szDomain[16];
};

namespace zel::dialup {

using RasHandle = HANDLE;

struct RasEntryName {  // phonebook listing, the version without flags and path
  DWORD dwSize;
  CHAR szEntryName[257];
};

struct RasConnection {  // active connection, the version with device type and name
  DWORD dwSize;
  RasHandle hrasconn;
  CHAR szEntryName[257];
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
};

struct RasConnectionStatus {  // connection status, the version without the phone number
  DWORD dwSize;
  int32_t rasconnstate;
  DWORD dwError;
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
};

#pragma pack(pop)

constexpr DWORD kDialParamsSize = sizeof(tagRASDIALPARAMSA);
constexpr DWORD kEntryNameSize = sizeof(RasEntryName);
constexpr DWORD kConnectionSize = sizeof(RasConnection);
constexpr DWORD kConnectionStatusSize = sizeof(RasConnectionStatus);

static_assert(kDialParamsSize == 1052 && kEntryNameSize == 264 && kConnectionStatusSize == 160,
              "no pointers in these: one size in both builds");
#if defined(__i386__)
static_assert(kConnectionSize == 412, "the shipping build's connection record");
static_assert(offsetof(RasConnection, hrasconn) == 4 && offsetof(RasConnection, szEntryName) == 8 &&
                  offsetof(RasConnectionStatus, szDeviceType) == 12 &&
                  offsetof(tagRASDIALPARAMSA, szPassword) == 776 && offsetof(tagRASDIALPARAMSA, szDomain) == 1033,
              "the shipping build's field offsets");
#else
static_assert(kConnectionSize == 416, "the same version with a 64-bit handle, 4-byte packed");
#endif

constexpr std::size_t kMaxEntryNameLength = sizeof(tagRASDIALPARAMSA::szEntryName) - 1;  // 256
constexpr std::size_t kMaxPasswordLength = sizeof(tagRASDIALPARAMSA::szPassword) - 1;    // 256

// RAS result codes this subsystem acts on.
enum RasResult : DWORD {
  kRasPortAlreadyOpen = 602,
  kRasBufferTooSmall = 603,
  kRasEntryNotFound = 623,
  kRasPortNotAvailable = 633,
  kRasLineBusy = 676,
  kRasVoiceAnswer = 677,
  kRasNoAnswer = 678,
};

// The six entry points, in the order they are looked up.
using RasEnumEntriesFn = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phonebook, RasEntryName* entries, DWORD* bytes,
                                        DWORD* count);
using RasGetEntryDialParamsFn = DWORD(WINAPI*)(LPCSTR phonebook, tagRASDIALPARAMSA* params, BOOL* passwordFound);
using RasDialFn = DWORD(WINAPI*)(void* extensions, LPCSTR phonebook, tagRASDIALPARAMSA* params, DWORD notifierType,
                                 void* notifier, RasHandle* connection);
using RasEnumConnectionsFn = DWORD(WINAPI*)(RasConnection* connections, DWORD* bytes, DWORD* count);
using RasHangUpFn = DWORD(WINAPI*)(RasHandle connection);
using RasGetConnectStatusFn = DWORD(WINAPI*)(RasHandle connection, RasConnectionStatus* status);

}  // namespace zel::dialup
