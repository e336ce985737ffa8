#!/usr/bin/python3
"""Loopback FTP server for the FTP client tests: one user over a given home folder.

Usage: pyftpd_server.py HOME USER PASSWORD
Prints the port it listens on, then serves until it is killed.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    home, user, password = sys.argv[1:4]
    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, home, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0
    # Large receive chunks: the upload benchmark should measure the client, not this server.
    handler.dtp_handler.ac_in_buffer_size = 262144
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
