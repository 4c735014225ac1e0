// WinInet options by keyword (keywords ignore letter case).
//
//   ioptionget handle, keyword -> a number option as an integer, a text option as text,
//       "version" as "major.minor"; "ERROR" when WinInet refuses.
//   ioptionset handle, keyword, value -> 1 when WinInet took the value, 0 when not.
//       A number value is read as decimal text ("abc" sets 0).
//   handle: "" or "0" for WinInet's process-wide defaults, else any handle. The value of
//       ilocfindinit names no WinInet handle: "ERROR" or 0, igetlasterror 6.
//   Query keywords: connect_timeout connect_retries connect_backoff control_send_timeout
//       control_receive_timeout data_send_timeout data_receive_timeout handle_type
//       context_value read_buffer_size write_buffer_size parent_handle keep_connection
//       username password request_flags extended_error security_certificate
//       security_key_bitness offline_mode cache_stream_handle security_flags datafile_name
//       url refresh version user_agent.
//   Set keywords: connect_timeout connect_retries connect_backoff control_send_timeout
//       control_receive_timeout data_send_timeout data_receive_timeout option_refresh
//       user_agent username password read_buffer_size write_buffer_size.
//   "parent_handle" without a handle gives "ERROR", of a session "TOPLEVELHANDLE";
//   "username" and "password" of anything but a connection or data handle give "ERROR".
//   Errors: "306: Bad Handle" (kind -2); "302: Option keyword not recognised",
//       "303: Unknown type for iOption response" (kind -1).
#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "boundary/args.h"
#include "boundary/number_text.h"
#include "inet/commands.h"
#include "inet/handles.h"

namespace zel::inet {
namespace {

enum class ValueType { kNumber, kText, kVersion };
// When a rule applies, its text is the answer and WinInet is not asked.
enum class Rule { kNone, kParentHandle, kChildOnly };

struct Option {
  const char* keyword;
  DWORD number;
  ValueType type;
  Rule rule;
};

constexpr ValueType N = ValueType::kNumber;
constexpr ValueType T = ValueType::kText;

// Both tables are searched in this order.
const Option kQueryOptions[] = {
    {"connect_timeout", INTERNET_OPTION_CONNECT_TIMEOUT, N, Rule::kNone},
    {"connect_retries", INTERNET_OPTION_CONNECT_RETRIES, N, Rule::kNone},
    {"connect_backoff", INTERNET_OPTION_CONNECT_BACKOFF, N, Rule::kNone},
    {"control_send_timeout", INTERNET_OPTION_CONTROL_SEND_TIMEOUT, N, Rule::kNone},
    {"control_receive_timeout", INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, N, Rule::kNone},
    {"data_send_timeout", INTERNET_OPTION_DATA_SEND_TIMEOUT, N, Rule::kNone},
    {"data_receive_timeout", INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, N, Rule::kNone},
    {"handle_type", INTERNET_OPTION_HANDLE_TYPE, N, Rule::kNone},
    {"context_value", INTERNET_OPTION_CONTEXT_VALUE, N, Rule::kNone},
    {"read_buffer_size", INTERNET_OPTION_READ_BUFFER_SIZE, N, Rule::kNone},
    {"write_buffer_size", INTERNET_OPTION_WRITE_BUFFER_SIZE, N, Rule::kNone},
    {"parent_handle", INTERNET_OPTION_PARENT_HANDLE, N, Rule::kParentHandle},
    {"keep_connection", INTERNET_OPTION_KEEP_CONNECTION, N, Rule::kNone},
    {"username", INTERNET_OPTION_USERNAME, T, Rule::kChildOnly},
    {"password", INTERNET_OPTION_PASSWORD, T, Rule::kChildOnly},
    {"request_flags", INTERNET_OPTION_REQUEST_FLAGS, N, Rule::kNone},
    {"extended_error", INTERNET_OPTION_EXTENDED_ERROR, N, Rule::kNone},
    {"security_certificate", INTERNET_OPTION_SECURITY_CERTIFICATE, T, Rule::kNone},
    {"security_key_bitness", INTERNET_OPTION_SECURITY_KEY_BITNESS, N, Rule::kNone},
    {"offline_mode", INTERNET_OPTION_OFFLINE_MODE, N, Rule::kNone},
    {"cache_stream_handle", INTERNET_OPTION_CACHE_STREAM_HANDLE, N, Rule::kNone},
    {"security_flags", INTERNET_OPTION_SECURITY_FLAGS, N, Rule::kNone},
    {"datafile_name", INTERNET_OPTION_DATAFILE_NAME, T, Rule::kNone},
    {"url", INTERNET_OPTION_URL, T, Rule::kNone},
    {"refresh", INTERNET_OPTION_REFRESH, N, Rule::kNone},
    {"version", INTERNET_OPTION_VERSION, ValueType::kVersion, Rule::kNone},
    {"user_agent", INTERNET_OPTION_USER_AGENT, T, Rule::kNone},
};

const Option kSetOptions[] = {
    {"connect_timeout", INTERNET_OPTION_CONNECT_TIMEOUT, N, Rule::kNone},
    {"connect_retries", INTERNET_OPTION_CONNECT_RETRIES, N, Rule::kNone},
    {"connect_backoff", INTERNET_OPTION_CONNECT_BACKOFF, N, Rule::kNone},
    {"control_send_timeout", INTERNET_OPTION_CONTROL_SEND_TIMEOUT, N, Rule::kNone},
    {"control_receive_timeout", INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, N, Rule::kNone},
    {"data_send_timeout", INTERNET_OPTION_DATA_SEND_TIMEOUT, N, Rule::kNone},
    {"data_receive_timeout", INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, N, Rule::kNone},
    {"option_refresh", INTERNET_OPTION_REFRESH, N, Rule::kNone},
    {"user_agent", INTERNET_OPTION_USER_AGENT, T, Rule::kNone},
    {"username", INTERNET_OPTION_USERNAME, T, Rule::kChildOnly},
    {"password", INTERNET_OPTION_PASSWORD, T, Rule::kChildOnly},
    {"read_buffer_size", INTERNET_OPTION_READ_BUFFER_SIZE, N, Rule::kNone},
    {"write_buffer_size", INTERNET_OPTION_WRITE_BUFFER_SIZE, N, Rule::kNone},
};

template <std::size_t Size>
const Option* Find(const Option (&table)[Size], const char* keyword) {
  for (const Option& option : table) {
    if (lstrcmpiA(option.keyword, keyword) == 0) return &option;
  }
  return nullptr;
}

// The handle argument: none for "" or "0", else what the resolver finds.
struct Target {
  bool given = false;
  bool resolved = false;
  bool localWalk = false;  // the open local walk: a resolvable value, but no WinInet handle
  HINTERNET handle = nullptr;
  bool child = false;  // a handle below a session: connection, URL, file or request
};

Target TargetOf(const char* text) {
  Target target;
  if (IsNone(text)) return target;
  target.given = true;
  const Resolved resolved = Resolve(text);
  target.resolved = static_cast<bool>(resolved);
  target.localWalk = resolved.kind == kFindSentinel;
  target.handle = resolved.handle;
  // The resolver has asked WinInet for the type already.
  target.child = target.resolved && !target.localWalk && resolved.kind != kSessionKind;
  return target;
}

// The local walk's OS handle must never reach WinInet: Wine takes a value it does not know
// for "no handle" and would change the process-wide options. It is answered as a handle
// WinInet refuses.
bool NotForWinInet(const Target& target) {
  if (!target.localWalk) return false;
  SetLastError(ERROR_INVALID_HANDLE);
  return true;
}

// The text a rule answers with, or null when the option is to be asked of WinInet.
const char* RuleAnswer(Rule rule, const Target& target) {
  switch (rule) {
    case Rule::kParentHandle:
      if (!target.given) return "ERROR";
      return target.child ? nullptr : "TOPLEVELHANDLE";
    case Rule::kChildOnly:
      return target.child ? nullptr : "ERROR";
    case Rule::kNone:
      break;
  }
  return nullptr;
}

// A number option as WinInet laid it out: 1, 2 or 4 bytes, or a pointer-sized value in
// the 64-bit build (handles and contexts travel as 32-bit numbers either way).
bool NumberValue(const unsigned char* bytes, DWORD length, int32_t& value) {
  if (length != 1 && length != 2 && length != 4 && length != sizeof(DWORD_PTR)) return false;
  uint32_t number = 0;
  for (DWORD i = 0; i < length && i < 4; ++i) number |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  value = static_cast<int32_t>(number);
  return true;
}

// Certificates exist only on secure requests; asking a plain request for one crashes
// some WinInet implementations (Wine's), so that case is refused before WinInet sees it.
bool CertificateWithoutTls(const Option& option, HINTERNET handle) {
  if (option.number != INTERNET_OPTION_SECURITY_CERTIFICATE) return false;
  DWORD flags = 0;
  DWORD length = sizeof flags;
  if (InternetQueryOptionA(handle, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length) && length == sizeof flags &&
      (flags & SECURITY_FLAG_SECURE) != 0)
    return false;
  SetLastError(ERROR_INTERNET_INVALID_OPERATION);
  return true;
}

// A number value is read as decimal text; a text value goes as given.
BOOL SetOption(const Option& option, HINTERNET handle, const char* text) {
  if (option.type == ValueType::kNumber) {
    DWORD number = static_cast<DWORD>(DecimalText(text));
    return InternetSetOptionA(handle, option.number, &number, sizeof number);
  }
  return InternetSetOptionA(handle, option.number, const_cast<char*>(text), static_cast<DWORD>(std::strlen(text)));
}

}  // namespace

int32_t OptionGet(const Call& call) {
  const Target target = TargetOf(call.arg(1));
  if (target.given && !target.resolved) return call.error(306, -2);
  const Option* option = Find(kQueryOptions, call.arg(2));
  if (option == nullptr) return call.error(302, -1);
  if (const char* answer = RuleAnswer(option->rule, target)) return call.text(answer);

  constexpr DWORD kValueSize = 1024;
  unsigned char value[kValueSize + 1] = {};  // one beyond WinInet's reach keeps texts terminated
  DWORD length = kValueSize;
  const BOOL ok = !NotForWinInet(target) && !CertificateWithoutTls(*option, target.handle) &&
                  InternetQueryOptionA(target.handle, option->number, value, &length);
  StoreLastError();
  if (!ok) return call.text("ERROR");
  switch (option->type) {
    case ValueType::kNumber: {
      int32_t number = 0;
      if (!NumberValue(value, length, number)) return call.error(303, -1);
      return call.integer(number);
    }
    case ValueType::kText:
      return call.text(reinterpret_cast<const char*>(value));
    case ValueType::kVersion: {
      INTERNET_VERSION_INFO version;
      std::memcpy(&version, value, sizeof version);
      char text[2 * kNumberTextSize + 2];
      NumberText(static_cast<int32_t>(version.dwMajorVersion), text, kNumberTextSize);
      std::strcat(text, ".");
      const std::size_t used = std::strlen(text);
      NumberText(static_cast<int32_t>(version.dwMinorVersion), text + used, sizeof text - used);
      return call.text(text);
    }
  }
  return call.error(301, -1);
}

int32_t OptionSet(const Call& call) {
  const Target target = TargetOf(call.arg(1));
  if (target.given && !target.resolved) return call.error(306, -2);
  const Option* option = Find(kSetOptions, call.arg(2));
  if (option == nullptr) return call.error(302, -1);
  if (const char* answer = RuleAnswer(option->rule, target)) return call.text(answer);

  const BOOL ok = !NotForWinInet(target) && SetOption(*option, target.handle, call.arg(3));
  StoreLastError();
  return call.integer(ok);
}

}  // namespace zel::inet
