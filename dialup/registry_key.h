// RegistryKey: one open registry key and how it was opened, closed on every path out of
// its scope. Operations give result codes of their own (RegistryResult, 0 = done).
#pragma once
#include <windows.h>

#include "boundary/unique_handle.h"

namespace zel::dialup {

enum RegistryResult : int {
  kRegistryDone = 0,
  kRegistryDefaultUsed = 2,     // value absent, the caller's default copied instead
  kRegistryNoMemory = 5,        // no memory for reading the value
  kRegistryBadArgument = 16,    // a required argument is null (or the path empty or too long)
  kRegistryAbsent = 23,         // the key or value does not exist
  kRegistryTruncated = 25,      // the value is longer than the buffer, which holds its first bytes
  kRegistryNotOpen = 28,        // no key is open
  kRegistryDeleteFailed = 30,   // deleting failed for a reason other than absence
  kRegistryCreated = 1201,      // the key did not exist and was created (success)
  kRegistryFailed = 1202,       // a registry call failed
};

class RegistryKey {
 public:
  static constexpr REGSAM kWriteAccess = KEY_ALL_ACCESS;  // 0xF003F
  static constexpr REGSAM kReadAccess = KEY_READ;         // 0x20019

  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  void Close();
  int CloseChecked();
  int Create(HKEY root, const char* path, bool writeMode);  // opens, creating when absent
  int Open(HKEY root, const char* path, bool writeMode);    // opens an existing key
  // Reads value name into buffer (length bytes); *storedLength (if given) gets its full size.
  int QueryValue(const char* name, void* buffer, DWORD length, DWORD* storedLength = nullptr);
  int QueryValueOrDefault(const char* name, const void* fallback, void* buffer, DWORD length,
                          DWORD* storedLength = nullptr);
  int SetValue(const char* name, DWORD type, const void* data, DWORD length);
  int SetBinaryValue(const char* name, const void* data, DWORD length) {
    return SetValue(name, REG_BINARY, data, length);
  }
  int DeleteValue(const char* name);

  HKEY handle() const { return key_.get(); }

 private:
  int Prepare(HKEY root, const char* path, bool writeMode);

  HKEY root_ = nullptr;
  UniqueRegKey key_;
  char path_[MAX_PATH] = "";
  REGSAM access_ = kWriteAccess;
  bool writeMode_ = true;
};

}  // namespace zel::dialup
