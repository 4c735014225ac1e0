#!/bin/sh
# Creates the Wine prefix once (headless null graphics driver) and starts one
# persistent wineserver for it. Safe to call concurrently: a lock serialises it.
prefix=$1
mkdir -p "$prefix" || exit 1
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
(
  flock 9
  if [ ! -f "$prefix/.zelinet-ready" ]; then
    /usr/lib/wine/wine64 wineboot -i >"$prefix/../wineboot.log" 2>&1 </dev/null
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
      >>"$prefix/../wineboot.log" 2>&1 </dev/null
    /usr/lib/wine/wineserver -w
    touch "$prefix/.zelinet-ready"
  fi
) 9>"$prefix.lock"
