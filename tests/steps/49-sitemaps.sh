#!/usr/bin/env bash
# Sitemaps read by the real console program: a 60 MiB sitemap is read to the 50 MiB limit in
# bounded memory (the peak resident memory of a scan with and without it is printed and
# compared), and the sample site's orphan is found only when the sitemap is read (its sitemap
# rewritten to the address it is served at). Needs the fixture server (tools/test starts it).
# Writes $BCNK_RESULTS/steps/sitemaps.xml; exits non-zero when any check failed or could not run.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-sitemaps.XXXXXX)"
SERVERS=()
cleanup() {
    for pid in "${SERVERS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${SERVERS[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT

JUNIT_CLASS=Sitemaps
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"
finish() {
    write_results "$RESULTS_DIR/sitemaps.xml"
    echo "sitemaps: ${#CASES[@]} checks, $FAILURES failed" >&2
    [[ "$FAILURES" -eq 0 ]]
    exit $?
}

PROGRAM="$ROOT/build/beaconsmith"
LOG="$WORK/log"
if [[ ! -x "$PROGRAM" || -z "${BCNK_FIXTURE_SITE_VAST_PORT:-}" ]]; then
    echo "build/beaconsmith or the fixture server (BCNK_FIXTURE_SITE_VAST_PORT) is missing" >"$LOG"
    record "prerequisites" "$LOG" 1
    finish
fi

# Runs the program and prints its peak resident memory in KiB on the last line.
measured() {
    python3 - "$@" <<'PY'
import resource, subprocess, sys
code = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                      timeout=600).returncode
print(code)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
PY
}

VAST="http://127.0.0.1:$BCNK_FIXTURE_SITE_VAST_PORT/"
read -r -d '' code_with rss_with < <(measured "$PROGRAM" scan "$VAST" --delay 0 --max-pages 20 \
    --json "$WORK/vast.json"; printf '\0')
read -r -d '' code_without rss_without < <(measured "$PROGRAM" scan "$VAST" --delay 0 \
    --max-pages 20 --sitemaps ignore --json "$WORK/vast-ignore.json"; printf '\0')
echo "60 MiB sitemap: peak resident memory ${rss_with} KiB with it, ${rss_without} KiB without" >&2
python3 - "$WORK/vast.json" "$rss_with" "$rss_without" "$code_with" >"$LOG" 2>&1 <<'PY'
import json, sys
result = json.load(open(sys.argv[1]))
with_sitemap, without, code = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
files = result["sitemaps"]["files"]
print("exit", code, "files", files, "pages", len(result["pages"]))
assert code == 0
assert len(files) == 1 and files[0]["limitReached"], files
# 50 MiB of 2,100-byte records.
assert abs(files[0]["entries"] - 52428800 // 2100) <= 1, files[0]["entries"]
assert len(result["pages"]) == 20 and result["pageLimitReached"]
# Held whole, the file alone would take 50 MiB more; read as a stream it takes next to nothing.
assert with_sitemap - without < 16 * 1024, (with_sitemap, without)
PY
record "a 60 MiB sitemap is read to the limit in bounded memory (${rss_with} KiB vs ${rss_without} KiB)" "$LOG" $?

# The sample site, its sitemap naming the address it is served at.
SAMPLE="$WORK/sample"
cp -r "$ROOT/examples/sample-site" "$SAMPLE"
python3 "$ROOT/tools/serve-site.py" --root "$SAMPLE" --port-file "$WORK/sample.port" \
    --max-seconds 600 >"$WORK/sample.server.log" 2>&1 &
SERVERS+=($!)
for _ in $(seq 1 100); do
    [[ -s "$WORK/sample.port" ]] && break
    sleep 0.1
done
PORT="$(cat "$WORK/sample.port" 2>/dev/null)"
ORIGIN="http://127.0.0.1:$PORT"
sed -i "s#https://www.brackenfold.example#$ORIGIN#g" "$SAMPLE/sitemap.xml" "$SAMPLE/robots.txt"
"$PROGRAM" scan "$ORIGIN/" --delay 0 --sitemaps ignore --json "$WORK/before.json" >/dev/null 2>&1
"$PROGRAM" scan "$ORIGIN/" --delay 0 --json "$WORK/after.json" >/dev/null 2>&1
python3 - "$WORK/before.json" "$WORK/after.json" "$ORIGIN" >"$LOG" 2>&1 <<'PY'
import json, sys
before, after = (json.load(open(path)) for path in sys.argv[1:3])
origin = sys.argv[3]
print("pages before", len(before["pages"]), "after", len(after["pages"]))
print("orphans", after["sitemaps"]["orphans"])
orphan = origin + "/guides/close-the-year.html"
assert orphan not in {page["url"] for page in before["pages"]}
assert len(after["pages"]) == len(before["pages"]) + 1
assert after["sitemaps"]["orphans"] == [orphan]
assert after["sitemaps"]["notListed"] == [], after["sitemaps"]["notListed"]
PY
status=$?
echo "sample site: $(head -1 "$LOG")" >&2
record "the sample site's orphan is found through its sitemap" "$LOG" $status
finish
