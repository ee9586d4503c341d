#!/usr/bin/env python3
"""Serves one directory of static files on 127.0.0.1 for tools/run and the console tests.

Binds a free port, writes it to --port-file once it accepts connections, and ends by itself
after --max-seconds, after --max-requests, or as soon as the process that started it is
gone, so a forgotten server never outlives its run. Stop it earlier with SIGTERM by its
process id.
"""
import argparse
import functools
import http.server
import os
import signal
import sys
import threading
import time


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--max-seconds", type=float, default=3600)
    parser.add_argument("--max-requests", type=int, default=50000)
    args = parser.parse_args()

    handler = functools.partial(QuietHandler, directory=os.path.abspath(args.root))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    served = 0
    lock = threading.Lock()

    def count_request(request, client_address):
        nonlocal served
        with lock:
            served += 1
        return True

    server.verify_request = count_request
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2},
                              daemon=True)
    thread.start()
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as file:
        file.write(str(server.server_address[1]))
    os.replace(temporary, args.port_file)

    parent = os.getppid()
    deadline = time.monotonic() + args.max_seconds
    try:
        while time.monotonic() < deadline and served < args.max_requests:
            if os.getppid() != parent:
                break
            time.sleep(0.2)
    finally:
        server.shutdown()
        server.server_close()


if __name__ == "__main__":
    main()
