#!/bin/sh
# start: one persistent wineserver for the whole test run (process starts stay warm).
# stop:  end it and wait, so nothing is left holding the runner's output open.
action=$1; prefix=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all
case "$action" in
  start) "$(dirname "$0")/wine-prefix.sh" "$prefix" || exit 1
         # A server left by the build's test discovery (or an aborted run) is replaced.
         /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 && exit 0
         /usr/lib/wine/wineserver -k >/dev/null 2>&1; /usr/lib/wine/wineserver -w >/dev/null 2>&1
         /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 ;;
  stop)  /usr/lib/wine/wineserver -k >/dev/null 2>&1; /usr/lib/wine/wineserver -w >/dev/null 2>&1; exit 0 ;;
  *) echo "usage: $0 start|stop PREFIX" >&2; exit 2 ;;
esac
