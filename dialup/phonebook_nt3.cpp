// The Windows NT 3.x phonebook reader: the dial parameters of an entry from the RAS
// phonebook file (one section per entry, its "User" key the user name) and the password
// store. RAS of that era keeps no dial parameters of its own.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "boundary/unique_handle.h"
#include "dialup/entry_name.h"
#include "dialup/exports.h"
#include "dialup/operations.h"

namespace zel::dialup {
namespace {

constexpr DWORD kSectionNamesSize = 26000;

bool PhonebookPath(char (&path)[MAX_PATH + 32]) {
  char directory[MAX_PATH];
  const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::snprintf(path, sizeof path, "%s\\ras\\rasphone.pbk", directory);
  return true;
}

// The phonebook's spelling of entryName (A to Z in any case), or false. Names beyond the
// buffer are not seen.
bool FindSection(const char* phonebook, const char* entryName, char (&section)[kMaxEntryNameLength + 1]) {
  char names[kSectionNamesSize + 2] = {};  // the two spare NULs end the list whatever is read
  GetPrivateProfileSectionNamesA(names, kSectionNamesSize, phonebook);
  for (const char* name = names; *name != '\0'; name += std::strlen(name) + 1) {
    if (SameEntryName(name, entryName)) return CopyWhole(section, name);
  }
  return false;
}

}  // namespace
}  // namespace zel::dialup

using namespace zel::dialup;

unsigned long __cdecl _GetEntryDialParamsNT3(ZELCUSTOMCMDINFO* info, tagRASDIALPARAMSA* params, int* passwordFound) {
  if (passwordFound != nullptr) *passwordFound = 0;
  // Reporting success for a record left unfilled would let a store skip its entry check.
  if (!EnsureRasBound()) return ERROR_DLL_NOT_FOUND;
  char phonebook[MAX_PATH + 32];
  char section[kMaxEntryNameLength + 1];
  if (params == nullptr || strnlen(params->szEntryName, sizeof params->szEntryName) > kMaxEntryNameLength ||
      !PhonebookPath(phonebook) || !FindSection(phonebook, params->szEntryName, section))
    return kRasEntryNotFound;
  CopyWhole(params->szPhoneNumber, "");
  CopyWhole(params->szCallbackNumber, "*");
  GetPrivateProfileStringA(section, "User", "", params->szUserName, sizeof params->szUserName, phonebook);
  const zel::UniqueGlobal password(ZXDoDUNGetPWNT3(info, params->szEntryName));
  CopyWhole(params->szPassword, password ? static_cast<const char*>(password.get()) : "");
  CopyWhole(params->szDomain, "*");
  if (passwordFound != nullptr) *passwordFound = static_cast<signed char>(params->szPassword[0]);
  return 0;
}
