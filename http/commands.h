// Script commands of the http subsystem.
#pragma once
#include "boundary/extender.h"

namespace zel::http {

int32_t HttpInit(const Call& call);     // ihttpinit
int32_t HttpOpen(const Call& call);     // ihttpopen
int32_t HttpHeaders(const Call& call);  // ihttpheaders
int32_t ContentData(const Call& call);  // icontentdata
int32_t ContentFile(const Call& call);  // icontentfile

}  // namespace zel::http
