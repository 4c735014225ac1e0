#include "host/extender_host.h"

#include <cstring>

namespace zelhost {
namespace {

constexpr uint32_t kEnumerateRequest = 98;
thread_local Extender* g_active = nullptr;
thread_local std::vector<Delivery>* g_sink = nullptr;

uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

const std::string& CallResult::text() const {
  static const std::string kEmpty;
  return deliveries.empty() ? kEmpty : deliveries.front().text;
}

int CallResult::errorNumber() const {
  if (deliveries.empty() || !deliveries.front().isError()) return 0;
  return std::atoi(deliveries.front().text.c_str());
}

Extender::~Extender() { Unload(); }

bool Extender::Load(const std::string& path, std::string* error) {
  Unload();
  module_ = LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    if (error) *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  FARPROC proc = GetProcAddress(module_, "ZELExtender");
  if (proc == nullptr) proc = GetProcAddress(module_, "_ZELExtender@48");
  if (proc == nullptr) {
    if (error) *error = path + " exports no ZELExtender";
    Unload();
    return false;
  }
  dispatcher_ = reinterpret_cast<Dispatcher>(reinterpret_cast<void*>(proc));
  return true;
}

void Extender::Unload() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  dispatcher_ = nullptr;
  table_.clear();
}

int32_t CALLBACK Extender::Callback(int32_t kind, intptr_t contextA, intptr_t contextB, int32_t valueType,
                                    int32_t value, const char* text) {
  Delivery d;
  d.kind = kind;
  d.contextA = contextA;
  d.contextB = contextB;
  d.valueType = valueType;
  d.value = value;
  d.hasText = text != nullptr;
  if (text != nullptr) d.text = text;
  int32_t answer = g_active != nullptr ? g_active->callbackReturn : 0;
  if (g_active != nullptr && g_active->onDelivery) answer = g_active->onDelivery(d);
  if (g_sink != nullptr) g_sink->push_back(std::move(d));
  return answer;
}

int32_t Extender::Request98(uint32_t index, unsigned char* out, const Handshake& handshake) {
  unsigned char version[4] = {static_cast<unsigned char>(handshake.version),
                              static_cast<unsigned char>(handshake.version >> 8),
                              static_cast<unsigned char>(handshake.version >> 16),
                              static_cast<unsigned char>(handshake.version >> 24)};
  CallResult unused;
  g_sink = &unused.deliveries;
  g_active = this;
  const int32_t r = dispatcher_(nullptr, 0, 0, kEnumerateRequest, reinterpret_cast<void*>(&Callback), 0, 0,
                                reinterpret_cast<const char*>(out),
                                reinterpret_cast<const char*>(static_cast<uintptr_t>(index)),
                                reinterpret_cast<const char*>(version), handshake.second.c_str(),
                                handshake.third.c_str());
  g_sink = nullptr;
  g_active = nullptr;
  return r;
}

bool Extender::Enumerate(const Handshake& handshake) {
  table_.clear();
  if (dispatcher_ == nullptr) return false;
  for (uint32_t index = 0; index < 0x10000; ++index) {
    unsigned char record[64] = {};
    if (Request98(index, record, handshake) == 0) break;
    CommandInfo info;
    info.code = U16(record);
    info.kind = U16(record + 2);
    info.count = U16(record + 4);
    info.flags = U16(record + 6);
    const uint16_t length = U16(record + 8);
    info.name.assign(reinterpret_cast<const char*>(record + 10), length < 50 ? length : 50);
    table_.push_back(info);
  }
  return !table_.empty();
}

const CommandInfo* Extender::Find(const std::string& name) const {
  for (const CommandInfo& info : table_) {
    if (lstrcmpiA(info.name.c_str(), name.c_str()) == 0) return &info;
  }
  return nullptr;
}

CallResult Extender::Raw(uint32_t code, const std::vector<const char*>& args, HWND window, intptr_t contextA,
                         intptr_t contextB) {
  const char* a[5] = {};
  for (size_t i = 0; i < args.size() && i < 5; ++i) a[i] = args[i];
  CallResult result;
  if (dispatcher_ == nullptr) return result;
  g_sink = &result.deliveries;
  g_active = this;
  result.returned =
      dispatcher_(window, 0, contextA, code, reinterpret_cast<void*>(&Callback), contextB, 0, a[0], a[1], a[2], a[3], a[4]);
  g_sink = nullptr;
  g_active = nullptr;
  return result;
}

CallResult Extender::Call(const std::string& name, const std::vector<std::string>& args) {
  const CommandInfo* info = Find(name);
  CallResult result;
  if (info == nullptr) return result;
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  // The host always passes the command's full count of arguments.
  static const char kEmpty[] = "";
  while (pointers.size() < info->count) pointers.push_back(kEmpty);
  return Raw(info->code, pointers);
}

void* AllocLowMemory(size_t size) {
  if (sizeof(void*) == 4) return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  // Search downward from 1.75 GiB in 64 KiB steps for a free range.
  for (uintptr_t address = 0x70000000; address >= 0x10000000; address -= 0x10000) {
    void* p = VirtualAlloc(reinterpret_cast<void*>(address), size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (p != nullptr) return p;
  }
  return nullptr;
}

void FreeLowMemory(void* memory) {
  if (memory != nullptr) VirtualFree(memory, 0, MEM_RELEASE);
}

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace zelhost
