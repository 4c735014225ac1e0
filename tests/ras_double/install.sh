#!/bin/sh
# install.sh PREFIX BUILD: puts the RAS double's forwarding rasapi32.dll over the prefix's
# system32 copy and imports the per-program settings (appdefaults.reg). Idempotent and safe
# to run while other programs use the prefix: the file is replaced by a rename.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
prefix=$(cd "$1" && pwd); build=$(cd "$2" && pwd)
"$here/../../cmake/wine-prefix.sh" "$prefix"
dll="$build/ras_double/rasapi32.dll"
target="$prefix/drive_c/windows/system32/rasapi32.dll"
if ! cmp -s "$dll" "$target"; then
  cp "$dll" "$target.new.$$"
  mv -f "$target.new.$$" "$target"
fi
reg=$(printf 'Z:%s' "$here/appdefaults.reg" | tr '/' '\\')
WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 regedit /S "$reg" </dev/null >/dev/null 2>&1
