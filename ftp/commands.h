// Script commands of the ftp subsystem (none built yet).
#pragma once
#include "boundary/extender.h"

namespace zel::ftp {}
