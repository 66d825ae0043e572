#!/usr/bin/env python3
"""A quote service that is slow or never answers, for the update pass's exit test and benchmark.

    python3 quote_server.py [--page FILE] [--delay SECONDS] [--stall] [--log FILE]

Every GET is appended to --log (its target, one line) as soon as it arrives. With --stall the
request is never answered: the connection stays open until the client closes it. Otherwise the
answer, after --delay seconds, is HTTP 200 with the bytes of --page whatever the target.
"""

import argparse
import sys
import threading
import time

import testserver

parser = argparse.ArgumentParser()
parser.add_argument("--page")
parser.add_argument("--delay", type=float, default=0.0)
parser.add_argument("--stall", action="store_true")
parser.add_argument("--log")
args, rest = parser.parse_known_args()

page = b""
if args.page:
    with open(args.page, "rb") as f:
        page = f.read()
log_lock = threading.Lock()


def handle(request, conn):
    if args.log:
        with log_lock:
            with open(args.log, "a", encoding="latin-1") as log:
                log.write(request.target + "\n")
    if args.stall:
        conn.socket.settimeout(600)
        while conn.socket.recv(1024):
            pass
        return
    time.sleep(args.delay)
    conn.respond(200, page, [("Content-Type", "text/html"), ("Content-Length", str(len(page)))], "OK")


if __name__ == "__main__":
    testserver.serve(handle, rest)
