// Moving data between an open data handle and a local file, 8192 bytes at a time.
//
//   ireaddata handle, file   -> 1 when the data ended cleanly, 0 when a read or a local
//       write failed (igetlasterror tells which). handle: a URL (iurlopen), FTP file
//       (iftpopen) or HTTP request (ihttpopen). The file is created or truncated; what
//       arrived before a failure stays in it.
//   iwritedata handle, file  -> 1 when every network write succeeded (an empty file makes
//       none and gives 1), 0 at the first failed network write or local read. handle:
//       an FTP file opened for writing (iftpopen access 0).
//   Errors (kind -2): "306: Bad Handle"; "312: Wrong handle type. Need iUrlOpen iFtpOpen
//       iHttpOpen or iGopherOpen"; "307: File Access Failed" when the local file cannot be
//       created or opened; "308: Error - Memory Alloc Failure".
#include <windows.h>
#include <wininet.h>

#include "boundary/unique_handle.h"
#include "inet/commands.h"
#include "inet/handles.h"

namespace zel::inet {
namespace {

constexpr DWORD kChunk = 8192;

// The local file of argument 2 and the transfer buffer.
struct Local {
  UniqueFile file;
  UniqueGlobal buffer;
  int32_t delivered = 0;  // when !ok: what the error delivery returned
  bool ok = false;
};

// Opens the local file (access and disposition as the command needs), then takes the
// buffer. Delivers 307 when the file cannot be had, 308 (after closing it) when the
// buffer cannot.
Local OpenLocal(const Call& call, DWORD access, DWORD disposition) {
  Local local;
  local.file.reset(CreateFileA(call.arg(2), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!local.file) {
    local.delivered = call.error(307, -2);
    return local;
  }
  local.buffer.reset(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kChunk));
  if (!local.buffer) {
    local.file.reset();
    local.delivered = call.error(308, -2);
    return local;
  }
  local.ok = true;
  return local;
}

// The error of a failed local read or write; never 0, since it turns the result to 0.
DWORD LocalError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// The outcome of a transfer, recorded after the file is closed and the buffer freed.
// A local failure wins over whatever the network calls left behind.
int32_t Deliver(const Call& call, Local& local, BOOL result, DWORD localError) {
  local.file.reset();
  local.buffer.reset();
  StoreLastError();
  if (localError != ERROR_SUCCESS) {
    LastErrorCode = localError;
    result = FALSE;
  }
  return call.integer(result);
}

}  // namespace

int32_t ReadData(const Call& call) {
  const HandleArg source = RequireHandle(call, 1, 312, {kFtpFileKind, kGopherFileKind, kHttpRequestKind});
  if (!source.ok) return source.delivered;
  Local local = OpenLocal(call, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  if (!local.ok) return local.delivered;
  void* bytes = local.buffer.get();
  BOOL read = FALSE;
  DWORD localError = ERROR_SUCCESS;
  for (;;) {
    DWORD count = 0;
    read = InternetReadFile(source.handle(), bytes, kChunk, &count);
    if (count == 0) break;
    // A failed or short local write loses data: stop and report it, never success.
    DWORD written = 0;
    if (!WriteFile(local.file.get(), bytes, count, &written, nullptr)) {
      localError = LocalError();
      break;
    }
    if (written != count) {
      localError = ERROR_DISK_FULL;
      break;
    }
    if (!read) break;
  }
  return Deliver(call, local, read, localError);
}

int32_t WriteData(const Call& call) {
  const HandleArg target = RequireHandle(call, 1, 312, {kFtpFileKind});
  if (!target.ok) return target.delivered;
  Local local = OpenLocal(call, GENERIC_READ, OPEN_EXISTING);
  if (!local.ok) return local.delivered;
  void* bytes = local.buffer.get();
  BOOL result = TRUE;
  DWORD localError = ERROR_SUCCESS;
  DWORD count = 0;
  do {
    if (!ReadFile(local.file.get(), bytes, kChunk, &count, nullptr)) {
      localError = LocalError();
      break;
    }
    if (count == 0) break;
    DWORD sent = 0;
    result = InternetWriteFile(target.handle(), bytes, count, &sent);
    // Once a write has failed the remote file has a hole: offering the rest cannot mend it.
    if (!result) break;
  } while (count == kChunk);
  return Deliver(call, local, result, localError);
}

}  // namespace zel::inet
