#include "dialup/registry_key.h"

#include <cstring>

namespace zel::dialup {

void RegistryKey::Close() { key_.reset(); }

int RegistryKey::CloseChecked() {
  if (!key_) return kRegistryNotOpen;
  if (RegCloseKey(key_.get()) != ERROR_SUCCESS) return kRegistryFailed;
  key_.release();
  return kRegistryDone;
}

// Closes any open key and records how the next one is opened.
int RegistryKey::Prepare(HKEY root, const char* path, bool writeMode) {
  if (root == nullptr || path == nullptr || strnlen(path, MAX_PATH) == MAX_PATH) return kRegistryBadArgument;
  if (key_) {
    const int closed = CloseChecked();
    if (closed != kRegistryDone) return closed;
  }
  root_ = root;
  std::strcpy(path_, path);
  writeMode_ = writeMode;
  access_ = writeMode ? kWriteAccess : kReadAccess;
  return kRegistryDone;
}

int RegistryKey::Create(HKEY root, const char* path, bool writeMode) {
  if (path != nullptr && path[0] == '\0') return kRegistryBadArgument;
  const int prepared = Prepare(root, path, writeMode);
  if (prepared != kRegistryDone) return prepared;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(root_, path_, 0, nullptr, 0, access_, nullptr, &key, &disposition) != ERROR_SUCCESS)
    return kRegistryFailed;
  key_.reset(key);
  return disposition == REG_CREATED_NEW_KEY ? kRegistryCreated : kRegistryDone;
}

int RegistryKey::Open(HKEY root, const char* path, bool writeMode) {
  const int prepared = Prepare(root, path, writeMode);
  if (prepared != kRegistryDone) return prepared;
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(root_, path_, 0, access_, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return kRegistryAbsent;
  if (opened != ERROR_SUCCESS) return kRegistryFailed;
  key_.reset(key);
  return kRegistryDone;
}

int RegistryKey::QueryValue(const char* name, void* buffer, DWORD length, DWORD* storedLength) {
  if (buffer == nullptr) return kRegistryBadArgument;
  if (!key_) return kRegistryNotOpen;
  DWORD size = 0;
  if (RegQueryValueExA(key_.get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return kRegistryAbsent;
  UniqueGlobal block(GlobalAlloc(GPTR, size > 0 ? size : 1));
  if (!block) return kRegistryNoMemory;
  DWORD type = 0;
  if (RegQueryValueExA(key_.get(), name, nullptr, &type, static_cast<BYTE*>(block.get()), &size) != ERROR_SUCCESS)
    return kRegistryFailed;
  std::memcpy(buffer, block.get(), size < length ? size : length);
  if (storedLength != nullptr) *storedLength = size;
  return length < size ? kRegistryTruncated : kRegistryDone;
}

int RegistryKey::QueryValueOrDefault(const char* name, const void* fallback, void* buffer, DWORD length,
                                     DWORD* storedLength) {
  const int read = QueryValue(name, buffer, length, storedLength);
  if (read != kRegistryAbsent || fallback == nullptr) return read;
  std::memcpy(buffer, fallback, length);
  if (storedLength != nullptr) *storedLength = length;
  return kRegistryDefaultUsed;
}

int RegistryKey::SetValue(const char* name, DWORD type, const void* data, DWORD length) {
  if (!key_) return kRegistryNotOpen;
  if (RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), length) != ERROR_SUCCESS)
    return kRegistryFailed;
  return kRegistryDone;
}

int RegistryKey::DeleteValue(const char* name) {
  if (!key_) return kRegistryNotOpen;
  const LONG deleted = RegDeleteValueA(key_.get(), name);
  if (deleted == ERROR_SUCCESS) return kRegistryDone;
  return deleted == ERROR_FILE_NOT_FOUND ? kRegistryAbsent : kRegistryDeleteFailed;
}

}  // namespace zel::dialup
