// Memory that a script names by its address as 32-bit decimal text. The shipping build
// is 32-bit, so a range reaching past 4 GiB cannot exist and is refused in every build.
#pragma once
#include <windows.h>

#include <cstdint>

namespace zel::http {

inline char* ScriptAddress(uint32_t address) { return reinterpret_cast<char*>(static_cast<uintptr_t>(address)); }

inline bool WithinAddressSpace(uint32_t address, uint64_t size) {
  return address != 0 && address + size <= (uint64_t{1} << 32);
}

inline bool ScriptMemoryReadable(uint32_t address, uint64_t size) {
  return WithinAddressSpace(address, size) && !IsBadReadPtr(ScriptAddress(address), static_cast<UINT_PTR>(size));
}

inline bool ScriptMemoryWritable(uint32_t address, uint64_t size) {
  return WithinAddressSpace(address, size) && !IsBadWritePtr(ScriptAddress(address), static_cast<UINT_PTR>(size));
}

}  // namespace zel::http
