#!/usr/bin/env bash
# Link discovery on a real site: the Python manual (python3.11-doc) served by nginx on
# loopback addresses, our console program's pages against wget's, plain and behind
# redirects. Writes $BCNK_RESULTS/steps/real-site.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
exec python3 "$ROOT/tests/e2e/real_site.py" --program "$ROOT/build/beaconsmith" \
    --results "$RESULTS_DIR/real-site.xml"
