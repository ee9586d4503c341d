#!/usr/bin/env bash
# Compares our RFC 9651 Dictionary parser (build/sf_dump) with the npm package
# structured-headers on generated and edge-case field values. Every disagreement is printed;
# the step fails on any that tests/sf_diff/compare.js does not document.
# Writes $BCNK_RESULTS/steps/structured-fields-differential.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
JUNIT="$RESULTS_DIR/structured-fields-differential.xml"
WORK="$(mktemp -d /tmp/bcnk-sf-diff.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

if ! command -v node >/dev/null; then
    echo "node is not installed" >&2
    printf '%s\n' '<?xml version="1.0" encoding="UTF-8"?>' \
        '<testsuites><testsuite name="StructuredFieldsDifferential" tests="1" failures="1"><testcase classname="StructuredFieldsDifferential" name="structured-headers agrees"><failure message="node is not installed"/></testcase></testsuite></testsuites>' \
        >"$JUNIT"
    exit 1
fi
timeout 600 node "$ROOT/tests/sf_diff/compare.js" "$ROOT/build/sf_dump" \
    "$("$ROOT/tools/node-dir")/node_modules" "$WORK/cases" "$JUNIT"
