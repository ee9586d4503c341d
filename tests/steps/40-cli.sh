#!/usr/bin/env bash
# End-to-end tests of the console program: the native build, and the Windows console
# executable under Wine when the cross build made one. Writes $BCNK_RESULTS/steps/cli.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
programs=()
if [[ -x "$ROOT/build/beaconsmith" ]]; then
    programs+=(--native "$ROOT/build/beaconsmith")
else
    echo "40-cli: build/beaconsmith is missing" >&2
    exit 1
fi
if [[ -f "$ROOT/build-win/beaconsmith-cli.exe" ]]; then
    export WINEPREFIX="${WINEPREFIX:-/tmp/bcnk-wine-$(id -u)}" WINEDEBUG="${WINEDEBUG:--all}"
    programs+=(--wine "$ROOT/build-win/beaconsmith-cli.exe")
else
    echo "40-cli: build-win/beaconsmith-cli.exe is missing" >&2
    exit 1
fi
exec python3 "$ROOT/tests/e2e/cli_e2e.py" --results "$RESULTS_DIR/cli.xml" "${programs[@]}"
