#!/usr/bin/env bash
# Checks sample packages with the standards' own validators and with checkers written from the
# standards' descriptions: the sitemaps against the Sitemaps 0.9 XSD (xmllint --schema, the
# XSD shipped in the npm package "sitemap"), knowledge-graph.json with the jsonld processor
# (every triple in the default graph, no term dropped), llms.txt and llms-lite.txt in the
# llms.txt format and every address in every file as an RFC 3986 URI
# (tests/samples/check_package_standards.py). The packages are those of
# write_package_samples, written natively and, when the Windows build is there, under Wine.
# The "empty" case is a form without a name, which neither front end lets through.
# Then each build's console program generates the package of the sample site stripped of its
# discovery files, the same checks run on it, and the site serving that package as the upload
# map says must score 100.
# Both packages, and that of the test site tests/sites/owned (served by the fixture server),
# must list only pages their owner publishes: every address in sitemap.xml, ai-sitemap.xml
# and llms.txt is fetched and read independently (tests/samples/check_publishable.py); the
# same check must fail on the owned site's package with a noindex page added to llms.txt.
# Writes $BCNK_RESULTS/steps/package-standards.xml; exits non-zero when any check failed or
# a checker could not run.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-standards.XXXXXX)"
SERVER_PID=""
stop_server() {
    if [[ -n "$SERVER_PID" ]]; then
        kill "$SERVER_PID" 2>/dev/null
        wait "$SERVER_PID" 2>/dev/null
        SERVER_PID=""
    fi
}
trap 'stop_server; rm -rf "$WORK"' EXIT

JUNIT_CLASS=PackageStandards
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"

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

# serve_site DIR: serves DIR on a free loopback port and sets ADDRESS.
serve_site() {
    local root="$1" port_file="$WORK/port"
    rm -f "$port_file"
    python3 "$ROOT/tools/serve-site.py" --root "$root" --port-file "$port_file" \
        --max-seconds 600 &
    SERVER_PID=$!
    for _ in $(seq 1 200); do
        [[ -s "$port_file" ]] && break
        sleep 0.05
    done
    ADDRESS="http://127.0.0.1:$(cat "$port_file" 2>/dev/null)/"
}

# full_score LABEL PROGRAM...: the sample site without discovery files gets its package from
# PROGRAM; the package passes the checks, and the site serving it scores 100.
full_score() {
    local label="$1" log="$WORK/log"
    shift
    local site="$WORK/site-$label" out="$WORK/generated-$label" case_dir="$WORK/crawled-$label"
    cp -r "$ROOT/examples/sample-site" "$site"
    rm -f "$site"/llms.txt "$site"/llms-lite.txt "$site"/sitemap.xml "$site"/ai-sitemap.xml \
        "$site"/robots.txt "$site"/ai-discovery.* "$site"/knowledge-graph.json
    rm -rf "$site/.well-known"
    serve_site "$site"
    "$@" generate "$ADDRESS" --delay 0 --name "Sample Works" --email "hello@sample.example" \
        --founded 2001 --description "Sample products <and> [links]" \
        --json "$WORK/scan-$label.json" --output "$out" >"$log" 2>&1
    record "generate sample site $label" "$log" $?
    local folder
    folder="$(find "$out/output" -mindepth 1 -maxdepth 1 -type d | head -n 1)"
    if [[ -z "$folder" || ! -s "$folder/llms.txt" ]]; then
        echo "no package with llms.txt below $out" >"$log"
        record "sample site package holds llms.txt $label" "$log" 1
        stop_server
        return
    fi
    mkdir -p "$case_dir/expect" && cp -r "$folder" "$case_dir/package"
    rm -f "$case_dir/package"/*.zip
    python3 - "$WORK/scan-$label.json" "$case_dir/expect/urls.bin" <<'PY' >"$log" 2>&1
import json, sys
pages = json.load(open(sys.argv[1], encoding="utf-8"))["pages"]
with open(sys.argv[2], "wb") as out:
    for page in pages:
        url = page["url"].encode("utf-8")
        out.write(len(url).to_bytes(4, "little") + url)
PY
    record "page list of the sample site $label" "$log" $?
    xmllint --noout --schema "$XSD" "$case_dir/package/sitemap.xml" \
        "$case_dir/package/ai-sitemap.xml" >"$log" 2>&1
    record "sitemaps XSD $label/sample-site" "$log" $?
    node "$ROOT/tests/samples/check_jsonld.js" "$NODE_DIR" \
        "$case_dir/package/knowledge-graph.json" >"$log" 2>&1
    record "jsonld default graph $label/sample-site" "$log" $?
    python3 "$ROOT/tests/samples/check_package_standards.py" "$case_dir" >"$log" 2>&1
    record "llms.txt format and RFC 3986 addresses $label/sample-site" "$log" $?
    python3 "$ROOT/tests/samples/check_publishable.py" "$case_dir/package" >"$log" 2>&1
    record "only published pages listed $label/sample-site" "$log" $?

    # Uploaded as upload-map.txt says.
    mkdir -p "$site/.well-known"
    for file in ai-discovery.json ai-discovery.md sitemap.xml ai-sitemap.xml llms-lite.txt \
        llms.txt knowledge-graph.json; do
        cp "$folder/$file" "$site/$file"
    done
    cp "$folder/ai-discovery.json" "$folder/tdmrep.json" "$site/.well-known/"
    cp "$folder/robots.txt.NEW" "$site/robots.txt"
    cp "$folder/llms-full.txt" "$site/" && cp -r "$folder/md/." "$site/"
    python3 "$ROOT/tests/samples/check_twin_addresses.py" "$folder" "$ADDRESS" >"$log" 2>&1
    record "every twin answers at its address $label" "$log" $?
    "$@" scan "$ADDRESS" --delay 0 --min-score 100 >"$log" 2>&1
    record "site serving its package scores 100 $label" "$log" $?
    stop_server
}

# publishable LABEL PROGRAM...: the owned test site's package lists none of the pages its
# owner keeps out, and the check catches one that does.
publishable() {
    local label="$1" log="$WORK/log"
    shift
    local out="$WORK/owned-$label" port="${BCNK_FIXTURE_SITE_OWNED_PORT:-}"
    if [[ -z "$port" ]]; then
        echo "BCNK_FIXTURE_SITE_OWNED_PORT is not set: the fixture server is not running" >"$log"
        record "owned site served $label" "$log" 1
        return
    fi
    "$@" generate "http://127.0.0.1:$port/" --delay 0 --name "Owned Ledger" \
        --output "$out" >"$log" 2>&1
    record "generate owned site $label" "$log" $?
    local folder="$out/output/127.0.0.1_$port"
    python3 "$ROOT/tests/samples/check_publishable.py" "$folder" >"$log" 2>&1
    record "only published pages listed $label/owned" "$log" $?
    local bad="$WORK/owned-bad-$label"
    cp -r "$folder" "$bad"
    printf -- '- [Kept Out](http://127.0.0.1:%s/b/noindex.html)\n' "$port" >>"$bad/llms.txt"
    python3 "$ROOT/tests/samples/check_publishable.py" "$bad" --expect-fail >"$log" 2>&1
    record "a listed noindex page is caught $label/owned" "$log" $?
}

if [[ "$CHECKERS" -eq 0 ]]; then
    write_package_samples native "$WORK/native"
    check_build native "$WORK/native"
    full_score native "$ROOT/build/beaconsmith"
    publishable native "$ROOT/build/beaconsmith"

    if write_package_samples wine "$WORK/wine"; then
        check_build wine "$WORK/wine"
        if [[ -e "$ROOT/build-win/beaconsmith-cli.exe" ]]; then
            full_score wine env WINEDEBUG=-all timeout 300 wine "$ROOT/build-win/beaconsmith-cli.exe"
            publishable wine env WINEDEBUG=-all timeout 300 wine "$ROOT/build-win/beaconsmith-cli.exe"
        else
            echo "build-win/beaconsmith-cli.exe is missing" >"$WORK/log"
            record "console program wine" "$WORK/log" 1
        fi
    fi
fi

write_results "$RESULTS_DIR/package-standards.xml"

echo "package standards: ${#CASES[@]} checks, $FAILURES failed" >&2
[[ "$FAILURES" -eq 0 ]]
