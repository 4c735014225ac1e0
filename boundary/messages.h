// The message catalogue: message number to text, from the string resources or a
// per-language override file (TOLVLANG.<language>, section "ZELX Extender", keys X<n>).
#pragma once
#include <windows.h>

namespace zel {

constexpr int kMessageBufferSize = 256;
constexpr int kDescriptionMessage = 1000;

// Looks message number up into out (capacity in characters, always NUL-terminated)
// and returns the characters placed, without the NUL. "~" becomes a line feed and
// "|" a tab. The language set-up runs once, at the first lookup.
int LookupMessage(HINSTANCE module, int number, char* out, int capacity);

}  // namespace zel
