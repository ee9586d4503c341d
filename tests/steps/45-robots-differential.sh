#!/usr/bin/env bash
# Compares our robots.txt matcher (build/robots_verdicts) with the npm package robots-parser
# on generated robots.txt files and paths. Every disagreement is printed; the step fails on any
# that is not one of the deliberate differences tests/robots_diff/compare.js lists.
# Writes $BCNK_RESULTS/steps/robots-differential.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-robots-diff.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

xml_escape() {
    local text="$1"
    text="${text//&/&amp;}"
    text="${text//</&lt;}"
    text="${text//>/&gt;}"
    text="${text//\"/&quot;}"
    printf '%s' "$text"
}

NODE_DIR="$("$ROOT/tools/node-dir" 2>/dev/null)"
TOOL="$ROOT/build/robots_verdicts"
status=0
if ! command -v node >/dev/null; then
    echo "node is not installed" >"$WORK/log"
    status=1
elif [[ ! -d "$NODE_DIR/node_modules/robots-parser" ]]; then
    echo "robots-parser is not installed under $NODE_DIR (run tools/setup)" >"$WORK/log"
    status=1
elif [[ ! -x "$TOOL" ]]; then
    echo "$TOOL was not built" >"$WORK/log"
    status=1
else
    timeout 600 node "$ROOT/tests/robots_diff/compare.js" "$TOOL" "$NODE_DIR/node_modules" \
        "$WORK/cases" >"$WORK/log" 2>&1
    status=$?
fi
cat "$WORK/log" >&2

{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites><testsuite name=\"RobotsDifferential\" tests=\"1\" failures=\"$((status != 0))\">"
    if [[ "$status" -eq 0 ]]; then
        echo "<testcase classname=\"RobotsDifferential\" name=\"robots-parser agrees\"/>"
    else
        message="$(grep -m 40 -e UNEXPECTED -e MISSING -e 'not installed' -e 'not built' \
            -e '^compared' "$WORK/log" | tr -d '\000-\010\013\014\016-\037')"
        echo "<testcase classname=\"RobotsDifferential\" name=\"robots-parser agrees\"><failure message=\"disagreements\">$(xml_escape "$message")</failure></testcase>"
    fi
    echo '</testsuite></testsuites>'
} >"$RESULTS_DIR/robots-differential.xml"
exit "$status"
