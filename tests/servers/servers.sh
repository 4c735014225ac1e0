#!/bin/sh
# start DIR: starts the local HTTP and FTP servers on free 127.0.0.1 ports, detached
#            from the caller's output, with empty served folders under DIR, and writes
#            DIR/servers.env (KEY=VALUE lines).
#            Two HTTPS servers answer for the name localhost: "https" with a certificate
#            that tests may trust (HTTPS_CERT, DER), "https-untrusted" with another one
#            that nothing ever trusts. Both certificates are made once per DIR.
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
    for name in https https-untrusted; do
      [ -s "$dir/tls/$name.der" ] ||
        { mkdir -p "$dir/tls" &&
          openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -keyout "$dir/tls/$name.key" \
            -out "$dir/tls/$name.pem" -subj "/O=zelinet tests $name/CN=localhost" \
            -addext "subjectAltName=DNS:localhost" >"$dir/tls/$name.log" 2>&1 &&
          openssl x509 -in "$dir/tls/$name.pem" -outform der -out "$dir/tls/$name.der"; } ||
        { echo "certificate $name:"; cat "$dir/tls/$name.log"; exit 1; }
      setsid /usr/bin/python3 "$here/http_server.py" --root "$dir/http" --records "$dir/records" \
        --tls-cert "$dir/tls/$name.pem" --tls-key "$dir/tls/$name.key" \
        --port-file "$dir/$name.port" </dev/null >"$dir/$name.log" 2>&1 &
      echo $! >"$dir/$name.pid"
    done
    ports="http ftp https https-untrusted"
    for _ in $(seq 100); do
      missing=""
      for name in $ports; do [ -s "$dir/$name.port" ] || missing="$missing $name"; done
      [ -z "$missing" ] && break
      sleep 0.1
    done
    if [ -n "$missing" ]; then
      echo "servers did not start:$missing"; cat "$dir"/*.log; exit 1
    fi
    cat >"$dir/servers.env" <<ENV
HTTP_PORT=$(cat "$dir/http.port")
HTTP_ROOT=$dir/http
HTTP_RECORDS=$dir/records
FTP_PORT=$(cat "$dir/ftp.port")
FTP_ROOT=$dir/ftp
FTP_USER=zel
FTP_PASSWORD=secret
HTTPS_PORT=$(cat "$dir/https.port")
HTTPS_CERT=$dir/tls/https.der
HTTPS_UNTRUSTED_PORT=$(cat "$dir/https-untrusted.port")
ENV
    cat "$dir/servers.env"
    ;;
  stop)
    for name in http ftp https https-untrusted; do
      if [ -f "$dir/$name.pid" ]; then
        kill "$(cat "$dir/$name.pid")" 2>/dev/null
        rm -f "$dir/$name.pid"
      fi
    done
    exit 0
    ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
