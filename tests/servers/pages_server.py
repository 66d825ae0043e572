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

Lines that begin with "#" are comments; columns after the third are ignored.

A target of the absolute form "http://host[:port]/path" (a request sent to a proxy) is looked up
by its path, so a service's port also serves as a proxy for tests. A target with no route is
answered with status 404 and a short body. After binding, the server
prints one line "<port>\t<display name>" per service and then "READY" on stdout. Every request
is appended to the --log file as "<display name>\t<target>" before it is answered, so a test
that has read the response can count the requests. The server stops when stdin reaches end of
file (its parent exited) or on SIGTERM.
"""

import argparse
import http.server
import os
import signal
import sys
import threading


def load_routes(folder):
    name = os.path.basename(folder)
    routes = {}
    with open(os.path.join(folder, "routes"), encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("@name "):
                name = line[len("@name "):].strip()
                continue
            parts = line.split()
            if len(parts) < 2:
                raise SystemExit("pages_server: bad route line in %s: %r" % (folder, raw))
            status = int(parts[2]) if len(parts) > 2 and parts[2].isdigit() else 200
            routes[parts[0]] = (parts[1], status)
    return name, routes


def make_handler(folder, service, routes, log_path, log_lock):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            with log_lock:
                with open(log_path, "a", encoding="utf-8") as log:
                    log.write("%s\t%s\n" % (service, self.path))
            # Asked as a proxy ("GET http://host/path"), the server answers for the path.
            target = self.path
            if target.startswith("http://"):
                slash = target.find("/", len("http://"))
                target = target[slash:] if slash != -1 else "/"
            route = routes.get(target)
            if route is None:
                body, status = ("no page for %s\n" % self.path).encode("utf-8"), 404
            else:
                file_name, status = route
                body = b""
                if file_name != "-":
                    with open(os.path.join(folder, file_name), "rb") as f:
                        body = f.read()
            self.send_response(status)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    log_lock = threading.Lock()
    servers = []
    for entry in sorted(os.listdir(args.root)):
        folder = os.path.join(args.root, entry)
        if not os.path.isfile(os.path.join(folder, "routes")):
            continue
        service, routes = load_routes(folder)
        handler = make_handler(folder, service, routes, args.log, log_lock)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        server.daemon_threads = True
        servers.append((service, server))

    for service, server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
        sys.stdout.write("%d\t%s\n" % (server.server_address[1], service))
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
