#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine, if missing.
set -eu
need=""
for pkg in cmake make python3 wine64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
           binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 mingw-w64-tools googletest \
           python3-pyftpdlib openssl curl util-linux; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || need="$need $pkg"
done
if [ -n "$need" ]; then
  echo "installing:$need"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $need >/dev/null
fi
