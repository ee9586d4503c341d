#!/usr/bin/env bash
# Our element tree against parse5's, a parser that follows the HTML standard's tree
# construction, on the extraction benchmark's development pages (bench/extract/parser-agreement):
# at most 1 % of the pages may place more than a tenth of their words in a different landmark.
# Writes $BCNK_RESULTS/steps/parser-agreement.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
LOG="$(mktemp /tmp/bcnk-parser-agreement-log.XXXXXX)"
trap 'rm -f "$LOG"' EXIT

JUNIT_CLASS=ParserAgreement
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"

"$ROOT/bench/extract/parser-agreement" --max-share 0.01 "$ROOT/build" >"$LOG" 2>&1
status=$?
cat "$LOG" >&2
record "element tree agrees with parse5 on the development pages" "$LOG" "$status"

write_results "$RESULTS_DIR/parser-agreement.xml"
[[ "$FAILURES" -eq 0 ]]
