// FTP searches: the one find-data record every FTP search fills, shared by the FTP
// walk and iftpget's size lookup, and the search call both use.
#pragma once
#include <windows.h>
#include <wininet.h>

namespace zel::ftp {

extern WIN32_FIND_DATAA FtpFindRecord;

// Opens an FTP search of path on connection (reload, existing connection, context 0)
// with its first entry in FtpFindRecord. Null on failure, with the system error set;
// a search that fails with no system error at all (Wine's answer when nothing matches)
// reports ERROR_NO_MORE_FILES, as Windows does.
HINTERNET FtpSearchFirst(HINTERNET connection, const char* path);

}  // namespace zel::ftp
