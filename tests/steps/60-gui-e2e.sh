#!/usr/bin/env bash
# End-to-end test of Beaconsmith.exe under Xvfb and Wine: a driver program operates the real
# windows (scan of the sample site, both lists, sorting, tabs, Generate, Save Report, Settings,
# closing during a scan), then check_e2e.py checks the package and the report on disk, bcnk.ini
# and debug.log.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS"
source "$ROOT/tests/gui/gui_session.sh"

WORK="$(mktemp -d /tmp/bcnk-gui-e2e.XXXXXX)"
finish() { gui_cleanup; rm -rf "$WORK"; }
trap finish EXIT

fail_early() {
    echo "gui-e2e: $1" >&2
    printf '<testsuite name="gui-e2e" tests="1" failures="1">\n  <testcase classname="gui-e2e" name="set-up"><failure message="%s"/></testcase>\n</testsuite>\n' \
        "$1" >"$RESULTS/gui-e2e.xml"
    exit 1
}

for file in build-win/Beaconsmith.exe build-win/bcnk_gui_driver.exe; do
    [[ -f "$ROOT/$file" ]] || fail_early "$file was not built"
done
gui_start_display || fail_early "Xvfb did not start"
gui_start_site "$WORK" || fail_early "sample site server did not start"
gui_make_prefix "$WORK/prefix" 96 || fail_early "Wine prefix could not be made"
gui_install_app "$WORK/app"
cp "$ROOT/build-win/bcnk_gui_driver.exe" "$WORK/"

timeout 300 wine "$WORK/bcnk_gui_driver.exe" e2e "$(winepath -w "$WORK/app/Beaconsmith.exe")" \
    "$GUI_SITE" >"$WORK/report.txt" 2>"$WORK/driver.err"
driver_exit=$?
cat "$WORK/report.txt" | grep -v '^page=' >&2

python3 "$ROOT/tests/gui/check_e2e.py" --report "$WORK/report.txt" --app-dir "$WORK/app" \
    --site "$GUI_SITE" --junit "$RESULTS/gui-e2e.xml" --driver-exit "$driver_exit"
