// Script commands of the ftp subsystem.
#pragma once
#include "boundary/extender.h"

namespace zel::ftp {

// Single FTP commands.
int32_t Open(const Call& call);       // iftpopen
int32_t DirMake(const Call& call);    // iftpdirmake
int32_t DirGet(const Call& call);     // iftpdirget
int32_t DirRemove(const Call& call);  // iftpdirremove
int32_t Delete(const Call& call);     // iftpdelete
int32_t Rename(const Call& call);     // iftprename
int32_t DirChange(const Call& call);  // iftpdirchange

// Transfers, progress dialog and directory walks.
int32_t FtpGet(const Call& call);       // iftpget
int32_t FtpPut(const Call& call);       // iftpput
int32_t FtpDialog(const Call& call);    // iftpdialog
int32_t FtpFindInit(const Call& call);  // iftpfindinit
int32_t FtpFindNext(const Call& call);  // iftpfindnext
int32_t LocFindInit(const Call& call);  // ilocfindinit
int32_t LocFindNext(const Call& call);  // ilocfindnext

}  // namespace zel::ftp
