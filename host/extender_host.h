// Loads the extender DLL and talks to it exactly as the Morvane host does: request 98
// with the handshake, the command table by name, calls by code with text arguments,
// and a record of every delivery made through the ResultCallback.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zelhost {

using Dispatcher = int32_t(WINAPI*)(HWND, DWORD, intptr_t, DWORD, void*, intptr_t, DWORD, const char*, const char*,
                                    const char*, const char*, const char*);

struct Delivery {
  int32_t kind = 0;  // 0 result, -1/-2 error
  intptr_t contextA = 0;
  intptr_t contextB = 0;
  int32_t valueType = 0;  // 0 integer, 1 text
  int32_t value = 0;
  bool hasText = false;
  std::string text;  // copied: the extender's text lives only during the callback

  bool isError() const { return kind != 0; }
};

struct CallResult {
  int32_t returned = 0;  // the dispatcher's return value
  std::vector<Delivery> deliveries;

  bool ok() const { return deliveries.size() == 1 && !deliveries[0].isError(); }
  int32_t integer() const { return deliveries.empty() ? 0 : deliveries.back().value; }
  const std::string& text() const;  // first delivery's text ("" when none)
  // "error N": the message number of an error delivery, or 0.
  int errorNumber() const;
};

struct CommandInfo {
  uint16_t code = 0;
  uint16_t kind = 0;   // 2 command, 3 constant
  uint16_t count = 0;  // arguments, or a constant's value
  uint16_t flags = 0;
  std::string name;    // as enumerated (lower case)
};

// Values of a request 98 handshake as a current host sends them.
struct Handshake {
  uint32_t version = 1001;
  std::string second = "ZEL";
  std::string third = "";
};

class Extender {
 public:
  Extender() = default;
  ~Extender();
  Extender(const Extender&) = delete;
  Extender& operator=(const Extender&) = delete;

  // Loads the DLL (a fresh load gets fresh module state). Returns false with a reason.
  bool Load(const std::string& path, std::string* error = nullptr);
  void Unload();
  bool loaded() const { return dispatcher_ != nullptr; }

  // Raw request 98 (writes into out, at least 24 bytes).
  int32_t Request98(uint32_t index, unsigned char* out, const Handshake& handshake);
  // Enumerates the whole table with this handshake; the first call of a load tests it.
  bool Enumerate(const Handshake& handshake = Handshake());
  const std::vector<CommandInfo>& table() const { return table_; }
  const CommandInfo* Find(const std::string& name) const;  // case-insensitive

  // Calls the dispatcher with a raw code and up to five argument pointers.
  CallResult Raw(uint32_t code, const std::vector<const char*>& args, HWND window = nullptr, intptr_t contextA = 11,
                 intptr_t contextB = 22);
  // Calls a command of the enumerated table by name with text arguments.
  CallResult Call(const std::string& name, const std::vector<std::string>& args = {});

  // What the callback returns: a fixed value, or a function of the delivery.
  int32_t callbackReturn = 1;
  std::function<int32_t(const Delivery&)> onDelivery;

  HMODULE module() const { return module_; }
  Dispatcher dispatcher() const { return dispatcher_; }
  // The callback the host passes (records into the current call's deliveries, if any).
  static void* callback() { return reinterpret_cast<void*>(&Callback); }

 private:
  static int32_t CALLBACK Callback(int32_t kind, intptr_t contextA, intptr_t contextB, int32_t valueType,
                                   int32_t value, const char* text);
  HMODULE module_ = nullptr;
  Dispatcher dispatcher_ = nullptr;
  std::vector<CommandInfo> table_;
};

// Zeroed memory whose address fits 31 bits (below 2 GiB), so that it can travel as
// a 32-bit decimal text even in the 64-bit build. Freed with FreeLowMemory.
void* AllocLowMemory(size_t size);
void FreeLowMemory(void* memory);

// "Z:\..." form of a Linux path, for Windows programs running under Wine.
std::string WindowsPath(const std::string& unixPath);

}  // namespace zelhost
