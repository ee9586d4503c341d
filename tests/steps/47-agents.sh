#!/usr/bin/env bash
# What AI crawlers actually get: the server's answer per crawler and the render check, through
# the console's JSON, natively (with Debian's Chromium) and under Wine with the stand-in
# browser. Writes $BCNK_RESULTS/steps/agents.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
if [[ ! -x "$ROOT/build/beaconsmith" ]]; then
    echo "47-agents: build/beaconsmith is missing" >&2
    exit 1
fi
arguments=(--native "$ROOT/build/beaconsmith")
if [[ -f "$ROOT/build-win/beaconsmith-cli.exe" && -f "$ROOT/build-win/bcnk_fake_browser.exe" ]]; then
    export WINEPREFIX="${WINEPREFIX:-/tmp/bcnk-wine-$(id -u)}" WINEDEBUG="${WINEDEBUG:--all}"
    arguments+=(--wine "$ROOT/build-win/beaconsmith-cli.exe"
                --fake-browser "$(winepath -w "$ROOT/build-win/bcnk_fake_browser.exe")")
else
    echo "47-agents: the Windows console program or the stand-in browser is missing" >&2
    exit 1
fi
exec python3 "$ROOT/tests/e2e/agents_e2e.py" --results "$RESULTS_DIR/agents.xml" "${arguments[@]}"
