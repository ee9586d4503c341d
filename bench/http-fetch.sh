#!/usr/bin/env bash
# Fetch speed of Http::Get (libcurl backend) against one curl process fetching the same
# 1,000 small pages from a loopback nginx; prints requests per second of both and the ratio.
# Usage: bench/http-fetch.sh [build-dir]   (default: build)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
PAGES=1000
cmake --build "$BUILD" --target http_bench -j2 >/dev/null

WORK="$(mktemp -d /tmp/bcnk-http-bench.XXXXXX)"
NGINX_PID=""
cleanup() {
    [[ -n "$NGINX_PID" ]] && kill "$NGINX_PID" 2>/dev/null && wait "$NGINX_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

chmod 755 "$WORK"  # nginx workers run as an unprivileged user
mkdir -p "$WORK/site/p" "$WORK/logs"
for ((i = 0; i < PAGES; i++)); do
    printf '<!DOCTYPE html><html><head><title>Page %d</title></head><body><h1>Page %d</h1><p>%s</p></body></html>\n' \
        "$i" "$i" "$(printf 'word %.0s' {1..100})" >"$WORK/site/p/$i.html"
done
PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
cat >"$WORK/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $WORK/nginx.pid;
error_log $WORK/logs/error.log;
events { worker_connections 64; }
http {
    access_log off;
    keepalive_requests 100000;
    client_body_temp_path $WORK/tmp;
    types { text/html html; }
    server {
        listen 127.0.0.1:$PORT;
        root $WORK/site;
    }
}
CONF
nginx -c "$WORK/nginx.conf" -p "$WORK" &
NGINX_PID=$!
for _ in $(seq 1 50); do
    curl -s -o /dev/null "http://127.0.0.1:$PORT/p/0.html" && break
    sleep 0.1
done

BASE="http://127.0.0.1:$PORT"
for ((i = 0; i < PAGES; i++)); do
    printf 'url = "%s/p/%d.html"\noutput = "/dev/null"\n' "$BASE" "$i"
done >"$WORK/curl.conf"

echo "== Http::Get ($PAGES pages per iteration)"
BCNK_BENCH_BASE_URL="$BASE" "$BUILD/http_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$WORK/bench.json"
HTTP_RATE="$(python3 -c '
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
print("%.0f" % next(r["items_per_second"] for r in runs if r.get("aggregate_name") == "median"))
' "$WORK/bench.json")"
echo "median: $HTTP_RATE requests/s"

echo "== curl, one process, same $PAGES URLs"
hyperfine --warmup 2 --runs 10 --export-json "$WORK/curl.json" \
    "curl -s --config $WORK/curl.conf" >/dev/null
CURL_RATE="$(python3 -c '
import json, sys
print("%.0f" % (int(sys.argv[2]) / json.load(open(sys.argv[1]))["results"][0]["median"]))
' "$WORK/curl.json" "$PAGES")"
echo "median: $CURL_RATE requests/s"

python3 -c 'import sys; h, c = map(float, sys.argv[1:]); print("Http::Get / curl = %.2f" % (h / c))' \
    "$HTTP_RATE" "$CURL_RATE"
