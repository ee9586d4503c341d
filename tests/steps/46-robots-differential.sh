#!/usr/bin/env bash
# Compares our robots.txt matcher (build/robots_verdicts) with the npm package robots-parser
# on generated robots.txt files and paths. Every disagreement is printed; the step fails on any
# that is not one of the deliberate differences tests/robots_diff/compare.js lists.
# Writes $BCNK_RESULTS/steps/robots-differential.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
JUNIT="$RESULTS_DIR/robots-differential.xml"
WORK="$(mktemp -d /tmp/bcnk-robots-diff.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

if ! command -v node >/dev/null; then
    echo "node is not installed" >&2
    printf '%s\n' '<?xml version="1.0" encoding="UTF-8"?>' \
        '<testsuites><testsuite name="RobotsDifferential" tests="1" failures="1"><testcase classname="RobotsDifferential" name="robots-parser agrees"><failure message="node is not installed"/></testcase></testsuite></testsuites>' \
        >"$JUNIT"
    exit 1
fi
timeout 600 node "$ROOT/tests/robots_diff/compare.js" "$ROOT/build/robots_verdicts" \
    "$("$ROOT/tools/node-dir")/node_modules" "$WORK/cases" "$JUNIT"
