#!/usr/bin/env python3
"""Serves hand-written quote pages to the quote-source tests, on 127.0.0.1 only.

Every folder below --root that holds a file named "routes" is one quote service and gets a
listening port of its own (an ephemeral one), so services that share request paths do not clash.
The routes file maps the exact request target (path and query, as the client sends it) to a file
of that folder:

    @name Yahoo Finance            # display name of the service, reported with the port
    /q?s=IBM        ibm.html
    /q?s=VOD.L      vod_l.html     # more routes ...
    /down?x=1       -  503         # "-" = empty body; an optional third column is the status
    /busy           -  429  Retry-After:30   # further columns are header lines "Name:value"
    /late           late.html  200  after=/q?s=IBM   # answered only once /q?s=IBM has been answered

A route with "after=TARGET" holds its answer until the same service has answered TARGET, so a test
can make one download finish after another without timing anything; when TARGET is not asked
within 5 seconds it answers 504 instead, which makes such a test fail rather than hang.

Lines that begin with "#" are comments. "@type TYPE" sets the Content-Type of the service's answers
(text/html when absent); "@https" marks a service whose real scheme is https: with --cert and --key
it is served over TLS, and the port line says so.

A target of the absolute form "http://host[:port]/path" (a request sent to a proxy) is looked up
by its path, so a service's port also serves as a proxy for tests. A target with no route is
answered with status 404 and a short body. After binding, the server
prints one line "<port>\t<display name>\t<scheme>" per service and then "READY" on stdout. Every request
is appended to the --log file as "<display name>\t<target>\t<request line>\t<User-Agent>\t<Accept>"
before it is answered, so a test that has read the response can count and inspect the requests. The server stops when stdin reaches end of
file (its parent exited) or on SIGTERM.
"""

import argparse
import http.server
import os
import signal
import ssl
import sys
import threading
import time


def load_routes(folder):
    name = os.path.basename(folder)
    routes = {}
    options = {"type": "text/html", "https": False}
    with open(os.path.join(folder, "routes"), encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("@name "):
                name = line[len("@name "):].strip()
                continue
            if line.startswith("@type "):
                options["type"] = line[len("@type "):].strip()
                continue
            if line == "@https":
                options["https"] = True
                continue
            parts = line.split()
            if len(parts) < 2:
                raise SystemExit("pages_server: bad route line in %s: %r" % (folder, raw))
            status = int(parts[2]) if len(parts) > 2 and parts[2].isdigit() else 200
            after = next((p[len("after="):] for p in parts[3:] if p.startswith("after=")), None)
            headers = [tuple(p.split(":", 1)) for p in parts[3:] if ":" in p and not p.startswith("after=")]
            routes[parts[0]] = (parts[1], status, headers, after)
    return name, routes, options


def make_handler(folder, service, routes, options, log_path, log_lock):
    answered = {}  # target -> Event, set once that target's answer has been written
    answered_lock = threading.Lock()

    def answered_event(target):
        with answered_lock:
            return answered.setdefault(target, threading.Event())

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            with log_lock:
                with open(log_path, "a", encoding="utf-8") as log:
                    log.write("%s\t%s\t%s\t%s\t%s\n" % (service, self.path, self.requestline,
                                                        self.headers.get("User-Agent", ""),
                                                        self.headers.get("Accept", "")))
            # Asked as a proxy ("GET http://host/path"), the server answers for the path.
            target = self.path
            if target.startswith("http://"):
                slash = target.find("/", len("http://"))
                target = target[slash:] if slash != -1 else "/"
            route = routes.get(target)
            if DELAY[0] > 0:
                time.sleep(DELAY[0])
            headers = []
            if route is None:
                body, status = ("no page for %s\n" % self.path).encode("utf-8"), 404
            else:
                file_name, status, headers, after = route
                body = b""
                if after is not None and not answered_event(after).wait(5):
                    file_name, status, headers = "-", 504, []
                if file_name != "-":
                    with open(os.path.join(folder, file_name), "rb") as f:
                        body = f.read()
            self.send_response(status)
            self.send_header("Content-Type", options["type"])
            self.send_header("Content-Length", str(len(body)))
            for name, value in headers:
                self.send_header(name, value)
            self.end_headers()
            self.wfile.write(body)
            self.wfile.flush()
            answered_event(target).set()

        def log_message(self, *args):
            pass

    return Handler


DELAY = [0.0]  # --delay: how long every answer waits, for a demo that shows a pass in progress


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--cert", help="serve the @https services over TLS with this certificate (PEM)")
    parser.add_argument("--key", help="the certificate's private key (PEM)")
    parser.add_argument("--delay", type=float, default=0, help="seconds to wait before each answer")
    args = parser.parse_args()
    DELAY[0] = args.delay

    context = None
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)

    class TlsServer(http.server.ThreadingHTTPServer):
        # The handshake happens in the request's thread, on its first read, so a client that
        # refuses the certificate cannot stall the accepting thread.
        def get_request(self):
            sock, address = super().get_request()
            return context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), address

        def handle_error(self, request, client_address):
            if not isinstance(sys.exc_info()[1], (ConnectionError, ssl.SSLError)):
                super().handle_error(request, client_address)

    log_lock = threading.Lock()
    servers = []
    for entry in sorted(os.listdir(args.root)):
        folder = os.path.join(args.root, entry)
        if not os.path.isfile(os.path.join(folder, "routes")):
            continue
        service, routes, options = load_routes(folder)
        handler = make_handler(folder, service, routes, options, args.log, log_lock)
        tls = options["https"] and context is not None
        server = (TlsServer if tls else http.server.ThreadingHTTPServer)(("127.0.0.1", 0), handler)
        server.daemon_threads = True
        servers.append((service, server, "https" if tls else "http"))

    for service, server, scheme in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
        sys.stdout.write("%d\t%s\t%s\n" % (server.server_address[1], service, scheme))
    sys.stdout.write("READY\n")
    sys.stdout.flush()

    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())

    def watch_parent():
        sys.stdin.read()
        done.set()

    threading.Thread(target=watch_parent, daemon=True).start()
    done.wait()
    # The serving threads are daemons: leaving main ends them without waiting for their poll.


if __name__ == "__main__":
    main()
