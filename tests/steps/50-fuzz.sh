#!/usr/bin/env bash
# Runs every libFuzzer target for a short, bounded time (30 s each by default).
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
exec "$ROOT/tools/fuzz" "${BCNK_FUZZ_SECONDS:-30}" --junit "$BCNK_RESULTS/steps/fuzz.xml"
