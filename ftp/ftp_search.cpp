#include "ftp/ftp_search.h"

namespace zel::ftp {

WIN32_FIND_DATAA FtpFindRecord;

HINTERNET FtpSearchFirst(HINTERNET connection, const char* path) {
  SetLastError(ERROR_SUCCESS);
  HINTERNET search = FtpFindFirstFileA(connection, path, &FtpFindRecord,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT, 0);
  if (search == nullptr && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_NO_MORE_FILES);
  return search;
}

}  // namespace zel::ftp
