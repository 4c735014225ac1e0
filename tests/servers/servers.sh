#!/bin/sh
# start DIR: starts the local HTTP and FTP servers on free 127.0.0.1 ports, detached
#            from the caller's output, with empty served folders under DIR, and writes
#            DIR/servers.env (KEY=VALUE lines).
# stop DIR:  stops them.
set -u
action=$1; dir=$2
here=$(cd "$(dirname "$0")" && pwd)
case "$action" in
  start)
    "$0" stop "$dir"
    # Each run starts from empty served folders: nothing left by an earlier run can
    # stand in for what a test writes.
    rm -rf "$dir/http" "$dir/ftp" "$dir/records"
    mkdir -p "$dir/http" "$dir/ftp" "$dir/records"
    rm -f "$dir"/*.port "$dir/servers.env"
    setsid /usr/bin/python3 "$here/http_server.py" --root "$dir/http" --records "$dir/records" \
      --port-file "$dir/http.port" </dev/null >"$dir/http.log" 2>&1 &
    echo $! >"$dir/http.pid"
    setsid /usr/bin/python3 "$here/ftp_server.py" --root "$dir/ftp" --user zel --password secret \
      --port-file "$dir/ftp.port" </dev/null >"$dir/ftp.log" 2>&1 &
    echo $! >"$dir/ftp.pid"
    for _ in $(seq 100); do
      [ -s "$dir/http.port" ] && [ -s "$dir/ftp.port" ] && break
      sleep 0.1
    done
    if [ ! -s "$dir/http.port" ] || [ ! -s "$dir/ftp.port" ]; then
      echo "servers did not start:"; cat "$dir"/*.log; exit 1
    fi
    cat >"$dir/servers.env" <<ENV
HTTP_PORT=$(cat "$dir/http.port")
HTTP_ROOT=$dir/http
HTTP_RECORDS=$dir/records
FTP_PORT=$(cat "$dir/ftp.port")
FTP_ROOT=$dir/ftp
FTP_USER=zel
FTP_PASSWORD=secret
ENV
    cat "$dir/servers.env"
    ;;
  stop)
    for name in http ftp; do
      if [ -f "$dir/$name.pid" ]; then
        kill "$(cat "$dir/$name.pid")" 2>/dev/null
        rm -f "$dir/$name.pid"
      fi
    done
    exit 0
    ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
