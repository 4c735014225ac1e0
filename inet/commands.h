// Script commands of the Internet sessions subsystem.
#pragma once
#include "boundary/extender.h"

namespace zel::inet {

int32_t Begin(const Call& call);              // ibegin
int32_t Close(const Call& call);              // iclose
int32_t HostConnect(const Call& call);        // ihostconnect
int32_t UrlOpen(const Call& call);            // iurlopen
int32_t ReadData(const Call& call);           // ireaddata
int32_t WriteData(const Call& call);          // iwritedata
int32_t OptionGet(const Call& call);          // ioptionget
int32_t OptionSet(const Call& call);          // ioptionset
int32_t Version(const Call& call);            // iversion
int32_t GetResponse(const Call& call);        // igetresponse
int32_t GetConnectedState(const Call& call);  // igetconstate

}  // namespace zel::inet
