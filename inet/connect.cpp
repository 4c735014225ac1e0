// Connections and URLs.
//
//   ihostconnect session, host[:port], service, user, password
//       service: 0 @http, 1 @https, 2 @ftp, 3 @gopher, 4 @ftppassive; else 305.
//       -> connection handle; for @https the text "S" + handle (also "S0" on failure).
//       user is none when "" or "0"; password is none when "", or "0" with no user.
//       A host text of 260 characters or more, or a port above 65535 or negative:
//       "305: Parameter out of range".
//       Errors: 306 bad handle, 311 not a session.
//   iurlopen session, url -> URL handle (0 on failure). 306, 311 as above.
//       A URL starting "https://" (exactly, case-sensitive) is opened secure.
#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "boundary/args.h"
#include "inet/commands.h"
#include "inet/handles.h"

namespace zel::inet {
namespace {

struct Service {
  DWORD service;
  INTERNET_PORT defaultPort;
  DWORD flags;
};
const Service kServices[] = {
    {INTERNET_SERVICE_HTTP, 80, 0},  {INTERNET_SERVICE_HTTP, 443, 0},
    {INTERNET_SERVICE_FTP, 21, 0},   {INTERNET_SERVICE_GOPHER, 70, 0},
    {INTERNET_SERVICE_FTP, 21, INTERNET_FLAG_PASSIVE},
};
constexpr int32_t kHttpsService = 1;
constexpr std::size_t kHostSize = 260;

}  // namespace

int32_t HostConnect(const Call& call) {
  const HandleArg session = RequireHandle(call, 1, 311, {kSessionKind});
  if (!session.ok) return session.delivered;
  const int32_t serviceNumber = DecimalText(call.arg(3));
  if (serviceNumber < 0 || serviceNumber > 4) return call.error(305, -2);
  const Service& service = kServices[serviceNumber];

  // A longer host would have to be cut to another name: refuse it instead.
  const char* hostText = call.arg(2);
  if (std::strlen(hostText) >= kHostSize) return call.error(305, -2);
  char host[kHostSize];
  lstrcpynA(host, hostText, static_cast<int>(kHostSize));
  INTERNET_PORT port = service.defaultPort;
  if (char* colon = std::strchr(host, ':')) {
    *colon = '\0';
    // A number beyond 16 bits would wrap around to another port: refuse it.
    const int32_t number = DecimalText(colon + 1);
    if (number < 0 || number > 0xFFFF) return call.error(305, -2);
    port = static_cast<INTERNET_PORT>(number);
  }

  const char* user = OrNull(call.arg(4));
  const char* password = call.arg(5);
  if (password[0] == '\0' || (user == nullptr && std::strcmp(password, "0") == 0)) password = nullptr;

  HINTERNET connection =
      InternetConnectA(session.handle(), host, port, user, password, service.service, service.flags, 1);
  StoreLastError();
  if (serviceNumber == kHttpsService) {
    char text[kNumberTextSize + 1] = {kSecureMark};
    NumberText(HandleValue(connection), text + 1, sizeof text - 1);
    return call.text(text);
  }
  return call.integer(HandleValue(connection));
}

int32_t UrlOpen(const Call& call) {
  const HandleArg session = RequireHandle(call, 1, 311, {kSessionKind});
  if (!session.ok) return session.delivered;
  const char* url = call.arg(2);
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT;
  if (std::strncmp(url, "https://", 8) == 0) flags |= INTERNET_FLAG_SECURE;
  HINTERNET handle = InternetOpenUrlA(session.handle(), url, nullptr, 0, flags, 0);
  StoreLastError();
  return call.integer(HandleValue(handle));
}

}  // namespace zel::inet
