// RAS test double: the six RAS client functions that zelinet binds, answering from a
// scenario file as RAS would. ZEL_RAS_SCENARIO names the file (read again whenever the
// name changes); ZEL_RAS_LOG, if set, names a file that gets one line per call.
//
// Scenario lines, fields separated by tabs; '#' starts a comment line:
//   entry  NAME  PHONE  USER  PASSWORD   a phonebook entry and its stored dial parameters
//   params CODE                          RasGetEntryDialParamsA's answer for a known entry
//   dial   CODE  HANDLE                  one dial's answer and the handle it leaves (0: none),
//                                        one line per dial in order; then 0 and fresh handles
//   connection  HANDLE  NAME             an active connection at the start
//   hangup CODE                          RasHangUpA's answer for a live connection (default 0)
//   linger N                             status queries a hung-up connection still answers
//                                        (default 0; -1: for ever)
//
// Log lines: "enumentries BYTES -> CODE COUNT", "getparams NAME -> CODE",
// "dial ENTRY|PHONE|CALLBACK|USER|PASSWORD|DOMAIN -> CODE HANDLE",
// "enumconnections BYTES -> CODE COUNT", "hangup HANDLE -> CODE", "status HANDLE -> CODE".
// A record whose size member is not the version zelinet uses gets 632 and "badsize".
#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The record versions zelinet uses end where the platform's next version adds a field.
constexpr DWORD VersionSize(std::size_t end) { return static_cast<DWORD>((end + 3) / 4 * 4); }
constexpr DWORD kDialParamsSize = VersionSize(offsetof(RASDIALPARAMSA, dwSubEntry));
constexpr DWORD kEntryNameSize = VersionSize(offsetof(RASENTRYNAMEA, dwFlags));
constexpr DWORD kConnectionSize = VersionSize(offsetof(RASCONNA, szPhonebook));
constexpr DWORD kStatusSize = VersionSize(offsetof(RASCONNSTATUSA, szPhoneNumber));

struct Entry {
  std::string name, phone, user, password;
};
struct Dial {
  DWORD code;
  uintptr_t handle;
};
struct Connection {
  uintptr_t handle;
  std::string name;
  bool hungUp;
  long lingering;  // status queries left after the hang-up
  bool listed;     // false for what a failed dial left: not an active connection
};

struct Scenario {
  std::string path;
  std::vector<Entry> entries;
  DWORD paramsCode = 0;
  std::deque<Dial> dials;
  std::vector<Connection> connections;
  DWORD hangUpCode = 0;
  long linger = 0;
  uintptr_t nextHandle = 5001;
};
Scenario state;

std::string Env(const char* name) {
  char value[MAX_PATH * 2] = "";
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

Scenario& Current() {
  const std::string path = Env("ZEL_RAS_SCENARIO");
  if (path == state.path) return state;
  state = Scenario();
  state.path = path;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> f = Fields(line);
    if (f.empty() || f[0].empty() || f[0][0] == '#') continue;
    auto number = [&](std::size_t i) { return i < f.size() ? std::strtoll(f[i].c_str(), nullptr, 10) : 0; };
    auto text = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (f[0] == "entry") state.entries.push_back({text(1), text(2), text(3), text(4)});
    if (f[0] == "params") state.paramsCode = static_cast<DWORD>(number(1));
    if (f[0] == "dial") state.dials.push_back({static_cast<DWORD>(number(1)), static_cast<uintptr_t>(number(2))});
    if (f[0] == "connection")
      state.connections.push_back({static_cast<uintptr_t>(number(1)), text(2), false, 0, true});
    if (f[0] == "hangup") state.hangUpCode = static_cast<DWORD>(number(1));
    if (f[0] == "linger") state.linger = static_cast<long>(number(1));
  }
  return state;
}

void Log(const std::string& line) {
  const std::string path = Env("ZEL_RAS_LOG");
  if (path.empty()) return;
  std::ofstream out(path, std::ios::app | std::ios::binary);
  out << line << '\n';
}

std::string Text(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

Connection* Live(uintptr_t handle) {
  for (Connection& c : Current().connections)
    if (c.handle == handle && !c.hungUp) return &c;
  return nullptr;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR phonebook, RASENTRYNAMEA* entries,
                                                   DWORD* bytes, DWORD* count) {
  Scenario& s = Current();
  if (entries == nullptr || bytes == nullptr || count == nullptr || entries->dwSize != kEntryNameSize) {
    Log("enumentries badsize");
    return ERROR_INVALID_SIZE;
  }
  if (reserved != nullptr || phonebook != nullptr) Log("enumentries with a phonebook");
  const DWORD given = *bytes;
  const DWORD needed = static_cast<DWORD>(s.entries.size()) * kEntryNameSize;
  *bytes = needed;
  *count = static_cast<DWORD>(s.entries.size());
  DWORD code = 0;
  if (given < needed) {
    code = ERROR_BUFFER_TOO_SMALL;
  } else {
    auto* out = reinterpret_cast<unsigned char*>(entries);
    for (std::size_t i = 0; i < s.entries.size(); ++i) {
      auto* record = reinterpret_cast<RASENTRYNAMEA*>(out + i * kEntryNameSize);
      record->dwSize = kEntryNameSize;
      lstrcpynA(record->szEntryName, s.entries[i].name.c_str(), sizeof record->szEntryName);
    }
  }
  Log("enumentries " + std::to_string(given) + " -> " + std::to_string(code) + " " + std::to_string(*count));
  return code;
}

__declspec(dllexport) DWORD WINAPI RasGetEntryDialParamsA(LPCSTR, RASDIALPARAMSA* params, BOOL* passwordFound) {
  Scenario& s = Current();
  if (params == nullptr || params->dwSize != kDialParamsSize) {
    Log("getparams badsize");
    return ERROR_INVALID_SIZE;
  }
  const std::string name = Text(params->szEntryName, sizeof params->szEntryName);
  DWORD code = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  for (const Entry& e : s.entries) {
    if (lstrcmpiA(e.name.c_str(), name.c_str()) != 0) continue;
    code = s.paramsCode;
    if (code != 0) break;
    lstrcpynA(params->szPhoneNumber, e.phone.c_str(), sizeof params->szPhoneNumber);
    lstrcpynA(params->szCallbackNumber, "", sizeof params->szCallbackNumber);
    lstrcpynA(params->szUserName, e.user.c_str(), sizeof params->szUserName);
    lstrcpynA(params->szPassword, e.password.c_str(), sizeof params->szPassword);
    lstrcpynA(params->szDomain, "", sizeof params->szDomain);
    if (passwordFound != nullptr) *passwordFound = !e.password.empty();
    break;
  }
  Log("getparams " + name + " -> " + std::to_string(code));
  return code;
}

#ifndef ZEL_RAS_DOUBLE_WITHOUT_DIAL
__declspec(dllexport) DWORD WINAPI RasDialA(RASDIALEXTENSIONS*, LPCSTR, RASDIALPARAMSA* params, DWORD, void*,
                                            HRASCONN* connection) {
  Scenario& s = Current();
  if (params == nullptr || connection == nullptr || params->dwSize != kDialParamsSize) {
    Log("dial badsize");
    return ERROR_INVALID_SIZE;
  }
  Dial dial{0, 0};
  if (!s.dials.empty()) {
    dial = s.dials.front();
    s.dials.pop_front();
  }
  if (dial.code == 0 && dial.handle == 0) dial.handle = s.nextHandle++;
  const std::string entry = Text(params->szEntryName, sizeof params->szEntryName);
  // A failed dial can leave a half-made connection: it answers hang-up and status, but is
  // not listed among the active connections.
  if (dial.handle != 0) s.connections.push_back({dial.handle, entry, false, 0, dial.code == 0});
  *connection = reinterpret_cast<HRASCONN>(dial.handle);
  Log("dial " + entry + "|" + Text(params->szPhoneNumber, sizeof params->szPhoneNumber) + "|" +
      Text(params->szCallbackNumber, sizeof params->szCallbackNumber) + "|" +
      Text(params->szUserName, sizeof params->szUserName) + "|" +
      Text(params->szPassword, sizeof params->szPassword) + "|" + Text(params->szDomain, sizeof params->szDomain) +
      " -> " + std::to_string(dial.code) + " " + std::to_string(dial.handle));
  return dial.code;
}
#endif

__declspec(dllexport) DWORD WINAPI RasEnumConnectionsA(RASCONNA* connections, DWORD* bytes, DWORD* count) {
  Scenario& s = Current();
  if (connections == nullptr || bytes == nullptr || count == nullptr || connections->dwSize != kConnectionSize) {
    Log("enumconnections badsize");
    return ERROR_INVALID_SIZE;
  }
  std::vector<const Connection*> live;
  for (const Connection& c : s.connections)
    if (!c.hungUp && c.listed) live.push_back(&c);
  const DWORD given = *bytes;
  const DWORD needed = static_cast<DWORD>(live.size()) * kConnectionSize;
  *bytes = needed;
  *count = static_cast<DWORD>(live.size());
  DWORD code = 0;
  if (given < needed) {
    code = ERROR_BUFFER_TOO_SMALL;
  } else {
    auto* out = reinterpret_cast<unsigned char*>(connections);
    for (std::size_t i = 0; i < live.size(); ++i) {
      auto* record = reinterpret_cast<RASCONNA*>(out + i * kConnectionSize);
      record->dwSize = kConnectionSize;
      record->hrasconn = reinterpret_cast<HRASCONN>(live[i]->handle);
      lstrcpynA(record->szEntryName, live[i]->name.c_str(), sizeof record->szEntryName);
      lstrcpynA(record->szDeviceType, "modem", sizeof record->szDeviceType);
      lstrcpynA(record->szDeviceName, "Test Modem", sizeof record->szDeviceName);
    }
  }
  Log("enumconnections " + std::to_string(given) + " -> " + std::to_string(code) + " " + std::to_string(*count));
  return code;
}

__declspec(dllexport) DWORD WINAPI RasHangUpA(HRASCONN connection) {
  Scenario& s = Current();
  const uintptr_t handle = reinterpret_cast<uintptr_t>(connection);
  Connection* c = Live(handle);
  DWORD code = ERROR_INVALID_HANDLE;
  if (c != nullptr) {
    c->hungUp = true;
    c->lingering = s.linger;
    code = s.hangUpCode;
  }
  Log("hangup " + std::to_string(handle) + " -> " + std::to_string(code));
  return code;
}

#ifndef ZEL_RAS_DOUBLE_WITHOUT_STATUS
__declspec(dllexport) DWORD WINAPI RasGetConnectStatusA(HRASCONN connection, RASCONNSTATUSA* status) {
  Scenario& s = Current();
  if (status == nullptr || status->dwSize != kStatusSize) {
    Log("status badsize");
    return ERROR_INVALID_SIZE;
  }
  const uintptr_t handle = reinterpret_cast<uintptr_t>(connection);
  DWORD code = ERROR_INVALID_HANDLE;
  for (Connection& c : s.connections) {
    if (c.handle != handle) continue;
    if (!c.hungUp) {
      status->rasconnstate = RASCS_Connected;
      code = 0;
    } else if (c.lingering != 0) {
      if (c.lingering > 0) --c.lingering;
      status->rasconnstate = RASCS_Disconnected;
      code = 0;
    }
    break;
  }
  Log("status " + std::to_string(handle) + " -> " + std::to_string(code));
  return code;
}
#endif

}  // extern "C"
