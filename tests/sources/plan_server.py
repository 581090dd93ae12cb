#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A small web server for the plan source tests, on 127.0.0.1 and a free port.

Prints the port on the first line of its output. Stops when its standard input is closed,
and in any case after a fixed time, so a test that dies cannot leave it running.
"""
import gzip
import http.server
import os
import sys
import threading
import time

LIFETIME_SECONDS = 120
# How long a stalling answer keeps the connection open without sending anything more.
STALL_SECONDS = 20
AGENT = "Mozilla/5.0 Gecko/41.0 Firefox/41.0"
NOT_FOUND_PAGE = b"<html><body><h1>Not Found</h1></body></html>"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 10
    plan = b""

    def log_message(self, *args):
        pass

    def send_body(self, status, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/xml")
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def big_plan(self):
        # A valid plan grown past small limits by a long comment.
        padding = b"<!-- " + b"x" * 256 * 1024 + b" -->\n"
        return self.plan.replace(b"<Project", padding + b"<Project", 1)

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        if path in ("/plan.xml", "/dir/"):
            self.send_body(200, self.plan)
        elif path == "/gzip/plan.xml":
            self.send_body(200, gzip.compress(self.plan), [("Content-Encoding", "gzip")])
        elif path.startswith("/redirect/"):
            hops = int(path.split("/")[2])
            if hops == 0:
                self.send_body(200, self.plan)
            else:
                self.redirect("/redirect/%d/plan.xml" % (hops - 1))
        elif path == "/loop.xml":
            self.redirect("/loop.xml")
        elif path == "/to-file.xml":
            self.redirect("file://" + os.path.abspath(self.server.plan_path))
        elif path == "/missing.xml":
            self.send_body(404, NOT_FOUND_PAGE, [("Content-Type", "text/html")])
        elif path == "/status404/plan.xml":
            self.send_body(404, self.plan)
        elif path == "/empty.xml":
            self.send_body(200, b"")
        elif path == "/big.xml":
            self.send_body(200, self.big_plan())
        elif path == "/gzip/big.xml":
            self.send_body(200, gzip.compress(self.big_plan()), [("Content-Encoding", "gzip")])
        elif path == "/agent/plan.xml":
            accepted = "gzip" in self.headers.get("Accept-Encoding", "")
            if self.headers.get("User-Agent") == AGENT and accepted:
                self.send_body(200, self.plan)
            else:
                self.send_body(400, NOT_FOUND_PAGE, [("Content-Type", "text/html")])
        elif path == "/stall/before-headers.xml":
            time.sleep(STALL_SECONDS)
            self.close_connection = True
        elif path == "/stall/in-body.xml":
            self.send_response(200)
            self.send_header("Content-Length", str(len(self.plan)))
            self.end_headers()
            self.wfile.write(self.plan[:16])
            self.wfile.flush()
            time.sleep(STALL_SECONDS)
            self.close_connection = True
        elif path == "/slow/plan.xml":
            # Slow but steady: a piece every quarter of a second.
            self.send_response(200)
            self.send_header("Content-Length", str(len(self.plan)))
            self.end_headers()
            piece = len(self.plan) // 8 + 1
            for at in range(0, len(self.plan), piece):
                self.wfile.write(self.plan[at : at + piece])
                self.wfile.flush()
                time.sleep(0.25)
        elif path == "/endless.xml":
            # A plan that never ends: tasks as long as anyone reads them.
            self.send_response(200)
            self.end_headers()
            self.wfile.write(b"<Project><Tasks>")
            uid = 0
            try:
                while True:
                    piece = b"".join(b"<Task><UID>%d</UID><Name>Task %d</Name></Task>" % (uid + i, uid + i)
                                     for i in range(1, 501))
                    uid += 500
                    self.wfile.write(piece)
                    self.wfile.flush()
                    time.sleep(0.01)
            except (BrokenPipeError, ConnectionResetError):
                pass
            self.close_connection = True
        elif path == "/truncated.xml":
            self.send_response(200)
            self.send_header("Content-Length", str(len(self.plan)))
            self.end_headers()
            self.wfile.write(self.plan[: len(self.plan) // 2])
            self.wfile.flush()
            self.close_connection = True
        else:
            self.send_body(404, NOT_FOUND_PAGE, [("Content-Type", "text/html")])


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients that stop reading on purpose (limits, cut bodies) are expected


def main():
    plan_path = sys.argv[1]
    with open(plan_path, "rb") as f:
        Handler.plan = f.read()
    server = Server(("127.0.0.1", 0), Handler)
    server.plan_path = plan_path
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)

    def stop_when_input_closes():
        sys.stdin.buffer.read()
        os._exit(0)

    threading.Thread(target=stop_when_input_closes, daemon=True).start()
    threading.Event().wait(LIFETIME_SECONDS)
    os._exit(0)


if __name__ == "__main__":
    main()
