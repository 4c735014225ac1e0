#!/usr/bin/python3
"""Local FTP server for the test suite (pyftpdlib): one user with full rights on a
temporary root. Writes its port to --port-file once listening."""
import argparse, logging, os
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


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
    server = FTPServer(("127.0.0.1", 0), handler)
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.socket.getsockname()[1]))
    os.replace(a.port_file + ".tmp", a.port_file)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
