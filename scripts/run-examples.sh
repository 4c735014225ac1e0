#!/bin/sh
# run-examples.sh BUILD SERVERS_ENV: zelrun --list, then every examples/*.zel, with the
# local servers' addresses given to the scripts as $http, $ftp, $ftpuser, $ftppassword,
# and folders as $httproot, $ftproot, $work (Windows paths; the scripts run in $work).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); envfile=$2
. "$envfile"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
work="$build/examples-work"
rm -rf "$work"; mkdir -p "$work"
# Files on the FTP server for the FTP examples: a tree with one file per level to
# walk, and a file to download.
rm -rf "$FTP_ROOT/pub" "$FTP_ROOT/files"
mkdir -p "$FTP_ROOT/pub/docs/notes" "$FTP_ROOT/files"
printf 'zelinet example tree\n' >"$FTP_ROOT/pub/readme.txt"
printf 'guide\n' >"$FTP_ROOT/pub/docs/guide.txt"
printf 'to do\n' >"$FTP_ROOT/pub/docs/notes/todo.txt"
head -c 1048576 /dev/zero >"$FTP_ROOT/files/data.bin"
# Scripts run in $work, so relative local names land there.
cd "$work"
run() { "$build/wine-run" "$build/zelrun.exe" "$@"; }
run --list
status=0
for script in "$root"/examples/*.zel; do
  [ -e "$script" ] || continue
  if run -D "http=127.0.0.1:$HTTP_PORT" -D "ftp=127.0.0.1:$FTP_PORT" -D "ftpuser=$FTP_USER" \
         -D "ftppassword=$FTP_PASSWORD" -D "httproot=$(winpath "$HTTP_ROOT")\\" \
         -D "ftproot=$(winpath "$FTP_ROOT")\\" -D "work=$(winpath "$work")\\" "$(winpath "$script")"; then
    echo "example $(basename "$script"): passed"
  else
    echo "example $(basename "$script"): FAILED"; status=1
  fi
done
exit $status
