// Script commands of the http subsystem (none built yet).
#pragma once
#include "boundary/extender.h"

namespace zel::http {}
