// Script commands of the dialup subsystem (none built yet).
#pragma once
#include "boundary/extender.h"

namespace zel::dialup {}
