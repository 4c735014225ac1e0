#!/bin/sh
# Takes docs/progress-dialog.png: the progress dialog during a real iftpget, drawn by
# Wine's X11 driver on a virtual X server. Wine reports no data byte counts for FTP,
# so the bar stays at the start. Run by hand after a build:
#   sh docs/screenshot/take.sh
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZELINET_BUILD:-$root/build}
need=""
for pkg in xvfb imagemagick; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || need="$need $pkg"
done
if [ -n "$need" ]; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $need >/dev/null
fi

work="$build/screenshot"
rm -rf "$work/servers" "$work/out"; mkdir -p "$work/out"
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -static -I"$root" "$root/docs/screenshot/progress_shot.cpp" \
  "$root/host/extender_host.cpp" -o "$build/progress_shot.exe"

# A prefix of its own with the X11 driver (the test prefix uses the null driver).
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TZ=UTC
[ -f "$WINEPREFIX/.ready" ] || { /usr/lib/wine/wine64 wineboot -i >"$work/wineboot.log" 2>&1 </dev/null || true
                                 /usr/lib/wine/wineserver -w; touch "$WINEPREFIX/.ready"; }

"$root/tests/servers/servers.sh" start "$work/servers" >/dev/null
trap '"$root/tests/servers/servers.sh" stop "$work/servers"; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
. "$work/servers/servers.env"
head -c 67108864 /dev/zero >"$FTP_ROOT/report.pdf"

winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  /usr/lib/wine/wine64 explorer /desktop=zelinet,800x600 "$0" "127.0.0.1:$1" "$2" "$3" /report.pdf \
    67108864 "$4" "$5" "$6" >"$7/run.log" 2>&1 &
  for _ in $(seq 300); do [ -s "$8/ready" ] && break; sleep 0.1; done
  sleep 1
  import -window root "$8/screen.png"
  touch "$8/done"
  wait
' "$(winpath "$build/progress_shot.exe")" "$FTP_PORT" "$FTP_USER" "$FTP_PASSWORD" \
  "$(winpath "$work/out/report.pdf")" "$(winpath "$work/out/ready")" "$(winpath "$work/out/done")" \
  "$work" "$work/out"
geometry=$(tr -d '\r\n' <"$work/out/ready")
convert "$work/out/screen.png" -crop "$geometry" +repage "$root/docs/progress-dialog.png"
echo "docs/progress-dialog.png ($geometry)"
