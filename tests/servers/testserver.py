"""Plumbing shared by the test servers: a threaded TCP server on 127.0.0.1 with an ephemeral port,
optionally TLS, that hands each parsed request to a handler function.

A server script calls serve(handle). The script prints its port as the first line on stdout and runs
until its standard input reaches end of file (the test that started it has finished or died).

    python3 <script> [--cert CERT.pem --key KEY.pem] [--stall-handshake]

--stall-handshake answers every connection with the start of a TLS record and then one byte every
2 s, as a server that stalls inside the handshake; the script's handler is never called.
"""

import argparse
import os
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time
import urllib.parse

MAX_HEADER = 64 * 1024


class Request:
    """One request: the raw bytes up to and including the blank line, and its parts."""

    def __init__(self, raw):
        self.raw = raw
        text = raw.decode("latin-1")
        lines = text.split("\r\n") if "\r\n" in text else text.split("\n")
        parts = lines[0].split(" ")
        self.method = parts[0]
        self.target = parts[1] if len(parts) > 1 else ""
        split = urllib.parse.urlsplit(self.target)  # proxy requests carry a whole URL
        self.path = split.path
        self.query = {k: v[0] for k, v in urllib.parse.parse_qs(split.query, keep_blank_values=True).items()}
        self.headers = []
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                self.headers.append((name, value.strip()))


class Connection:
    """What a handler answers through. `abrupt` ends a TLS connection without close_notify."""

    def __init__(self, sock, rfile):
        self.socket = sock
        self.rfile = rfile
        self.abrupt = False
        self.closed = False

    def send(self, data):
        if isinstance(data, str):
            data = data.encode("latin-1")
        self.socket.sendall(data)

    def respond(self, status, body=b"", headers=(), reason="Whatever"):
        if isinstance(body, str):
            body = body.encode("latin-1")
        head = "HTTP/1.0 %d %s\r\n" % (status, reason)
        for name, value in headers:
            head += "%s: %s\r\n" % (name, value)
        self.send(head.encode("latin-1") + b"\r\n" + body)

    def reset(self):
        """Ends the connection with a TCP reset instead of an orderly close."""
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.socket.close()
        self.closed = True

    def close(self):
        """Closes at once, without a response."""
        self.socket.close()
        self.closed = True


def read_request(rfile):
    raw = b""
    while len(raw) < MAX_HEADER:
        line = rfile.readline(MAX_HEADER)
        if not line:
            return None
        raw += line
        if line in (b"\r\n", b"\n"):
            return Request(raw)
    return None


def serve(handle, argv=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", help="serve TLS with this certificate (PEM)")
    parser.add_argument("--key", help="the certificate's private key (PEM)")
    parser.add_argument("--stall-handshake", action="store_true", help="drip a TLS record, a byte every 2 s")
    args = parser.parse_args(argv)

    context = None
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)

    class Handler(socketserver.BaseRequestHandler):
        def handle(self):
            sock = self.request
            if args.stall_handshake:
                try:
                    sock.recv(4096)  # the client hello
                    sock.sendall(b"\x16\x03\x03\x40\x00")  # a handshake record of 16 KiB follows...
                    for _ in range(1000):
                        time.sleep(2)
                        sock.sendall(b"\x02")  # ...one byte at a time
                except OSError:
                    pass
                return
            if context is not None:
                try:
                    sock = context.wrap_socket(sock, server_side=True)
                except (ssl.SSLError, OSError):
                    return  # the client refused our certificate, as some tests want
            rfile = sock.makefile("rb")
            conn = Connection(sock, rfile)
            try:
                request = read_request(rfile)
                if request is not None:
                    handle(request, conn)
            except (BrokenPipeError, ConnectionResetError, ssl.SSLError, socket.timeout):
                pass
            finally:
                rfile.close()
                if not conn.closed:
                    if isinstance(sock, ssl.SSLSocket) and not conn.abrupt:
                        try:
                            sock.settimeout(2)
                            sock = sock.unwrap()
                        except (OSError, ValueError):
                            pass
                    sock.close()

    class Server(socketserver.ThreadingTCPServer):
        daemon_threads = True
        allow_reuse_address = True
        request_queue_size = 64

        def handle_error(self, request, client_address):
            if not isinstance(sys.exc_info()[1], (ConnectionError, ssl.SSLError)):
                super().handle_error(request, client_address)

    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        sys.stdin.buffer.read()
    except KeyboardInterrupt:
        pass
    os._exit(0)
