#!/usr/bin/env python3
"""Checks that a server answers with every header and content type a package promises.

    check_served.py HEADERS_FILE BASE_ADDRESS

The promises are read from the package's server/_headers file (the simplest of the four
formats): the headers under "/*" on every page, a Content-Type under a path or "/*.md" for
those files. Each is fetched with curl and compared value for value. Prints every mismatch;
exits 1 on any, 2 when the check cannot run.
"""
import shutil
import subprocess
import sys

# Files the promises are checked on; one of each kind the web root holds.
PAGES = ["/", "/robots.txt", "/llms.txt", "/llms-lite.txt", "/llms-full.txt", "/ai-discovery.md"]


def read_promises(path):
    blocks = {}
    current = None
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if not line.startswith(" "):
                current = blocks.setdefault(line.strip(), [])
                continue
            name, _, value = line.strip().partition(":")
            current.append((name.strip().lower(), value.strip()))
    return blocks


def fetch_headers(address):
    result = subprocess.run(["curl", "-s", "-o", "/dev/null", "-D", "-", "--max-time", "10",
                             address], capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        return None
    lines = result.stdout.splitlines()
    headers = {":status": [lines[0].split(" ")[1] if lines and " " in lines[0] else ""]}
    for line in lines[1:]:
        name, sep, value = line.partition(":")
        if sep:
            headers.setdefault(name.strip().lower(), []).append(value.strip())
    return headers


def main():
    if shutil.which("curl") is None:
        print("curl is not installed")
        return 2
    blocks = read_promises(sys.argv[1])
    base = sys.argv[2].rstrip("/")
    everywhere = blocks.get("/*", [])
    if not everywhere:
        print("the _headers file promises no header on every page")
        return 1
    failures = 0
    checked = 0
    for page in PAGES:
        headers = fetch_headers(base + page)
        if headers is None:
            print("FAIL %s: no answer" % page)
            failures += 1
            continue
        if headers[":status"] != ["200"]:
            print("FAIL %s: status %s" % (page, headers[":status"][0]))
            failures += 1
            continue
        promised = list(everywhere)
        promised += blocks.get(page, [])
        if page.endswith(".md"):
            promised += blocks.get("/*.md", [])
        for name, value in promised:
            checked += 1
            got = headers.get(name, [])
            if name == "content-type":
                ok = [v.lower().replace(" ", "") for v in got] == [value.lower().replace(" ", "")]
            else:
                ok = value in got
            print("%s %s %s: promised %r, got %r" % ("ok  " if ok else "FAIL", page, name,
                                                     value, got))
            failures += 0 if ok else 1
    print("%d promises checked, %d not kept" % (checked, failures))
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
