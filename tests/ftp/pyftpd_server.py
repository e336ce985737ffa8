#!/usr/bin/python3
"""Loopback FTP server for the FTP client tests: one user over a given home folder.

Usage: pyftpd_server.py HOME USER PASSWORD [--tls CERT KEY] [--refuse CMD,...]
                        [--masquerade ADDRESS]
  --tls         explicit FTP over TLS with that certificate and key (PEM); TLS is then
                required on the control and the data connections
  --refuse      commands the server does not know (500), e.g. PORT,EPRT for passive only
  --masquerade  the address PASV replies name instead of the server's own
  --tz          the server's time zone (e.g. Asia/Kathmandu); with --list-local-times LIST
                shows the times of that zone, while MDTM stays in UTC
Prints the port it listens on, then serves until it is killed.
"""
import argparse
import logging
import os
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("home")
    parser.add_argument("user")
    parser.add_argument("password")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--refuse", default="")
    parser.add_argument("--masquerade")
    parser.add_argument("--tz")
    parser.add_argument("--list-local-times", action="store_true")
    args = parser.parse_args()
    if args.tz:
        os.environ["TZ"] = args.tz
        time.tzset()
    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.home, perm="elradfmwMT")
    base = TLS_FTPHandler if args.tls else FTPHandler
    refused = [c.strip().upper() for c in args.refuse.split(",") if c.strip()]

    class Handler(base):
        proto_cmds = {k: v for k, v in base.proto_cmds.items() if k not in refused}

    if args.list_local_times:
        Handler.use_gmt_times = False

        def ftp_MDTM(self, path):
            self.use_gmt_times = True
            try:
                return base.ftp_MDTM(self, path)
            finally:
                self.use_gmt_times = False

        Handler.ftp_MDTM = ftp_MDTM
    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    # Names that are not UTF-8 keep their bytes, as a Linux server's disk holds them.
    Handler.unicode_errors = "surrogateescape"
    if args.tls:
        Handler.certfile = args.tls[0]
        Handler.keyfile = args.tls[1]
        Handler.tls_control_required = True
        Handler.tls_data_required = True
        # Without a session id context OpenSSL refuses to resume the control connection's
        # session on a data connection, and clients that offer it (as they should) fail.
        Handler.ssl_context = Handler.get_ssl_context()
        Handler.ssl_context.set_session_id(b"quillon-tests")
    if args.masquerade:
        Handler.masquerade_address = args.masquerade
    # Large receive chunks: the upload benchmark should measure the client, not this server.
    Handler.dtp_handler.ac_in_buffer_size = 262144
    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
