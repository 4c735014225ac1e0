// HTTP requests.
//
//   ihttpinit connection, verb, object, referrer, flags -> request handle (0 on failure)
//       connection: from ihostconnect @http, or its "S" text for @https (a secure request).
//       verb: GET, POST or PUT in any letter case ("get" is sent as GET).
//       object is sent as given; referrer "" or "0" sends none.
//       flags: 1 ignore an expired certificate, 2 ignore a certificate for another name,
//       4 keep the connection; other bits are ignored.
//       Errors: 306 bad handle, 313 not an HTTP connection, 310 another verb.
//   ihttpopen request, headers, body address, body size -> status code text ("200"),
//       or "ERROR" when the request could not be sent or has no status.
//       headers "" or "0": none. Address "" or "0": no body (the size is then ignored).
//       A body always goes with "Content-Type: multipart/form-data; boundary=..." (the
//       boundary icontentdata and icontentfile write), placed before the headers.
//       Errors: 306 bad handle, 314 not a request, 309 body memory not readable.
//   ihttpheaders handle -> the raw response headers, status line first, each line
//       followed by a tab; "ERROR" when there are none.
//       Errors: 306 bad handle, 312 not a request, FTP file or gopher file.
#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "boundary/args.h"
#include "http/commands.h"
#include "http/form_boundary.h"
#include "http/header_buffer.h"
#include "http/script_memory.h"
#include "inet/handles.h"

namespace zel::http {
namespace {

constexpr char kHttpVersion[] = "HTTP/1.0";
constexpr char kContentTypeLine[] = "Content-Type: multipart/form-data; boundary=";
constexpr std::size_t kContentTypeLength = sizeof kContentTypeLine - 1 + sizeof kFormBoundary - 1;

struct FlagBit {
  int32_t bit;
  DWORD flag;
};
constexpr FlagBit kFlagBits[] = {
    {1, INTERNET_FLAG_IGNORE_CERT_DATE_INVALID},
    {2, INTERNET_FLAG_IGNORE_CERT_CN_INVALID},
    {4, INTERNET_FLAG_KEEP_CONNECTION},
};

DWORD RequestFlags(int32_t bits, bool secure) {
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT;
  if (secure) flags |= INTERNET_FLAG_SECURE;
  for (const FlagBit& f : kFlagBits) {
    if (bits & f.bit) flags |= f.flag;
  }
  return flags;
}

// The upper-cased verb into out (5 bytes), or false when it is not GET, POST or PUT.
bool ReadVerb(const char* text, char* out) {
  const std::size_t length = std::strlen(text);
  if (length < 3 || length > 4) return false;
  std::memcpy(out, text, length + 1);
  CharUpperA(out);
  return std::strcmp(out, "GET") == 0 || std::strcmp(out, "POST") == 0 || std::strcmp(out, "PUT") == 0;
}

// The header block that goes with a body: the Content-Type line, then the caller's
// headers after a line end when there are any. Sized to fit, never cut.
bool BodyHeaders(HeaderBuffer& block, const char* headers, DWORD* length) {
  const std::size_t extra = headers != nullptr ? 2 + std::strlen(headers) : 0;
  const std::size_t total = kContentTypeLength + extra;
  if (total >= MAXDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  if (!block.Reserve(static_cast<DWORD>(total + 1))) return false;
  char* out = block.data();
  std::memcpy(out, kContentTypeLine, sizeof kContentTypeLine - 1);
  std::memcpy(out + sizeof kContentTypeLine - 1, kFormBoundary, sizeof kFormBoundary);
  if (headers != nullptr) {
    std::memcpy(out + kContentTypeLength, "\r\n", 2);
    std::memcpy(out + kContentTypeLength + 2, headers, extra - 2 + 1);
  }
  *length = static_cast<DWORD>(total);
  return true;
}

// Raw headers come as NUL-ended lines with a second NUL after the last; each line's NUL
// becomes a tab, and the text ends at the second NUL.
void JoinLines(char* text, DWORD length, DWORD capacity) {
  if (length >= capacity) length = capacity - 1;
  text[length] = '\0';
  for (DWORD i = 0; i < length; ++i) {
    if (text[i] != '\0') continue;
    text[i] = '\t';
    if (text[i + 1] == '\0') break;
  }
}

}  // namespace

int32_t HttpInit(const Call& call) {
  const HandleArg connection = RequireHandle(call, 1, 313, {kHttpConnectionKind});
  if (!connection.ok) return connection.delivered;
  char verb[5];
  if (!ReadVerb(call.arg(2), verb)) return call.error(310, -2);
  LPCSTR acceptAny[] = {"*/*", nullptr};
  HINTERNET request =
      HttpOpenRequestA(connection.handle(), verb, call.arg(3), kHttpVersion, OrNull(call.arg(4)), acceptAny,
                       RequestFlags(DecimalText(call.arg(5)), connection.resolved.secure), 0);
  StoreLastError();
  return call.integer(HandleValue(request));
}

int32_t HttpOpen(const Call& call) {
  const HandleArg request = RequireHandle(call, 1, 314, {kHttpRequestKind});
  if (!request.ok) return request.delivered;
  const uint32_t body = static_cast<uint32_t>(DecimalText(call.arg(3)));
  const uint32_t size = body != 0 ? static_cast<uint32_t>(DecimalText(call.arg(4))) : 0;
  if (body != 0 && !ScriptMemoryReadable(body, size)) return call.error(309, -2);

  const char* headers = OrNull(call.arg(2));
  DWORD headersLength = headers != nullptr ? static_cast<DWORD>(std::strlen(headers)) : 0;
  HeaderBuffer block;
  if (body != 0) {
    if (!BodyHeaders(block, headers, &headersLength)) {
      StoreLastError();
      return call.text("ERROR");
    }
    headers = block.data();
  }
  const BOOL sent = HttpSendRequestA(request.handle(), headers, headersLength, ScriptAddress(body), size);
  StoreLastError();
  if (!sent) return call.text("ERROR");

  HeaderBuffer status;
  DWORD length = status.capacity();
  const BOOL known = HttpQueryInfoA(request.handle(), HTTP_QUERY_STATUS_CODE, status.data(), &length, nullptr);
  StoreLastError();
  if (!known) return call.text("ERROR");
  status.data()[length < status.capacity() ? length : status.capacity() - 1] = '\0';
  return call.text(status.data());
}

int32_t HttpHeaders(const Call& call) {
  const HandleArg source = RequireHandle(call, 1, 312, {kFtpFileKind, kGopherFileKind, kHttpRequestKind});
  if (!source.ok) return source.delivered;
  HeaderBuffer raw;
  DWORD length = raw.capacity();
  BOOL ok = HttpQueryInfoA(source.handle(), HTTP_QUERY_RAW_HEADERS, raw.data(), &length, nullptr);
  // Longer headers are delivered whole: grow to the size WinInet asks for and ask again.
  if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER && length < MAXDWORD - 2 && raw.Reserve(length + 2)) {
    length = raw.capacity();
    ok = HttpQueryInfoA(source.handle(), HTTP_QUERY_RAW_HEADERS, raw.data(), &length, nullptr);
  }
  StoreLastError();
  if (!ok) return call.text("ERROR");
  JoinLines(raw.data(), length, raw.capacity());
  return call.text(raw.data());
}

}  // namespace zel::http
