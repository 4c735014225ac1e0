// The 4192-byte text buffer of header blocks, status text and raw headers, grown on
// the global heap when a text needs more, so that nothing is cut or overrun.
#pragma once
#include <windows.h>

#include <utility>

#include "boundary/unique_handle.h"

namespace zel::http {

class HeaderBuffer {
 public:
  static constexpr DWORD kFixedSize = 4192;

  HeaderBuffer() = default;
  HeaderBuffer(const HeaderBuffer&) = delete;
  HeaderBuffer& operator=(const HeaderBuffer&) = delete;

  // Room for size bytes (contents are not kept); false, with the heap's last error,
  // when it refuses.
  bool Reserve(DWORD size) {
    if (size <= capacity_) return true;
    UniqueGlobal block(GlobalAlloc(GMEM_FIXED, size));
    if (!block) return false;
    grown_ = std::move(block);
    data_ = static_cast<char*>(grown_.get());
    capacity_ = size;
    return true;
  }
  char* data() { return data_; }
  DWORD capacity() const { return capacity_; }

 private:
  char fixed_[kFixedSize];
  char* data_ = fixed_;
  DWORD capacity_ = kFixedSize;
  UniqueGlobal grown_;
};

}  // namespace zel::http
