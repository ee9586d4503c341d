#!/usr/bin/env bash
# Checks the HTML report with readers that are not ours: the Nu Html Checker (vnu.jar from
# tools/npm-packages, run with Java) and headless Chromium (tests/report/check_report_browser.py).
# Reports checked: the sample site's and a hostile site's, written by the console program
# natively and under Wine, and the hostile and large records of write_report_samples, which
# both builds must write byte for byte alike. Also: a report that cannot be written ends the
# console program with exit code 4.
# Writes $BCNK_RESULTS/steps/report.xml; exits non-zero when any check failed or could not run.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-report.XXXXXX)"
SERVERS=()
cleanup() {
    for pid in "${SERVERS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${SERVERS[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT

JUNIT_CLASS=Report
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"

finish() {
    write_results "$RESULTS_DIR/report.xml"
    echo "report: ${#CASES[@]} checks, $FAILURES failed" >&2
    [[ "$FAILURES" -eq 0 ]]
    exit $?
}

LOG="$WORK/log"
# A checker that cannot run is a failure, never a pass.
VNU="$("$ROOT/tools/node-dir")/node_modules/vnu-jar/build/dist/vnu.jar"
missing=""
[[ -f "$VNU" ]] || missing+=" $VNU"
command -v java >/dev/null || missing+=" java"
[[ -x /usr/bin/chromium ]] || missing+=" /usr/bin/chromium"
[[ -x "$ROOT/build/beaconsmith" ]] || missing+=" build/beaconsmith"
[[ -x "$ROOT/build/write_report_samples" ]] || missing+=" build/write_report_samples"
if [[ -n "$missing" ]]; then
    echo "missing:$missing (run tools/setup and build first)" >"$LOG"
    record "checkers and programs present" "$LOG" 1
    finish
fi

# serve NAME FOLDER: a static server for one site; sets SITE_<NAME> to its address.
serve() {
    local name="$1" folder="$2"
    python3 "$ROOT/tools/serve-site.py" --root "$folder" --port-file "$WORK/$name.port" \
        --max-seconds 900 >"$WORK/$name.server.log" 2>&1 &
    SERVERS+=($!)
    for _ in $(seq 1 100); do
        [[ -s "$WORK/$name.port" ]] && break
        sleep 0.1
    done
    if [[ ! -s "$WORK/$name.port" ]]; then
        record "$name site server starts" "$WORK/$name.server.log" 1
        finish
    fi
    printf -v "SITE_${name}" 'http://127.0.0.1:%s/' "$(cat "$WORK/$name.port")"
}
serve sample "$ROOT/tests/gui/sample-site"
serve hostile "$ROOT/tests/report/hostile-site"

# console LABEL PROGRAM DIR: the sample site's package and report, the hostile site's report.
console() {
    local label="$1" dir="$3"
    local -a program=($2)
    mkdir -p "$dir"
    local report_dir="$dir"
    [[ "$label" == wine ]] && report_dir="$(winepath -w "$dir" 2>/dev/null)"
    (cd "$dir" && timeout 300 "${program[@]}" generate "$SITE_sample" --name "Harbour Light Works" \
        --delay 0 --output "$report_dir" --report "$report_dir/sample-site.html") >"$LOG" 2>&1
    local status=$?
    [[ $status -eq 0 && -s "$dir/sample-site.html" ]] || status=1
    record "$label console writes the sample site's report" "$LOG" $status
    grep -q "id=\"package\"" "$dir/sample-site.html" 2>/dev/null
    record "$label sample report shows the package" "$dir/sample-site.html" $?
    (cd "$dir" && timeout 300 "${program[@]}" scan "$SITE_hostile" --delay 0 --render off \
        --report "$report_dir/hostile-site.html") >"$LOG" 2>&1
    status=$?
    [[ $status -eq 0 && -s "$dir/hostile-site.html" ]] || status=1
    record "$label console writes the hostile site's report" "$LOG" $status
    (cd "$dir" && timeout 300 "${program[@]}" scan "$SITE_sample" --delay 0 --max-pages 100 \
        --report "$report_dir/no-such-folder/report.html") >"$LOG" 2>&1
    status=$?
    if [[ $status -eq 4 ]] && grep -q "could not write the report" "$LOG" &&
        [[ -z "$(ls "$dir/no-such-folder" 2>/dev/null)" ]]; then
        record "$label console exits 4 when the report cannot be written" "$LOG" 0
    else
        echo "exit code $status" >>"$LOG"
        record "$label console exits 4 when the report cannot be written" "$LOG" 1
    fi
}

console native "$ROOT/build/beaconsmith" "$WORK/native"
"$ROOT/build/write_report_samples" "$WORK/native" >"$LOG" 2>&1
record "native writes the sample records" "$LOG" $?

if [[ -f "$ROOT/build-win/beaconsmith-cli.exe" && -f "$ROOT/build-win/write_report_samples.exe" ]]; then
    export WINEPREFIX="${WINEPREFIX:-/tmp/bcnk-wine-$(id -u)}" WINEDEBUG="${WINEDEBUG:--all}"
    console wine "wine $ROOT/build-win/beaconsmith-cli.exe" "$WORK/wine"
    (timeout 300 wine "$ROOT/build-win/write_report_samples.exe" "$(winepath -w "$WORK/wine")") \
        >"$LOG" 2>&1
    record "wine writes the sample records" "$LOG" $?
    for name in hostile-records.html large.html; do
        cmp "$WORK/native/$name" "$WORK/wine/$name" >"$LOG" 2>&1
        record "native and wine $name identical" "$LOG" $?
    done
else
    echo "build-win/beaconsmith-cli.exe or write_report_samples.exe is missing" >"$LOG"
    record "windows build present" "$LOG" 1
fi

for file in "$WORK"/*/*.html; do
    name="${file#"$WORK"/}"
    java -jar "$VNU" --errors-only "$file" >"$LOG" 2>&1
    record "Nu Html Checker: $name" "$LOG" $?
    hostile=()
    [[ "$name" == *hostile* ]] && hostile=(--hostile)
    timeout 600 python3 "$ROOT/tests/report/check_report_browser.py" "${hostile[@]}" "$file" \
        >"$LOG" 2>&1
    record "Chromium: $name" "$LOG" $?
done

finish
