#!/usr/bin/env python3
"""The web tests' server. The request path picks the behaviour:

  /echo                     200, the raw request bytes as the body
  /redirect?code=C&to=URL   status C (300-303) with "Location: URL"
  /chain/N                  302 to /chain/N-1 down to /chain/0, which answers 200 "end of chain"
  /lower-location           302 whose only location field is spelled "location"
  /duplicate                302 with two Location fields, /echo?first and /echo?second
  /two-blanks               "HTTP/1.0  302 Found": two blanks before the code
  /no-blank-line            a header without the blank line, then close
  /status/C                 status C with a short body
  /bytes/N                  200 with a body of N bytes
  /zero                     200 with a body that holds a zero byte
  /pieces                   200 with the body sent in two small pieces 0.2 s apart
  /hit/NAME                 200 "hit K", the K-th request for NAME; /hits/NAME tells K without counting
  /silent                   reads the request and says nothing until the client goes
  /reset                    reads the request and resets the connection
  /close                    reads the request and closes without answering
  /chunked                  HTTP/1.1 200, "Transfer-Encoding: chunked" with extensions and a trailer;
                            the body "LastTrade=211.64\n" has a chunk boundary inside the number
  /chunked-broken           a chunk size line that is no hex number
  /chunked-cut              chunks, then the close before the last chunk
  /short                    "Content-Length: 100" and 40 bytes, then the close
  /drip                     "Content-Length: 1000", then one byte every 2 s until the client goes;
                            counts like /hit/drip
  /slow-body                "Content-Length: 1000", the body in 10 pieces 0.1 s apart
  /big-header?kb=N          about N KiB of header fields, then "big header body"
  /lf-only                  header lines that end in LF alone
  /encoded                  "Content-Encoding: gzip"
  /busy/NAME?code=C&after=S status C (429) with "Retry-After: S" when given; counts like /hit/NAME
Query "abrupt" ends a TLS connection without close_notify.
"""

import threading
import time

from testserver import serve

PATTERN = bytes(range(ord("a"), ord("z") + 1)) * (1 << 16)  # 1.6 MiB to slice bodies from
hits = {}
hits_lock = threading.Lock()


def send_bytes(conn, count):
    conn.send("HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % count)
    view = memoryview(PATTERN)
    while count > 0:
        piece = min(count, len(PATTERN))
        conn.socket.sendall(view[:piece])
        count -= piece


def handle(request, conn):
    path, query = request.path, request.query
    conn.abrupt = "abrupt" in query
    if path == "/echo":
        conn.respond(200, request.raw, [("Content-Type", "text/plain")], "OK")
    elif path == "/redirect":
        conn.respond(int(query.get("code", "302")), "redirect body", [("Location", query.get("to", "/echo"))])
    elif path.startswith("/chain/"):
        n = int(path[len("/chain/"):])
        if n > 0:
            conn.respond(302, "redirect %d" % n, [("Location", "/chain/%d" % (n - 1))])
        else:
            conn.respond(200, "end of chain", reason="OK")
    elif path == "/lower-location":
        conn.respond(302, "lower-case location", [("location", "/echo")])
    elif path == "/duplicate":
        conn.respond(302, "duplicate", [("Location", "/echo?first"), ("Location", "/echo?second")])
    elif path == "/two-blanks":
        conn.send("HTTP/1.0  302 Found\r\nLocation: /echo\r\n\r\ntwo blanks body")
    elif path == "/no-blank-line":
        conn.send("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n")
    elif path.startswith("/status/"):
        code = int(path[len("/status/"):])
        conn.respond(code, "status %d body" % code)
    elif path.startswith("/bytes/"):
        send_bytes(conn, int(path[len("/bytes/"):]))
    elif path == "/zero":
        conn.respond(200, b"before\0after", reason="OK")
    elif path == "/pieces":
        conn.send("HTTP/1.0 200 OK\r\n\r\nfirst piece|")
        time.sleep(0.2)
        conn.send("second piece")
    elif path.startswith("/hit/"):
        with hits_lock:
            hits[path] = hits.get(path, 0) + 1
            count = hits[path]
        conn.respond(200, "hit %d" % count, reason="OK")
    elif path.startswith("/hits/"):
        with hits_lock:
            count = hits.get("/hit/" + path[len("/hits/"):], 0)
        conn.respond(200, str(count), reason="OK")
    elif path == "/chunked":
        conn.send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n")
        for piece in ("d;name=value\r\nLastTrade=211\r\n", "4 ; q=\"x\"\r\n.64\n\r\n", "0\r\nX-Trailer: t\r\n\r\n"):
            conn.send(piece)
            time.sleep(0.05)
    elif path == "/chunked-broken":
        conn.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\nzz\r\nmore\r\n0\r\n\r\n")
    elif path == "/chunked-cut":
        conn.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\n")
    elif path == "/short":
        conn.send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n" + "x" * 40)
    elif path == "/drip":
        with hits_lock:
            hits["/hit/drip"] = hits.get("/hit/drip", 0) + 1
        conn.send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n")
        for _ in range(1000):
            time.sleep(2)
            conn.send("x")  # fails once the client has gone
    elif path == "/slow-body":
        conn.send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n")
        for _ in range(10):
            time.sleep(0.1)
            conn.send("y" * 100)
    elif path == "/big-header":
        fields = "".join("X-Filler-%05d: %s\r\n" % (i, "f" * 80) for i in range(int(query["kb"]) * 1024 // 100))
        conn.send("HTTP/1.0 200 OK\r\n" + fields + "Content-Length: 15\r\n\r\nbig header body")
    elif path == "/lf-only":
        conn.send("HTTP/1.1 200 OK\nContent-Type: text/plain\nContent-Length: 7\n\nlf only")
    elif path == "/encoded":
        conn.respond(200, b"\x1f\x8b\x08\x00gzipped", [("Content-Encoding", "gzip")], "OK")
    elif path.startswith("/busy/"):
        with hits_lock:
            key = "/hit/" + path[len("/busy/"):]
            hits[key] = hits.get(key, 0) + 1
        headers = [("Retry-After", query["after"])] if "after" in query else []
        conn.respond(int(query.get("code", "429")), "Edge: Too Many Requests", headers)
    elif path == "/silent":
        conn.socket.settimeout(60)
        while conn.socket.recv(1024):
            pass
    elif path == "/reset":
        conn.reset()
    elif path == "/close":
        conn.close()
    else:
        conn.respond(404, "no such test page")


if __name__ == "__main__":
    serve(handle)
