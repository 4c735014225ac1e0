// The front every FTP command shares: argument 1 must be an FTP connection.
#pragma once
#include "inet/handles.h"

namespace zel::ftp {

// Delivers "306: Bad Handle" or "316: Wrong Handle type. Need iHostConnect/ftp" (kind -2)
// itself when argument 1 is not an FTP connection (ihostconnect with @ftp or @ftppassive).
inline HandleArg RequireFtpConnection(const Call& call) { return RequireHandle(call, 1, 316, {kFtpConnectionKind}); }

}  // namespace zel::ftp
