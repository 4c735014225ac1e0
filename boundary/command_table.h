// The CommandTable the host enumerates (request 98): 34 commands and 9 constants.
#pragma once
#include <cstddef>
#include <cstdint>

#include "boundary/extender.h"

namespace zel {

enum RecordKind : uint16_t { kTerminatorKind = 0, kCommandKind = 2, kConstantKind = 3 };
constexpr uint16_t kTerminatorCode = 0xFFFF;
constexpr uint16_t kCommandFlags = 0x001F;
constexpr std::size_t kNameSize = 14;  // 13 characters and the NUL

struct CommandRecord {
  uint16_t code;
  uint16_t kind;
  uint16_t count;  // argument count, or a constant's value
  uint16_t flags;
  uint16_t reserved;
  char name[kNameSize];
  Command run;  // null for constants, the terminator and commands not built yet
};

// The EnumerationRecord written into the host's buffer: 10 bytes of header, then
// the lower-cased name and its NUL. The host's buffer holds at least 24 bytes.
constexpr std::size_t kEnumerationHeaderSize = 10;
constexpr std::size_t kEnumerationRecordSize = kEnumerationHeaderSize + kNameSize;
static_assert(kEnumerationRecordSize == 24, "the host's buffer holds 24 bytes");

// The entry at index, or null past the terminator (the terminator itself is returned).
const CommandRecord* CommandAt(std::size_t index);

// The command with this code, or null when the code names no command.
const CommandRecord* FindCommand(int code);

// Writes the EnumerationRecord of record into out (at least kEnumerationRecordSize bytes).
void WriteEnumerationRecord(const CommandRecord& record, unsigned char* out);

}  // namespace zel
