#!/usr/bin/env bash
# The package's server set-up files checked by the servers themselves, and its robots.txt.NEW
# by Lighthouse's robots.txt audit:
# - the nginx snippet, included in a minimal configuration, passes "nginx -t"; nginx serving
#   the uploaded package with it answers with every header and content type server/_headers
#   promises (tests/server_setup/check_served.py, with curl);
# - the Apache file passes "apache2ctl -t" inside a virtual host, and Apache serving the
#   package with it as .htaccess (AllowOverride All) keeps the same promises;
# - web.config is well-formed XML (xmllint);
# - Lighthouse's robots.txt audit (npm lighthouse, headless Chromium) passes for the default
#   package's robots.txt.NEW served on loopback, fails for the package with the Content-Usage
#   line on that line alone, and README.txt's caution names the version used.
# Writes $BCNK_RESULTS/steps/server-setup.xml; a checker that cannot run fails the step.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
mkdir -p "$RESULTS_DIR"
WORK="$(mktemp -d /tmp/bcnk-server-setup.XXXXXX)"
# The servers' workers run as an unprivileged user and must reach the web roots inside.
chmod 755 "$WORK"
PIDS=()
stop_all() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    PIDS=()
}
trap 'stop_all; rm -rf "$WORK"' EXIT

JUNIT_CLASS=ServerSetup
# shellcheck source=tests/steps/lib/junit.sh
source "$ROOT/tests/steps/lib/junit.sh"
LOG="$WORK/log"

NODE_DIR="$("$ROOT/tools/node-dir" 2>/dev/null)"
LIGHTHOUSE="$NODE_DIR/node_modules/lighthouse/cli/index.js"
CHECKERS=0
{
    command -v nginx && command -v apache2ctl && command -v xmllint && command -v curl &&
        command -v node && command -v chromium && [[ -s "$LIGHTHOUSE" ]] &&
        [[ -x "$ROOT/build/beaconsmith" ]]
} >"$LOG" 2>&1 || {
    echo "missing: nginx, apache2ctl, xmllint, curl, node, chromium, $LIGHTHOUSE or build/beaconsmith (run tools/setup and build)" >>"$LOG"
    CHECKERS=1
}
record "checkers available" "$LOG" "$CHECKERS"
if [[ "$CHECKERS" -ne 0 ]]; then
    write_results "$RESULTS_DIR/server-setup.xml"
    exit 1
fi

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# wait_for ADDRESS: true once something answers there (at most ten seconds).
wait_for() {
    for _ in $(seq 1 100); do
        curl -s -o /dev/null --max-time 1 "$1" && return 0
        sleep 0.1
    done
    return 1
}

# The sample site without its discovery files gets its package, as an owner would.
SITE="$WORK/site"
cp -r "$ROOT/examples/sample-site" "$SITE"
rm -f "$SITE"/llms.txt "$SITE"/llms-lite.txt "$SITE"/sitemap.xml "$SITE"/ai-sitemap.xml \
    "$SITE"/robots.txt "$SITE"/ai-discovery.* "$SITE"/knowledge-graph.json
rm -rf "$SITE/.well-known"
python3 "$ROOT/tools/serve-site.py" --root "$SITE" --port-file "$WORK/site-port" \
    --max-seconds 300 &
PIDS+=($!)
for _ in $(seq 1 200); do [[ -s "$WORK/site-port" ]] && break; sleep 0.05; done
SITE_ADDRESS="http://127.0.0.1:$(cat "$WORK/site-port" 2>/dev/null)/"

# generate LABEL EXTRA...: the package's folder in $PACKAGE.
generate() {
    local label="$1"
    shift
    timeout 300 "$ROOT/build/beaconsmith" generate "$SITE_ADDRESS" --delay 0 --name "Sample Works" \
        --no-training "$@" --output "$WORK/out-$label" >"$LOG" 2>&1
    record "generate $label package" "$LOG" $?
    PACKAGE="$(find "$WORK/out-$label/output" -mindepth 1 -maxdepth 1 -type d | head -n 1)"
}
generate default
DEFAULT_PACKAGE="$PACKAGE"
generate content-usage --content-usage-in-robots
USAGE_PACKAGE="$PACKAGE"
stop_all

# upload WEBROOT PACKAGE: the site with the package's files where upload-map.txt puts them.
upload() {
    local webroot="$1" package="$2"
    cp -r "$SITE" "$webroot"
    mkdir -p "$webroot/.well-known"
    for file in ai-discovery.json ai-discovery.md sitemap.xml ai-sitemap.xml llms-lite.txt \
        llms.txt knowledge-graph.json; do
        cp "$package/$file" "$webroot/$file"
    done
    cp "$package/ai-discovery.json" "$package/tdmrep.json" "$webroot/.well-known/"
    cp "$package/robots.txt.NEW" "$webroot/robots.txt"
    # The package writes no llms-full.txt, but the files promise its type too.
    printf '# Sample Works\n\n> Every page in full.\n' >"$webroot/llms-full.txt"
}
upload "$WORK/www" "$DEFAULT_PACKAGE"
upload "$WORK/www-usage" "$USAGE_PACKAGE"
SERVER="$DEFAULT_PACKAGE/server"

# ---- nginx -------------------------------------------------------------------------------
NGINX_PORT="$(free_port)"
mkdir -p "$WORK/nginx/logs" "$WORK/nginx/temp"
nginx_conf() {
    local root="$1"
    cat <<CONF
daemon off;
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/logs/error.log;
events { worker_connections 64; }
http {
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    access_log off;
    client_body_temp_path $WORK/nginx/temp/body;
    proxy_temp_path $WORK/nginx/temp/proxy;
    fastcgi_temp_path $WORK/nginx/temp/fastcgi;
    uwsgi_temp_path $WORK/nginx/temp/uwsgi;
    scgi_temp_path $WORK/nginx/temp/scgi;
    server {
        listen 127.0.0.1:$NGINX_PORT;
        root $root;
        include $SERVER/nginx-ai-discovery.conf;
    }
}
CONF
}
nginx_conf "$WORK/www" >"$WORK/nginx/default.conf"
nginx_conf "$WORK/www-usage" >"$WORK/nginx/usage.conf"
nginx -t -p "$WORK/nginx" -c "$WORK/nginx/default.conf" >"$LOG" 2>&1
record "nginx -t accepts the snippet" "$LOG" $?

# serve_nginx CONF: nginx in the foreground of a background job, until stop_all.
serve_nginx() {
    nginx -p "$WORK/nginx" -c "$1" >>"$WORK/nginx/logs/run.log" 2>&1 &
    PIDS+=($!)
    wait_for "http://127.0.0.1:$NGINX_PORT/"
}
if serve_nginx "$WORK/nginx/default.conf"; then
    python3 "$ROOT/tests/server_setup/check_served.py" "$SERVER/_headers" \
        "http://127.0.0.1:$NGINX_PORT/" >"$LOG" 2>&1
    record "nginx keeps every promise of the package" "$LOG" $?
else
    cat "$WORK/nginx/logs/"*.log >"$LOG" 2>&1
    record "nginx serves the package" "$LOG" 1
fi

# ---- Lighthouse's robots.txt audit -----------------------------------------------------------
LIGHTHOUSE_VERSION="$(node -p "require('$NODE_DIR/node_modules/lighthouse/package.json').version")"
# audit NAME: the robots-txt audit's result for the page nginx serves, as JSON in $WORK/NAME.json.
audit() {
    timeout 240 node "$LIGHTHOUSE" "http://127.0.0.1:$NGINX_PORT/" --only-audits=robots-txt \
        --output=json --output-path="$WORK/$1.json" --quiet --chrome-path=/usr/bin/chromium \
        --chrome-flags="--headless=new --no-sandbox --disable-gpu --disable-background-networking --disable-component-update --disable-default-apps --disable-sync --disable-domain-reliability --no-first-run --user-data-dir=$WORK/chrome-$1" \
        >"$LOG" 2>&1
}
audit_field() {
    node -e '
const r = require(process.argv[1]);
const a = r.audits["robots-txt"];
const items = (a.details && a.details.items) || [];
console.log(JSON.stringify({version: r.lighthouseVersion, score: a.score,
                            lines: items.map((i) => i.line + " => " + i.message)}));
' "$WORK/$1.json"
}
if audit default; then
    audit_field default >"$LOG" 2>&1
    grep -q '"score":1' "$LOG"
    record "Lighthouse $LIGHTHOUSE_VERSION robots.txt audit passes the default robots.txt.NEW" "$LOG" $?
else
    record "Lighthouse $LIGHTHOUSE_VERSION runs" "$LOG" 1
fi
grep -q '^Content-Signal: ' "$WORK/www/robots.txt"
echo "the default robots.txt.NEW has no Content-Signal line" >"$LOG"
record "the default robots.txt.NEW carries Content-Signal" "$LOG" $?
stop_all

# The package with the Content-Usage line: README.txt says the audit reports that line (and
# only that line) as unknown in this version.
if serve_nginx "$WORK/nginx/usage.conf" && audit usage; then
    audit_field usage >"$LOG" 2>&1
    python3 - "$LOG" "$USAGE_PACKAGE/README.txt" "$LIGHTHOUSE_VERSION" >>"$LOG" 2>&1 <<'PY'
import json, sys
result = json.loads(open(sys.argv[1]).read().splitlines()[0])
readme = open(sys.argv[2], encoding="utf-8").read()
version = ".".join(sys.argv[3].split(".")[:2])
problems = []
if result["score"] != 0:
    problems.append("the audit passed a robots.txt with a Content-Usage line")
flagged = [line for line in result["lines"]]
if not flagged or not all(line.lower().startswith("content-usage:") and "Unknown directive" in line
                          for line in flagged):
    problems.append("the audit flagged other lines than Content-Usage: %r" % flagged)
if "version " + version + " accepts Content-Signal" not in readme.replace("\n", " "):
    problems.append("README.txt's caution does not name version %s" % version)
print("\n".join(problems) or "caution holds: " + "; ".join(flagged))
sys.exit(1 if problems else 0)
PY
    record "README caution is true of Lighthouse $LIGHTHOUSE_VERSION" "$LOG" $?
else
    record "Lighthouse audit of the Content-Usage package runs" "$LOG" 1
fi
stop_all

# ---- Apache --------------------------------------------------------------------------------
APACHE_PORT="$(free_port)"
mkdir -p "$WORK/apache/logs"
MODULES=/usr/lib/apache2/modules
# apache_conf ROOT INCLUDE: a virtual host for ROOT that allows overrides; with INCLUDE the
# Apache file is read inside its <Directory> (so "apache2ctl -t" checks every line of it).
apache_conf() {
    cat <<CONF
ServerRoot $WORK/apache
ServerName 127.0.0.1
PidFile $WORK/apache/httpd.pid
Mutex file:$WORK/apache default
LoadModule mpm_event_module $MODULES/mod_mpm_event.so
LoadModule authz_core_module $MODULES/mod_authz_core.so
LoadModule mime_module $MODULES/mod_mime.so
LoadModule headers_module $MODULES/mod_headers.so
LoadModule dir_module $MODULES/mod_dir.so
TypesConfig /etc/mime.types
ErrorLog $WORK/apache/logs/error.log
Listen 127.0.0.1:$APACHE_PORT
<VirtualHost 127.0.0.1:$APACHE_PORT>
    DocumentRoot $1
    DirectoryIndex index.html
    <Directory $1>
        AllowOverride All
        Require all granted
        $2
    </Directory>
</VirtualHost>
CONF
}
apache_conf "$WORK/www" "Include $SERVER/.htaccess" >"$WORK/apache/check.conf"
apache2ctl -t -f "$WORK/apache/check.conf" >"$LOG" 2>&1
record "apache2ctl -t accepts the .htaccess lines in a virtual host" "$LOG" $?
apache_conf "$WORK/www" "" >"$WORK/apache/serve.conf"
cp "$SERVER/.htaccess" "$WORK/www/.htaccess"
apache2 -X -f "$WORK/apache/serve.conf" >"$WORK/apache/logs/run.log" 2>&1 &
PIDS+=($!)
if wait_for "http://127.0.0.1:$APACHE_PORT/"; then
    python3 "$ROOT/tests/server_setup/check_served.py" "$SERVER/_headers" \
        "http://127.0.0.1:$APACHE_PORT/" >"$LOG" 2>&1
    record "Apache with the .htaccess keeps every promise of the package" "$LOG" $?
else
    cat "$WORK/apache/logs/"*.log >"$LOG" 2>&1
    record "Apache serves the package" "$LOG" 1
fi
stop_all

# ---- IIS ---------------------------------------------------------------------------------
xmllint --noout "$SERVER/web.config" >"$LOG" 2>&1
record "web.config is well-formed XML" "$LOG" $?

write_results "$RESULTS_DIR/server-setup.xml"
echo "server set-up: ${#CASES[@]} checks, $FAILURES failed" >&2
[[ "$FAILURES" -eq 0 ]]
