// The one export, ZELExtender: the gate, igetlasterror, the Cancel rule, the host's
// own requests (98 enumerate, 99 alive, 100 description) and dispatch by code.
#include <windows.h>

#include <cstdint>

#include "boundary/command_table.h"
#include "boundary/extender.h"
#include "boundary/messages.h"
#include "boundary/number_text.h"

namespace zel {

HINSTANCE ModuleInstance = nullptr;
DWORD LastErrorCode = 0;
bool CancelFlag = false;

namespace {

constexpr int kGetLastErrorCode = 11;
constexpr int kEnumerateRequest = 98;
constexpr int kAliveRequest = 99;
constexpr int kDescriptionRequest = 100;
constexpr uint32_t kMinimumHostVersion = 1001;

bool VersionGateOpen = false;
bool HandshakeDone = false;
char MessageBuffer[kMessageBufferSize];

// The host passes a version value and two texts; the gate opens once, for the life
// of the load, if the first request 98 carries them as a current host does.
bool HandshakeHolds(const unsigned char* version, const char* second, const char* third) {
  if (version == nullptr || second == nullptr || third == nullptr) return false;
  const uint32_t value = static_cast<uint32_t>(version[0]) | static_cast<uint32_t>(version[1]) << 8 |
                         static_cast<uint32_t>(version[2]) << 16 | static_cast<uint32_t>(version[3]) << 24;
  return version[0] != 0 && second[0] != 0 && third[0] == 0 && value >= kMinimumHostVersion;
}

int32_t Enumerate(unsigned char* out, uintptr_t index, const char* handshake1, const char* handshake2,
                  const char* handshake3) {
  if (!HandshakeDone) {
    HandshakeDone = true;
    if (HandshakeHolds(reinterpret_cast<const unsigned char*>(handshake1), handshake2, handshake3))
      VersionGateOpen = true;
  }
  const CommandRecord* record = CommandAt(static_cast<uint16_t>(index & 0xFFFF));
  if (record == nullptr || record->code == kTerminatorCode || out == nullptr) return 0;
  WriteEnumerationRecord(*record, out);
  return 1;
}

int32_t Describe(char* out, const char* sizeText) {
  LookupMessage(ModuleInstance, kDescriptionMessage, MessageBuffer, kMessageBufferSize);
  const int32_t size = DecimalText(sizeText);
  if (out != nullptr && size > 0) lstrcpynA(out, MessageBuffer, size);
  return 1;
}

}  // namespace

// A host that passes no callback gets no delivery (and 0), never a jump through null.
int32_t Call::integer(int32_t value) const {
  return callback != nullptr ? callback(0, contextA, contextB, 0, value, nullptr) : 0;
}

int32_t Call::text(const char* value) const {
  return callback != nullptr ? callback(0, contextA, contextB, 1, 0, value) : 0;
}

int32_t Call::error(int number, int32_t kind) const {
  const int length = LookupMessage(ModuleInstance, number, MessageBuffer, kMessageBufferSize);
  return callback != nullptr ? callback(kind, contextA, contextB, 1, length, MessageBuffer) : 0;
}

}  // namespace zel

using namespace zel;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  ModuleInstance = instance;
  return TRUE;
}

// Twelve 32-bit arguments on i686 (stdcall, _ZELExtender@48). Arguments 2 and 7 are unused.
extern "C" int32_t WINAPI ZELExtender(HWND window, DWORD, intptr_t contextA, DWORD commandCode,
                                      ResultCallback callback, intptr_t contextB, DWORD, const char* arg1,
                                      const char* arg2, const char* arg3, const char* arg4,
                                      const char* arg5) {
#if defined(__i386__)
  static_assert(sizeof(void*) == 4 && sizeof(intptr_t) == 4 && sizeof(HWND) == 4 && sizeof(DWORD) == 4,
                "every argument of the export is 32 bits wide in the shipping build");
#endif
  const Call call{window, contextA, contextB, callback, {arg1, arg2, arg3, arg4, arg5}};
  const int code = static_cast<int16_t>(commandCode & 0xFFFF);

  if (code <= 97 && !VersionGateOpen) return call.error(903, -1);
  if (code == kGetLastErrorCode) return call.integer(static_cast<int32_t>(LastErrorCode));
  LastErrorCode = 0;
  if (CancelFlag) {
    CancelFlag = false;
    return kCancelled;
  }
  switch (code) {
    case kEnumerateRequest:
      return Enumerate(reinterpret_cast<unsigned char*>(const_cast<char*>(arg1)), reinterpret_cast<uintptr_t>(arg2),
                       arg3, arg4, arg5);
    case kAliveRequest:
      return 1;
    case kDescriptionRequest:
      return Describe(const_cast<char*>(arg1), arg2);
    default:
      break;
  }
  const CommandRecord* command = FindCommand(code);
  if (command == nullptr || command->run == nullptr) return call.error(901, -1);
  return command->run(call);
}
