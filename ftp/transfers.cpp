// Whole-file FTP transfers, with the progress dialog when iftpdialog has armed it.
//
//   iftpget connection, remote, local, size, flags -> 1 when the file was copied, 0 when
//       not (igetlasterror tells why: 80 the local file exists, 12003 the server refused).
//       flags (read leniently), bit by bit: 1 ASCII (else binary), 2 fail when the local
//       file exists; other bits are ignored (so @binary, 945, means ASCII and overwrite).
//       The remote file is looked up first; its listed size is what 100 percent means.
//       size matters only when armed and the lookup finds nothing better; armed with
//       size 0 while an FTP walk is open is refused, since the lookup would overwrite the
//       entry the walk holds.
//       Errors: 306 bad handle, 316 not an FTP connection, 324 size 0 with progress armed
//       and an FTP walk open (kind -2); 327 no remote file of that name (kind -1).
//   iftpput connection, local, remote, size, type -> 1 when the file was stored, 0 when not.
//       type: @binary (945) or @ascii (946), else 305 (kind -1). size: 100 percent when armed.
//       Errors: 306, 316 (kind -2).
//   Armed by iftpdialog mode 2 or 3, both show the progress dialog during the transfer;
//   its Cancel closes the connection (its handle is then gone) and the next extender
//   call returns -5.
#include <windows.h>
#include <wininet.h>

#include "boundary/unique_handle.h"
#include "ftp/commands.h"
#include "ftp/connection.h"
#include "ftp/ftp_search.h"
#include "ftp/progress_dialog.h"
#include "inet/handles.h"

namespace zel::ftp {
namespace {

constexpr DWORD_PTR kDownloadContext = 1;  // odd: counts received bytes
constexpr DWORD_PTR kUploadContext = 2;    // even: counts sent bytes
constexpr int32_t kBinaryType = 945;
constexpr int32_t kAsciiType = 946;

DWORD TransferType(bool ascii) { return ascii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY; }

}  // namespace

int32_t FtpGet(const Call& call) {
  const HandleArg connection = RequireFtpConnection(call);
  if (!connection.ok) return connection.delivered;
  const char* remote = call.arg(2);
  const char* local = call.arg(3);
  Progress.expectedSize = static_cast<DWORD>(LenientDecimalText(call.arg(4)));
  const int32_t flags = LenientDecimalText(call.arg(5));
  if (Progress.transferProgress && Progress.expectedSize == 0) {
    if (Walks.ftpWalkOpen) return call.error(324, -2);
    Progress.expectedSize = FtpFindRecord.nFileSizeLow;
  }
  BOOL copied = FALSE;
  {
    ProgressScope progress(call.window, connection.handle(), remote, local);
    bool found = false;
    {
      // The lookup's search is closed before the download: one search per connection.
      UniqueInternet lookup(FtpSearchFirst(connection.handle(), remote));
      StoreLastError();
      found = static_cast<bool>(lookup);
      if (found) InternetFindNextFileA(lookup.get(), &FtpFindRecord);
    }
    // A stale 18 left by an earlier call must not turn a found file into "not found".
    if (!found && LastErrorCode == ERROR_NO_MORE_FILES) {
      progress.End();
      return call.error(327, -1);
    }
    Progress.expectedSize = FtpFindRecord.nFileSizeLow;
    Progress.bytesDone = 0;
    ShowTransferNames(remote, local);
    copied = progress.Run([&] {
      return FtpGetFileA(connection.handle(), remote, local, (flags & 2) != 0, FILE_ATTRIBUTE_NORMAL,
                         TransferType((flags & 1) != 0), kDownloadContext);
    });
    StoreLastError();
  }
  return call.integer(copied);
}

int32_t FtpPut(const Call& call) {
  const HandleArg connection = RequireFtpConnection(call);
  if (!connection.ok) return connection.delivered;
  const char* local = call.arg(2);
  const char* remote = call.arg(3);
  const int32_t type = DecimalText(call.arg(5));
  if (type != kBinaryType && type != kAsciiType) return call.error(305, -1);
  if (Progress.transferProgress) {
    Progress.expectedSize = static_cast<DWORD>(LenientDecimalText(call.arg(4)));
    Progress.bytesDone = 0;
  }
  BOOL stored = FALSE;
  {
    ProgressScope progress(call.window, connection.handle(), local, remote);
    stored = progress.Run([&] {
      return FtpPutFileA(connection.handle(), local, remote, TransferType(type == kAsciiType), kUploadContext);
    });
    StoreLastError();
    ShowTransferNames(local, remote);
  }
  return call.integer(stored);
}

}  // namespace zel::ftp
