#!/usr/bin/python3
"""Local HTTP server for the test suite.

  GET/HEAD /<path>        a file from the root folder
  any      /status/<n>    answers with status n and a short body
  any      /echo[...]     records the request exactly (method, path, version, header
                          lines in order, body bytes) into <records>/<n>.json and
                          <records>/last.json, and answers 200 with that JSON
Prints nothing; writes its port to the file given with --port-file once listening.
"""
import argparse, base64, http.server, json, os, threading


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "zeltest/1"
    counter_lock = threading.Lock()
    counter = 0

    def log_message(self, *args):
        pass

    def _body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _send(self, status, body, content_type="text/plain", head=False):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if not head:
            self.wfile.write(body)

    def _record(self, body):
        with Handler.counter_lock:
            Handler.counter += 1
            number = Handler.counter
        record = {
            "number": number,
            "method": self.command,
            "path": self.path,
            "version": self.request_version,
            "request_line": self.requestline,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body_base64": base64.b64encode(body).decode("ascii"),
        }
        data = json.dumps(record, indent=1).encode()
        folder = self.server.records
        os.makedirs(folder, exist_ok=True)
        for name in (f"{number}.json", "last.json"):
            tmp = os.path.join(folder, name + ".tmp")
            with open(tmp, "wb") as f:
                f.write(data)
            os.replace(tmp, os.path.join(folder, name))
        return data

    def _handle(self):
        path = self.path.split("?", 1)[0]
        head = self.command == "HEAD"
        if path.startswith("/echo"):
            data = self._record(self._body())
            return self._send(200, data, "application/json", head)
        if path.startswith("/status/"):
            self._body()
            try:
                status = int(path[len("/status/"):].split("/")[0])
            except ValueError:
                status = 400
            return self._send(status, f"status {status}\n".encode(), head=head)
        self._body()
        if self.command not in ("GET", "HEAD"):
            return self._send(405, b"method not allowed\n", head=head)
        local = os.path.realpath(os.path.join(self.server.root, path.lstrip("/")))
        if not local.startswith(os.path.realpath(self.server.root)) or not os.path.isfile(local):
            return self._send(404, b"not found\n", head=head)
        size = os.path.getsize(local)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        if not head:
            with open(local, "rb") as f:
                while True:
                    chunk = f.read(1 << 20)
                    if not chunk:
                        break
                    self.wfile.write(chunk)

    do_GET = do_HEAD = do_POST = do_PUT = do_DELETE = do_OPTIONS = do_PATCH = _handle


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--records", required=True)
    p.add_argument("--port-file", required=True)
    a = p.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root, server.records = a.root, a.records
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(a.port_file + ".tmp", a.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
