#!/usr/bin/env bash
# Checks the package files of hostile scans with readers that are not ours: every JSON file
# with python3 -m json.tool, every XML file with xmllint --noout, and the unescaped values with
# tests/samples/check_package_samples.py. The files are written by the native helper and, when
# the Windows build is there, by the same helper under Wine.
# Writes $BCNK_RESULTS/steps/generated-files.xml; exits non-zero when any check failed.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-generated.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

JUNIT_CLASS=GeneratedFiles
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"

# check_build LABEL DIR: every file the helper wrote below DIR.
check_build() {
    local label="$1" dir="$2" file name log="$WORK/log"
    local found=0
    for file in "$dir"/*/package/*.json; do
        [[ -e "$file" ]] || continue
        found=1
        name="$label/${file#"$dir"/}"
        python3 -m json.tool "$file" >/dev/null 2>"$log"
        record "json.tool $name" "$log" $?
    done
    for file in "$dir"/*/package/*.xml; do
        [[ -e "$file" ]] || continue
        name="$label/${file#"$dir"/}"
        xmllint --noout "$file" >"$log" 2>&1
        record "xmllint $name" "$log" $?
    done
    # The IIS set-up file must stay XML whatever the scan held (a punycode host's "--").
    for file in "$dir"/*/package/server/web.config; do
        [[ -e "$file" ]] || continue
        name="$label/${file#"$dir"/}"
        xmllint --noout "$file" >"$log" 2>&1
        record "xmllint $name" "$log" $?
    done
    for case_dir in "$dir"/*/; do
        [[ -d "$case_dir/package" ]] || continue
        name="$label/$(basename "$case_dir")"
        python3 "$ROOT/tests/samples/check_package_samples.py" "$case_dir" >"$log" 2>&1
        record "values $name" "$log" $?
    done
    if [[ "$found" -eq 0 ]]; then
        echo "no JSON files were written" >"$log"
        record "files written $label" "$log" 1
    fi
}

write_package_samples native "$WORK/native"
check_build native "$WORK/native"

if write_package_samples wine "$WORK/wine"; then
    check_build wine "$WORK/wine"
    # Both builds must write the same bytes; they run moments apart, so on the same date.
    diff -r "$WORK/native" "$WORK/wine" >"$WORK/log" 2>&1
    record "native and wine files identical" "$WORK/log" $?
fi

write_results "$RESULTS_DIR/generated-files.xml"

echo "generated files: ${#CASES[@]} checks, $FAILURES failed" >&2
[[ "$FAILURES" -eq 0 ]]
