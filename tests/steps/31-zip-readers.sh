#!/usr/bin/env bash
# Reads back archives and whole packages with unzip -t, Python's zipfile and bsdtar. They
# are written by the native helper and, when the Windows build is there, by the same helper
# under Wine, so both file-writing paths are covered.
# Writes $BCNK_RESULTS/steps/zip-readers-*.xml; exits non-zero when any check failed.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-zip-readers.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
FAILED=0

# A helper that cannot write its samples still leaves a failing result behind.
write_failure() {
    local label="$1" log="$2"
    local message
    message="$(head -c 4000 "$log" | tr -d '\000-\010\013\014\016-\037' |
               sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g')"
    cat >"$RESULTS_DIR/zip-readers-$label.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<testsuites><testsuite name="ZipReaders $label" tests="1" failures="1">
<testcase classname="ZipReaders" name="$label samples written"><failure message="helper failed">$message</failure></testcase>
</testsuite></testsuites>
XML
    cat "$log" >&2
    FAILED=1
}

check() {
    local label="$1" dir="$2"
    python3 "$ROOT/tests/samples/check_zip_samples.py" "$label" "$dir" \
        "$RESULTS_DIR/zip-readers-$label.xml" || FAILED=1
}

mkdir -p "$WORK/native"
if "$ROOT/build/write_zip_samples" "$WORK/native" >"$WORK/native.log" 2>&1; then
    check native "$WORK/native"
else
    write_failure native "$WORK/native.log"
fi

WINDOWS="$ROOT/build-win/write_zip_samples.exe"
if [[ -e "$WINDOWS" ]] && command -v wine >/dev/null; then
    mkdir -p "$WORK/wine"
    if (export WINEDEBUG=-all
        timeout 300 wine "$WINDOWS" "$(winepath -w "$WORK/wine" 2>/dev/null)") \
        >"$WORK/wine.log" 2>&1; then
        check wine "$WORK/wine"
    else
        write_failure wine "$WORK/wine.log"
    fi
fi

exit "$FAILED"
