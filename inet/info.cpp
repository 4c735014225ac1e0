// Version, last server response and connected state.
//
//   iversion            -> 25016
//   igetresponse        -> "<code>: <last server response>", or "NONE" when there is none
//   igetconstate mode   -> mode 0: connected (1/0); other modes: the INTERNET_CONNECTION_ flags.
//                          mode is read leniently (leading tabs and line breaks are skipped).
#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "boundary/number_text.h"
#include "inet/commands.h"

namespace zel::inet {

constexpr int32_t kExtenderVersion = 25016;

int32_t Version(const Call& call) { return call.integer(kExtenderVersion); }

int32_t GetResponse(const Call& call) {
  constexpr DWORD kResponseSize = 2048;
  char response[kResponseSize];
  DWORD length = kResponseSize;
  DWORD code = 0;
  const BOOL ok = InternetGetLastResponseInfoA(&code, response, &length);
  StoreLastError();
  if (!ok) return call.text("NONE");
  response[length < kResponseSize ? length : kResponseSize - 1] = '\0';
  char text[kNumberTextSize + 2 + kResponseSize];
  NumberText(static_cast<int32_t>(code), text, kNumberTextSize);
  std::strcat(text, ": ");
  std::strcat(text, response);
  return call.text(text);
}

int32_t GetConnectedState(const Call& call) {
  const int32_t mode = LenientDecimalText(call.arg(1));
  DWORD flags = 0;
  const BOOL connected = InternetGetConnectedState(&flags, 0);
  StoreLastError();
  return call.integer(mode == 0 ? connected : static_cast<int32_t>(flags));
}

}  // namespace zel::inet
