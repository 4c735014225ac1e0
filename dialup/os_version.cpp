// The platform tests that choose the Windows NT paths; the version is read once.
#include <windows.h>

#include "dialup/operations.h"

namespace zel::dialup {
namespace {

OSVERSIONINFOA VersionCache;
bool VersionCached = false;

const OSVERSIONINFOA& Version() {
  if (!VersionCached) {
    VersionCache = {};
    VersionCache.dwOSVersionInfoSize = sizeof VersionCache;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    GetVersionExA(&VersionCache);  // the reported version is what the NT 3.x path needs
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    VersionCached = true;
  }
  return VersionCache;
}

}  // namespace

bool IsWindowsNT() { return Version().dwPlatformId == VER_PLATFORM_WIN32_NT; }

bool IsWindowsNT3() { return IsWindowsNT() && Version().dwMajorVersion == 3; }

}  // namespace zel::dialup
