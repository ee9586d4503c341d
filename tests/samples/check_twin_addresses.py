#!/usr/bin/env python3
"""Every Markdown twin of a package answers at its address once the package is uploaded as
upload-map.txt says (the inside of md/ copied into the web root), with the bytes of its
file, and every twin llms.txt links to is among them.

Usage: check_twin_addresses.py PACKAGE_FOLDER SITE_ADDRESS   (SITE_ADDRESS ends in "/")
"""
import pathlib
import re
import sys
import urllib.parse
import urllib.request

MAX_FETCHES = 2000
TIMEOUT_SECONDS = 10


def main():
    package, site = pathlib.Path(sys.argv[1]), sys.argv[2]
    twins = sorted(path for path in (package / "md").rglob("*") if path.is_file())
    problems = []
    if not twins:
        problems.append("no twins in md/")
    served = set()
    for path in twins[:MAX_FETCHES]:
        relative = path.relative_to(package / "md").as_posix()
        address = site + urllib.parse.quote(relative)
        served.add(urllib.parse.unquote(address))
        try:
            with urllib.request.urlopen(address, timeout=TIMEOUT_SECONDS) as answer:
                if answer.read() != path.read_bytes():
                    problems.append(f"{address}: not the bytes of md/{relative}")
        except OSError as error:
            problems.append(f"{address}: {error}")
    llms = package / "llms.txt"
    if llms.exists():
        for link in re.findall(r"^- \[.*?\]\(([^)\s]+\.md)\)", llms.read_text("utf-8"), re.M):
            if urllib.parse.unquote(link) not in served:
                problems.append(f"llms.txt links to {link}, which is no twin of the package")
    for problem in problems:
        print(problem)
    print(f"{min(len(twins), MAX_FETCHES)} twins fetched", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
