# Sourced by the run scripts: paths, install + build, and the rig (one persistent
# wineserver and the local HTTP/FTP servers) with a cleanup that never fails the run.
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}

prepare() {
  "$root/scripts/setup.sh"
  "$root/scripts/build.sh"
}

stop_rig() {
  "$root/cmake/wineserver.sh" stop "$build/wineprefix" || true
  "$root/tests/servers/servers.sh" stop "$build/servers" || true
}

start_rig() {
  trap stop_rig INT TERM
  "$root/cmake/wineserver.sh" start "$build/wineprefix"
  "$root/tests/servers/servers.sh" start "$build/servers" >/dev/null
}
