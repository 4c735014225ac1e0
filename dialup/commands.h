// Script commands of the dial-up subsystem.
#pragma once
#include "boundary/extender.h"

namespace zel::dialup {

int32_t Dial(const Call& call);         // iDial
int32_t DialHangUp(const Call& call);   // iDialHangUp
int32_t DialItemize(const Call& call);  // iDialItemize

}  // namespace zel::dialup
