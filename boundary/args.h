// Shared rules for reading script arguments.
#pragma once
#include <cstring>

namespace zel {

// An optional text argument means "none" when it is empty or exactly "0".
inline bool IsNone(const char* text) { return text == nullptr || text[0] == '\0' || std::strcmp(text, "0") == 0; }

// The argument as the system should receive it: null for "none", else unchanged.
inline const char* OrNull(const char* text) { return IsNone(text) ? nullptr : text; }

}  // namespace zel
