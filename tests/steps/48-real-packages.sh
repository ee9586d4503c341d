#!/usr/bin/env bash
# Packages of real documentation sites: the Python 3.11 and PostgreSQL 15 manuals and the
# Japanese Debian handbook (python3.11-doc, postgresql-doc-15, debian-handbook) served by
# nginx on loopback; llms.txt in sections without site-wide title parts or index pages, the
# handbook read as Japanese with topics of one script, and the package standards checks on
# all three. Writes $BCNK_RESULTS/steps/real-packages.xml.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS_DIR="${BCNK_RESULTS:-$ROOT/build/test-results}/steps"
exec python3 "$ROOT/tests/e2e/real_packages.py" --program "$ROOT/build/beaconsmith" \
    --results "$RESULTS_DIR/real-packages.xml"
