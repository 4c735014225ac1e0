// Script commands of the ftp subsystem.
#pragma once
#include "boundary/extender.h"

namespace zel::ftp {

// Transfers, progress dialog and directory walks.
int32_t FtpGet(const Call& call);       // iftpget
int32_t FtpPut(const Call& call);       // iftpput
int32_t FtpDialog(const Call& call);    // iftpdialog
int32_t FtpFindInit(const Call& call);  // iftpfindinit
int32_t FtpFindNext(const Call& call);  // iftpfindnext
int32_t LocFindInit(const Call& call);  // ilocfindinit
int32_t LocFindNext(const Call& call);  // ilocfindnext

}  // namespace zel::ftp
