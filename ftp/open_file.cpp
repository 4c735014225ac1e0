// Opening a remote file for ireaddata / iwritedata.
//
//   iftpopen connection, name, access, @ascii -> FTP file handle (0 when the server
//       refuses; igetlasterror tells why). access: 0 write, 1 read. The file is always
//       moved in ASCII mode; close it with iclose before the next command on the
//       connection. Errors: "306: Bad Handle", "316: Wrong Handle type. Need
//       iHostConnect/ftp" (kind -2); "315: Wrong access type - specify 0 for WRITE or
//       1 for READ", then "305: Parameter out of range" for a type other than @ascii
//       (kind -1).
#include <windows.h>
#include <wininet.h>

#include "boundary/number_text.h"
#include "ftp/commands.h"
#include "ftp/connection.h"

namespace zel::ftp {

int32_t Open(const Call& call) {
  constexpr int32_t kAscii = 946;
  const HandleArg connection = RequireFtpConnection(call);
  if (!connection.ok) return connection.delivered;
  const int32_t access = DecimalText(call.arg(3));
  if (access != 0 && access != 1) return call.error(315, -1);
  if (DecimalText(call.arg(4)) != kAscii) return call.error(305, -1);
  HINTERNET file = FtpOpenFileA(connection.handle(), call.arg(2), access == 1 ? GENERIC_READ : GENERIC_WRITE,
                                FTP_TRANSFER_TYPE_ASCII, 0);
  StoreLastError();
  return call.integer(HandleValue(file));
}

}  // namespace zel::ftp
