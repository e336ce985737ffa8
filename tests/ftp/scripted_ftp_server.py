#!/usr/bin/python3
"""A tiny FTP server that plays one scripted exchange, for replies real servers rarely send.

Usage: scripted_ftp_server.py SCENARIO_FILE
SCENARIO_FILE holds a JSON list of steps:
  ["send", text]          send text (latin-1) on the control connection
  ["expect", prefix]      read one CR LF line; log it; stop unless it starts with prefix
  ["data_out", text]      connect to the last PORT address, send text (latin-1), close
  ["data_in", limit]      connect to the last PORT address, read until EOF (limit < 0) or
                          until limit bytes, then close; log the byte count and MD5
  ["data_open", text, rcvbuf]
                          connect to the last PORT address with a receive buffer of rcvbuf
                          bytes (0: the system's), send text, then keep the connection open
                          without reading until the end of the script (a stalled transfer)
  ["flood", count]        send count bytes "x" on the control connection
  ["sleep", seconds]      wait before the next step
  ["close"]               close the control connection
Prints the port first, then one log line per event; bytes of a command line that are no valid
UTF-8 are logged as \\xNN escapes, so tests can check them byte for byte. Everything is
bounded by time-outs.
"""
import hashlib
import json
import socket
import sys
import time


def log(text):
    print(text, flush=True)


def main():
    with open(sys.argv[1], encoding="utf-8") as scenario:
        steps = json.load(scenario)
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    server.settimeout(10)
    log(server.getsockname()[1])
    conn, _ = server.accept()
    conn.settimeout(10)
    pending = b""
    data_address = None
    held = []

    def read_line():
        nonlocal pending
        while b"\r\n" not in pending:
            chunk = conn.recv(65536)
            if not chunk:
                raise EOFError
            pending += chunk
        line, pending = pending.split(b"\r\n", 1)
        return line.decode("utf-8", "backslashreplace")

    try:
        for step in steps:
            op = step[0]
            if op == "send":
                conn.sendall(step[1].encode("latin-1"))
            elif op == "expect":
                line = read_line()
                log("> " + line)
                if not line.startswith(step[1]):
                    log("unexpected command")
                    break
                if line.startswith("PORT "):
                    parts = [int(p) for p in line[5:].split(",")]
                    data_address = (".".join(map(str, parts[:4])), parts[4] * 256 + parts[5])
            elif op == "data_out":
                data = socket.create_connection(data_address, timeout=10)
                data.sendall(step[1].encode("latin-1"))
                data.close()
            elif op == "data_in":
                limit = step[1]
                data = socket.create_connection(data_address, timeout=10)
                digest = hashlib.md5()
                total = 0
                while limit < 0 or total < limit:
                    chunk = data.recv(65536 if limit < 0 else min(65536, limit - total))
                    if not chunk:
                        break
                    digest.update(chunk)
                    total += len(chunk)
                data.close()
                log("data_in %d %s" % (total, digest.hexdigest()))
            elif op == "data_open":
                data = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
                if step[2] > 0:
                    data.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, step[2])
                data.settimeout(10)
                data.connect(data_address)
                data.sendall(step[1].encode("latin-1"))
                held.append(data)
                log("data_open")
            elif op == "flood":
                conn.sendall(b"x" * step[1])
            elif op == "sleep":
                time.sleep(step[1])
            elif op == "close":
                conn.close()
                log("closed")
                return
        # Wait for the client to go away, so nothing it still sends gets a reset.
        while True:
            line = read_line()
            log("> " + line)
    except (EOFError, OSError) as error:
        log("end " + type(error).__name__)


if __name__ == "__main__":
    main()
