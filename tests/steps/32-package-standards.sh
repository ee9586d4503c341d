#!/usr/bin/env bash
# Checks sample packages with the standards' own validators and with checkers written from the
# standards' descriptions: the sitemaps against the Sitemaps 0.9 XSD (xmllint --schema, the
# XSD shipped in the npm package "sitemap"), knowledge-graph.json with the jsonld processor
# (every triple in the default graph, no term dropped), llms.txt and llms-lite.txt in the
# llms.txt format and every address in every file as an RFC 3986 URI
# (tests/samples/check_package_standards.py). The packages are those of
# write_package_samples, written natively and, when the Windows build is there, under Wine.
# The "empty" case is a form without a name, which neither front end lets through.
# Writes $BCNK_RESULTS/steps/package-standards.xml; exits non-zero when any check failed or
# a checker could not run.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-standards.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

CASES=()
FAILURES=0

xml_escape() {
    local text="$1"
    text="${text//&/&amp;}"
    text="${text//</&lt;}"
    text="${text//>/&gt;}"
    text="${text//\"/&quot;}"
    printf '%s' "$text"
}

# record NAME OUTPUT_FILE STATUS
record() {
    local name="$1" output="$2" status="$3"
    if [[ "$status" -eq 0 ]]; then
        CASES+=("<testcase classname=\"PackageStandards\" name=\"$(xml_escape "$name")\"/>")
    else
        FAILURES=$((FAILURES + 1))
        echo "FAILED: $name" >&2
        head -c 4000 "$output" >&2
        local message
        message="$(head -c 4000 "$output" | tr -d '\000-\010\013\014\016-\037')"
        CASES+=("<testcase classname=\"PackageStandards\" name=\"$(xml_escape "$name")\"><failure message=\"check failed\">$(xml_escape "$message")</failure></testcase>")
    fi
}

# A checker that cannot run fails the step; it never passes by being absent.
NODE_DIR="$("$ROOT/tools/node-dir" 2>/dev/null)"
XSD="$NODE_DIR/node_modules/sitemap/schema/sitemap.xsd"
CHECKERS=0
{
    command -v xmllint && command -v node && command -v python3 &&
        [[ -s "$XSD" ]] && [[ -d "$NODE_DIR/node_modules/jsonld" ]]
} >"$WORK/log" 2>&1 || {
    echo "missing: xmllint, node, python3, $XSD or the jsonld package (run tools/setup)" >>"$WORK/log"
    CHECKERS=1
}
record "checkers available" "$WORK/log" "$CHECKERS"

check_build() {
    local label="$1" dir="$2" case_dir name log="$WORK/log" count=0
    for case_dir in "$dir"/*/; do
        name="$(basename "$case_dir")"
        [[ -d "$case_dir/package" && "$name" != "empty" ]] || continue
        count=$((count + 1))
        xmllint --noout --schema "$XSD" "$case_dir/package/sitemap.xml" \
            "$case_dir/package/ai-sitemap.xml" >"$log" 2>&1
        record "sitemaps XSD $label/$name" "$log" $?
        node "$ROOT/tests/samples/check_jsonld.js" "$NODE_DIR" \
            "$case_dir/package/knowledge-graph.json" >"$log" 2>&1
        record "jsonld default graph $label/$name" "$log" $?
        python3 "$ROOT/tests/samples/check_package_standards.py" "$case_dir" >"$log" 2>&1
        record "llms.txt format and RFC 3986 addresses $label/$name" "$log" $?
    done
    echo "no sample package was written" >"$log"
    record "packages checked $label" "$log" $((count == 0))
}

if [[ "$CHECKERS" -eq 0 ]]; then
    "$ROOT/build/write_package_samples" "$WORK/native" >"$WORK/log" 2>&1
    record "write samples native" "$WORK/log" $?
    check_build native "$WORK/native"

    WINDOWS="$ROOT/build-win/write_package_samples.exe"
    if [[ -e "$WINDOWS" ]] && command -v wine >/dev/null; then
        mkdir -p "$WORK/wine"
        (export WINEDEBUG=-all
         timeout 300 wine "$WINDOWS" "$(winepath -w "$WORK/wine" 2>/dev/null)") >"$WORK/log" 2>&1
        record "write samples wine" "$WORK/log" $?
        check_build wine "$WORK/wine"
    fi
fi

{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites><testsuite name=\"PackageStandards\" tests=\"${#CASES[@]}\" failures=\"$FAILURES\">"
    printf '%s\n' "${CASES[@]}"
    echo '</testsuite></testsuites>'
} >"$RESULTS_DIR/package-standards.xml"

echo "package standards: ${#CASES[@]} checks, $FAILURES failed" >&2
[[ "$FAILURES" -eq 0 ]]
