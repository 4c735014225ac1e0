#!/bin/sh
# run-examples.sh BUILD SERVERS_ENV: zelrun --list, then every examples/*.zel, with the
# local servers' addresses given to the scripts as $http, $ftp, $ftpuser, $ftppassword,
# folders as $httproot, $ftproot, $work (Windows paths), $upload, a small text file, and
# $pageurl, the URL of a page served for the examples. Scripts run in $work, so relative
# local names land there; dial-up examples get the RAS test double.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); envfile=$2
. "$envfile"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
work="$build/examples-work"
rm -rf "$work"; mkdir -p "$work"
printf 'A small file for the form examples.\r\n' >"$work/upload.txt"
# The dial-up example runs against the RAS test double and the phonebook it is given.
"$root/tests/ras_double/install.sh" "$build/wineprefix" "$build"
ZEL_RAS_SCENARIO=$(winpath "$root/examples/dialup.ras"); export ZEL_RAS_SCENARIO
# What the examples fetch from the servers.
mkdir -p "$HTTP_ROOT/examples" "$FTP_ROOT/examples"
printf '<html><body><p>Served for the zelinet examples.</p></body></html>\n' >"$HTTP_ROOT/examples/page.html"
printf 'zelinet example file\nsecond line\n' >"$FTP_ROOT/examples/readme.txt"
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
         -D "ftproot=$(winpath "$FTP_ROOT")\\" -D "work=$(winpath "$work")\\" \
         -D "upload=$(winpath "$work")\\upload.txt" \
         -D "pageurl=http://127.0.0.1:$HTTP_PORT/examples/page.html" "$(winpath "$script")"; then
    echo "example $(basename "$script"): passed"
  else
    echo "example $(basename "$script"): FAILED"; status=1
  fi
done
exit $status
