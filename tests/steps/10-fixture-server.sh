#!/usr/bin/env bash
# Checks the loopback fixture server itself (site serving, routes, request log, shutdown) on
# a throw-away site tree. Writes $BCNK_RESULTS/steps/fixture-server.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
timeout 300 python3 "$ROOT/tests/fixture/server_test.py" --junit "$RESULTS_DIR/fixture-server.xml"
