// Script commands of the ftp subsystem.
#pragma once
#include "boundary/extender.h"

namespace zel::ftp {

int32_t Open(const Call& call);       // iftpopen
int32_t DirMake(const Call& call);    // iftpdirmake
int32_t DirGet(const Call& call);     // iftpdirget
int32_t DirRemove(const Call& call);  // iftpdirremove
int32_t Delete(const Call& call);     // iftpdelete
int32_t Rename(const Call& call);     // iftprename
int32_t DirChange(const Call& call);  // iftpdirchange

}  // namespace zel::ftp
