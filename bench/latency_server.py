#!/usr/bin/env python3
"""Serves a static site on 127.0.0.1 and answers every request only after a fixed pause, as a
distant server would: the crawl benchmarks measure what several requests in flight gain.

    latency_server.py ROOT --delay-ms 20 --port-file FILE [--max-seconds 3600]

HTTP/1.1 with kept-alive connections and any number of them at once; GET only; "/" and
directories answer with their index.html; anything outside ROOT is 404. The port is written
to FILE once the server listens. It stops after --max-seconds or on SIGTERM.
"""
import argparse
import asyncio
import os
import signal

TYPES = {".html": "text/html; charset=utf-8", ".txt": "text/plain; charset=utf-8",
         ".xml": "application/xml", ".json": "application/json"}
MAX_HEAD = 16384
IDLE_SECONDS = 30


def resolve(root, target):
    path = target.split("?", 1)[0].split("#", 1)[0]
    full = os.path.realpath(os.path.join(root, path.lstrip("/")))
    if full != root and not full.startswith(root + os.sep):
        return None
    if os.path.isdir(full):
        full = os.path.join(full, "index.html")
    return full if os.path.isfile(full) else None


async def serve(reader, writer, root, delay):
    try:
        while True:
            head = await asyncio.wait_for(reader.readuntil(b"\r\n\r\n"), IDLE_SECONDS)
            if len(head) > MAX_HEAD:
                break
            lines = head.decode("latin-1").split("\r\n")
            parts = lines[0].split(" ")
            close = any(line.lower() == "connection: close" for line in lines[1:])
            await asyncio.sleep(delay)
            full = resolve(root, parts[1]) if len(parts) == 3 and parts[0] == "GET" else None
            if full is None:
                status, body, kind = "404 Not Found", b"not found\n", "text/plain"
            else:
                with open(full, "rb") as handle:
                    body = handle.read()
                status = "200 OK"
                kind = TYPES.get(os.path.splitext(full)[1], "application/octet-stream")
            writer.write(("HTTP/1.1 %s\r\nContent-Type: %s\r\nContent-Length: %d\r\n%s\r\n" %
                          (status, kind, len(body), "Connection: close\r\n" if close else "")
                          ).encode("latin-1") + body)
            await writer.drain()
            if close:
                break
    except (asyncio.IncompleteReadError, asyncio.LimitOverrunError, asyncio.TimeoutError,
            ConnectionError):
        pass
    finally:
        writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--delay-ms", type=int, default=20)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--max-seconds", type=int, default=3600)
    args = parser.parse_args()
    root = os.path.realpath(args.root)
    delay = args.delay_ms / 1000.0

    server = await asyncio.start_server(lambda r, w: serve(r, w, root, delay), "127.0.0.1", 0,
                                        backlog=64)
    with open(args.port_file + ".tmp", "w") as handle:
        handle.write(str(server.sockets[0].getsockname()[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    stop = asyncio.Event()
    asyncio.get_running_loop().add_signal_handler(signal.SIGTERM, stop.set)
    try:
        await asyncio.wait_for(stop.wait(), args.max_seconds)
    except asyncio.TimeoutError:
        pass
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
