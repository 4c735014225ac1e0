#!/bin/sh
# run-examples.sh BUILD SERVERS_ENV: zelrun --list, then every examples/*.zel, with the
# local servers' addresses given to the scripts as $http, $ftp, $ftpuser, $ftppassword,
# folders as $httproot, $ftproot, $work (Windows paths), and $upload, a small text file;
# dial-up examples get the RAS test double.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1; envfile=$2
. "$envfile"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
work="$build/examples-work"
rm -rf "$work"; mkdir -p "$work"
printf 'A small file for the form examples.\r\n' >"$work/upload.txt"
# The dial-up example runs against the RAS test double and the phonebook it is given.
"$root/tests/ras_double/install.sh" "$build/wineprefix" "$build"
ZEL_RAS_SCENARIO=$(winpath "$root/examples/dialup.ras"); export ZEL_RAS_SCENARIO
run() { "$build/wine-run" "$build/zelrun.exe" "$@"; }
run --list
status=0
for script in "$root"/examples/*.zel; do
  [ -e "$script" ] || continue
  if run -D "http=127.0.0.1:$HTTP_PORT" -D "ftp=127.0.0.1:$FTP_PORT" -D "ftpuser=$FTP_USER" \
         -D "ftppassword=$FTP_PASSWORD" -D "httproot=$(winpath "$HTTP_ROOT")\\" \
         -D "ftproot=$(winpath "$FTP_ROOT")\\" -D "work=$(winpath "$work")\\" \
         -D "upload=$(winpath "$work")\\upload.txt" "$(winpath "$script")"; then
    echo "example $(basename "$script"): passed"
  else
    echo "example $(basename "$script"): FAILED"; status=1
  fi
done
exit $status
