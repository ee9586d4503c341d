#!/usr/bin/env python3
"""Serves one folder over HTTP on 127.0.0.1 for the window program's end-to-end test and
screenshots. Picks a free port, writes it to --ready-file, and stops by itself after
--max-requests requests or --max-seconds seconds, whichever comes first."""
import argparse
import functools
import http.server
import pathlib
import time


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class CountingServer(http.server.ThreadingHTTPServer):
    served = 0

    def process_request(self, request, client_address):
        self.served += 1
        super().process_request(request, client_address)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--ready-file", required=True)
    parser.add_argument("--max-requests", type=int, default=3000)
    parser.add_argument("--max-seconds", type=float, default=900)
    args = parser.parse_args()

    handler = functools.partial(QuietHandler, directory=args.root)
    server = CountingServer(("127.0.0.1", 0), handler)
    server.timeout = 0.5
    ready = pathlib.Path(args.ready_file)
    ready.with_suffix(".tmp").write_text(str(server.server_address[1]))
    ready.with_suffix(".tmp").rename(ready)

    deadline = time.monotonic() + args.max_seconds
    while server.served < args.max_requests and time.monotonic() < deadline:
        server.handle_request()
    server.server_close()


if __name__ == "__main__":
    main()
