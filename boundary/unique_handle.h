// RAII ownership of a Win32 handle: closes itself on every path out of scope.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <utility>

namespace zel {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  // Closes now; returns what the close call returned (TRUE when nothing was open).
  BOOL reset(Handle handle = Traits::Invalid()) {
    BOOL closed = TRUE;
    if (handle_ != Traits::Invalid()) closed = Traits::Close(handle_);
    handle_ = handle;
    return closed;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static BOOL Close(Handle h) { return CloseHandle(h); }
};
struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static BOOL Close(Handle h) { return FindClose(h); }
};
struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static BOOL Close(Handle h) { return InternetCloseHandle(h); }
};
struct GlobalTraits {
  using Handle = HGLOBAL;
  static Handle Invalid() { return nullptr; }
  static BOOL Close(Handle h) { return GlobalFree(h) == nullptr; }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static BOOL Close(Handle h) { return FreeLibrary(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static BOOL Close(Handle h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};

using UniqueFile = UniqueHandle<FileTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueInternet = UniqueHandle<InternetTraits>;
using UniqueGlobal = UniqueHandle<GlobalTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

}  // namespace zel
