#!/usr/bin/python3
"""Local FTP server for the test suite (pyftpdlib): one user with full rights on a
temporary root. Writes its port to --port-file once listening.

An upload to a file whose name starts with "abort-" loses its data connection after
the first 64 KiB, as a server that gives up mid-transfer would."""
import argparse, logging, os
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

ABORT_PREFIX = "abort-"
ABORT_AFTER = 64 * 1024


class AbortingDTPHandler(DTPHandler):
    def handle_read(self):
        super().handle_read()
        name = os.path.basename(getattr(self.file_obj, "name", ""))
        if not self._closed and name.startswith(ABORT_PREFIX) and self.tot_bytes_received >= ABORT_AFTER:
            self._resp = ("426 Transfer aborted by the test server.", logging.info)
            self.close()

    handle_read_event = handle_read  # pyftpdlib calls this name


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", default="zel")
    p.add_argument("--password", default="secret")
    p.add_argument("--port-file", required=True)
    a = p.parse_args()
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(a.user, a.password, a.root, perm="elradfmwMT")
    # A user whose password is the text "0", which scripts can pass only with a user name.
    authorizer.add_user("zero", "0", a.root, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    handler.dtp_handler = AbortingDTPHandler
    server = FTPServer(("127.0.0.1", 0), handler)
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.socket.getsockname()[1]))
    os.replace(a.port_file + ".tmp", a.port_file)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
