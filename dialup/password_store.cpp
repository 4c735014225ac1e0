// The password store of the Windows NT 3.x path: one 70-byte REG_BINARY value per entry
// under HKEY_CURRENT_USER\Software\Ferrovane\NT3 RAS, named by the entry name as the
// caller wrote it. The password of L characters and its NUL sit reversed at bytes 65-L to
// 65, each XORed with a 4-byte pad stored backwards at bytes 66 to 69; the rest is filler.
// Pad and filler are drawn from rand() seeded with the time in seconds at every store, so
// two stores within one second write the same value.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "boundary/unique_handle.h"
#include "dialup/entry_name.h"
#include "dialup/exports.h"
#include "dialup/registry_key.h"

namespace zel::dialup {
namespace {

constexpr char kStoreKey[] = "Software\\Ferrovane\\NT3 RAS";
constexpr DWORD kValueSize = 70;
constexpr SIZE_T kPasswordBlockSize = 86;
constexpr std::size_t kMaxStoredPassword = 65;  // with its NUL, bytes 0 to 65
constexpr int32_t kNoPassword = 9;

void Report(ZELCUSTOMCMDINFO* info, int32_t status) {
  if (info != nullptr) info->nStatus = status;
}

bool Opened(int result) { return result == kRegistryDone || result == kRegistryCreated; }

unsigned char Pad(const unsigned char (&value)[kValueSize], std::size_t i) { return value[69 - i % 4]; }

bool ValidName(const char* entryName) {
  return entryName != nullptr && strnlen(entryName, kMaxEntryNameLength + 1) <= kMaxEntryNameLength;
}

}  // namespace
}  // namespace zel::dialup

using namespace zel::dialup;

char* __cdecl ZXDoDUNGetPWNT3(ZELCUSTOMCMDINFO* info, const char* entryName) {
  zel::UniqueGlobal block(GlobalAlloc(GPTR, kPasswordBlockSize));
  RegistryKey key;
  unsigned char value[kValueSize] = {};
  DWORD stored = 0;
  // A value of any other length was not written here: it reads as no password.
  if (!block || !ValidName(entryName) || !Opened(key.Create(HKEY_CURRENT_USER, kStoreKey, true)) ||
      key.QueryValueOrDefault(entryName, nullptr, value, kValueSize, &stored) != kRegistryDone ||
      stored != kValueSize) {
    Report(info, kNoPassword);
    return static_cast<char*>(block.release());
  }
  char* text = static_cast<char*>(block.get());
  for (std::size_t i = 0; i <= kMaxStoredPassword; ++i) {
    text[i] = static_cast<char>(value[65 - i] ^ Pad(value, i));
    if (text[i] == '\0') break;
  }
  return static_cast<char*>(block.release());
}

int __cdecl ZXDoDUNSetPWNT3(ZELCUSTOMCMDINFO* info, const char* entryName, const char* password) {
  RegistryKey key;
  tagRASDIALPARAMSA params = {};
  params.dwSize = kDialParamsSize;
  int passwordFound = 0;
  // Refused rather than cut: a longer password does not fit the value.
  if ((password != nullptr && strnlen(password, kMaxStoredPassword + 1) > kMaxStoredPassword) ||
      !CopyWhole(params.szEntryName, entryName) || _GetEntryDialParamsNT3(info, &params, &passwordFound) != 0) {
    Report(info, kNoPassword);
    return 0;
  }
  if (password != nullptr && password[0] != '\0') {
    unsigned char value[kValueSize];
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    for (unsigned char& byte : value) byte = static_cast<unsigned char>(std::rand() & 0xFF);
    const std::size_t length = std::strlen(password);
    for (std::size_t i = 0; i <= length; ++i)
      value[65 - i] = static_cast<unsigned char>(static_cast<unsigned char>(password[i]) ^ Pad(value, i));
    if (!Opened(key.Create(HKEY_CURRENT_USER, kStoreKey, true)) ||
        key.SetBinaryValue(entryName, value, kValueSize) != kRegistryDone)
      Report(info, kNoPassword);
  } else if (key.Open(HKEY_CURRENT_USER, kStoreKey, true) == kRegistryDone) {
    key.DeleteValue(entryName);  // an absent value is no error
  }
  return 1;
}
