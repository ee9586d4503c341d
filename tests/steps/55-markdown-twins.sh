#!/usr/bin/env bash
# Markdown twins of the sample site's pages and of a site written to break them
# (tests/sites/markup-hostile), made by the extraction benchmark's driver from the native
# build, rendered with the CommonMark reference renderer (npm "commonmark"): nothing from a
# page comes out as live HTML, every link is http(s), and the rendered words are the
# extracted content's words. Writes $BCNK_RESULTS/steps/markdown-twins.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-twins.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

JUNIT_CLASS=MarkdownTwins
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"

NODE_DIR="$("$ROOT/tools/node-dir" 2>/dev/null)"
DRIVER="$ROOT/build/extract_driver"
READY=0
{
    command -v node && [[ -d "$NODE_DIR/node_modules/commonmark" ]] &&
        { [[ -x "$DRIVER" ]] || cmake --build "$ROOT/build" --target extract_driver -j2; }
} >"$WORK/log" 2>&1 || {
    echo "missing: node, the commonmark package (run tools/setup) or $DRIVER" >>"$WORK/log"
    READY=1
}
record "renderer and driver available" "$WORK/log" "$READY"

if [[ "$READY" -eq 0 ]]; then
    for site in "$ROOT/examples/sample-site" "$ROOT/tests/sites/markup-hostile"; do
        name="$(basename "$site")"
        out="$WORK/$name"
        mkdir -p "$out"
        (cd "$site" && find . -name '*.html' | sort) | while read -r page; do
            page="${page#./}"
            printf '%s\t%s\thttps://%s.test/%s\n' "${page//\//_}" "$site/$page" "$name" "$page"
        done >"$WORK/$name.list"
        {
            "$DRIVER" "$out" <"$WORK/$name.list" &&
                NODE_PATH="$NODE_DIR/node_modules" node "$ROOT/tests/steps/lib/check_twins.js" "$out"
        } >"$WORK/log" 2>&1
        record "twins of $name render as text with web links only" "$WORK/log" $?
    done
fi

# The same sites' packages, written by the console program from a crawl: every twin in md/.
PROGRAM="$ROOT/build/beaconsmith"
if [[ "$READY" -eq 0 ]]; then
    for site in "$ROOT/examples/sample-site" "$ROOT/tests/sites/markup-hostile"; do
        name="$(basename "$site")"
        rm -f "$WORK/port"
        python3 "$ROOT/tools/serve-site.py" --root "$site" --port-file "$WORK/port" \
            --max-seconds 300 &
        server=$!
        for _ in $(seq 1 200); do [[ -s "$WORK/port" ]] && break; sleep 0.05; done
        {
            "$PROGRAM" generate "http://127.0.0.1:$(cat "$WORK/port")/" --delay 0 --render off \
                --no-agent-check --quiet --name "Twin Works" --output "$WORK/package-$name" &&
                NODE_PATH="$NODE_DIR/node_modules" node "$ROOT/tests/steps/lib/check_twins.js" \
                    "$(find "$WORK/package-$name/output" -mindepth 2 -maxdepth 2 -name md)" --package
        } >"$WORK/log" 2>&1
        record "package twins of $name render as text with web links only" "$WORK/log" $?
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    done
fi

write_results "$RESULTS_DIR/markdown-twins.xml"
echo "markdown twins: ${#CASES[@]} checks, $FAILURES failed" >&2
[[ "$FAILURES" -eq 0 ]]
