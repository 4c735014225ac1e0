#!/usr/bin/python3
"""Local HTTP server for the test suite.

  GET/HEAD /<path>        a file from the root folder
  any      /status/<n>    answers with status n and a short body
  any      /echo[...]     records the request exactly (method, path, version, header
                          lines in order, body bytes) into <records>/<n>.json and
                          <records>/last.json, and answers 200 with that JSON; a
                          multipart/form-data body is also parsed with the standard
                          email package into "form": [{name, filename, content_type,
                          content_base64}, ...] (or "form_error")
  any      /headers/<n>   answers 200 with headers X-Long-1, X-Long-2, ... whose values
                          ("x" repeated, at most 1000 each) add up to n bytes
With --tls-cert/--tls-key it speaks HTTPS (the handshake runs in the connection's own
thread, with a timeout, so a silent client holds up no one).
Prints nothing; writes its port to the file given with --port-file once listening.
"""
import argparse, base64, email.parser, http.server, json, os, ssl, threading


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
        content_type = self.headers.get("Content-Type", "")
        if content_type.lower().startswith("multipart/form-data"):
            try:
                record["form"] = parse_form(content_type, body)
            except Exception as e:  # a malformed body is a finding, not a server failure
                record["form_error"] = repr(e)
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
        if path.startswith("/headers/"):
            self._body()
            try:
                size = int(path[len("/headers/"):])
            except ValueError:
                size = 0
            self.send_response(200)
            for line in range((size + 999) // 1000):
                self.send_header(f"X-Long-{line + 1}", "x" * min(1000, size - 1000 * line))
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", "3")
            self.end_headers()
            if not head:
                self.wfile.write(b"ok\n")
            return
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


def parse_form(content_type, body):
    """The fields of a multipart/form-data body as a standard parser reads them."""
    message = email.parser.BytesParser().parsebytes(
        b"Content-Type: " + content_type.encode("latin-1") + b"\r\n\r\n" + body)
    if not message.is_multipart() or message.defects:
        raise ValueError(f"not a clean multipart body: {message.defects}")
    fields = []
    for part in message.get_payload():
        if part.defects:
            raise ValueError(f"defective part: {part.defects}")
        fields.append({
            "name": part.get_param("name", header="content-disposition"),
            "filename": part.get_filename(),
            "content_type": part.get("Content-Type"),
            "content_base64": base64.b64encode(part.get_payload(decode=True) or b"").decode("ascii"),
        })
    return fields


class TlsServer(http.server.ThreadingHTTPServer):
    context = None

    def finish_request(self, request, client_address):
        request.settimeout(10)
        try:
            request = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return  # a client that refused our certificate
        super().finish_request(request, client_address)

    def handle_error(self, request, client_address):
        pass


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--records", required=True)
    p.add_argument("--port-file", required=True)
    p.add_argument("--tls-cert")
    p.add_argument("--tls-key")
    a = p.parse_args()
    if a.tls_cert:
        server = TlsServer(("127.0.0.1", 0), Handler)
        server.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        server.context.load_cert_chain(a.tls_cert, a.tls_key)
    else:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root, server.records = a.root, a.records
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(a.port_file + ".tmp", a.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
