#!/usr/bin/env python3
"""Packages of real documentation sites an owner could upload as written: the Python 3.11 and
PostgreSQL 15 manuals and the Japanese Debian handbook, from their Debian packages, each
served by nginx at the root of its own loopback port.

For each site our console program generates the package (depth 5, no pause, no page limit);
then, judged from the files alone:
- llms.txt has sections, no entry's name ends with a part most entries share (a site-wide
  title suffix), and no search or index page is listed;
- the package passes the standards checks of the package-standards step (llms.txt format and
  RFC 3986 addresses, the sitemaps against the Sitemaps XSD, knowledge-graph.json through the
  jsonld processor);
- the Japanese site's language is "ja" and no topic mixes Latin letters with Kana.

    real_packages.py --program build/beaconsmith --results FILE [--keep DIR] [--only NAME]
"""
import argparse
import collections
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

from cli_e2e import write_results
from real_site import find_nginx, free_port

ROOT = pathlib.Path(__file__).resolve().parents[2]
HOST = "127.0.0.1"
RUN_TIMEOUT = 1200
SITES = {
    "python": pathlib.Path("/usr/share/doc/python3.11/html"),
    "postgresql": pathlib.Path("/usr/share/doc/postgresql-doc-15/html"),
    "handbook-ja": pathlib.Path("/usr/share/doc/debian-handbook/html/ja-JP"),
}
# Pages that only lead to other pages: search, general and module indexes, by file name.
NAVIGATION_ONLY = re.compile(r"/(search|genindex[^/]*|py-modindex|bookindex|ix01)\.html$")
ENTRY = re.compile(r"^- \[(.*)\]\(([^)\s]+)\)")
LATIN = re.compile(r"[A-Za-z]")
KANA = re.compile(r"[\u3040-\u30ff]")


class Nginx:
    """One nginx serving each site at the root of its own port."""

    def __init__(self, work, ports):
        self.prefix = work / "nginx"
        self.prefix.mkdir(parents=True)
        user = "user root root;" if os.geteuid() == 0 else ""
        servers = "\n".join(
            f"server {{ listen {HOST}:{ports[name]}; root {root}; }}" for name, root in SITES.items())
        (self.prefix / "nginx.conf").write_text(f"""
{user}
worker_processes 1;
daemon off;
pid {self.prefix}/nginx.pid;
error_log {self.prefix}/error.log;
events {{ worker_connections 64; }}
http {{
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    access_log off;
    client_body_temp_path {self.prefix}/body;
    proxy_temp_path {self.prefix}/proxy;
    fastcgi_temp_path {self.prefix}/fastcgi;
    uwsgi_temp_path {self.prefix}/uwsgi;
    scgi_temp_path {self.prefix}/scgi;
    {servers}
}}
""")
        self.process = subprocess.Popen(
            [find_nginx(), "-p", str(self.prefix), "-c", str(self.prefix / "nginx.conf")],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        time.sleep(0.5)
        if self.process.poll() is not None:
            raise RuntimeError("nginx ended at start: " + self.process.stderr.read().decode())

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def generate(program, start, work, name):
    """Generates the site's package; returns (package folder, scan result)."""
    out = work / ("out-" + name)
    scan_json = work / (name + ".json")
    command = [program, "generate", start, "--name", "Docs Owner", "--depth", "5", "--delay", "0",
               "--max-pages", "none", "--quiet", "--json", str(scan_json), "--output", str(out)]
    completed = subprocess.run(command, capture_output=True, text=True, timeout=RUN_TIMEOUT)
    if completed.returncode != 0:
        raise RuntimeError("%s ended with %d: %s" % (" ".join(command), completed.returncode,
                                                      completed.stderr[-2000:]))
    (work / (name + ".summary.txt")).write_text(completed.stdout)
    folders = [path for path in (out / "output").iterdir() if path.is_dir()]
    if len(folders) != 1:
        raise RuntimeError(f"expected one package folder below {out}, found {folders}")
    return folders[0], json.loads(scan_json.read_text(encoding="utf-8"))


def llms_entries(text):
    return [ENTRY.match(line).groups() for line in text.splitlines() if ENTRY.match(line)]


def shared_suffix(names):
    """A last part (after " — ", " | ", " - " or " – ") that more than half the names end with."""
    parts = collections.Counter()
    for name in names:
        pieces = re.split(r"\s[—|\-–]\s", name)
        if len(pieces) > 1:
            parts[pieces[-1].strip()] += 1
    if len(names) >= 10 and parts:
        part, count = parts.most_common(1)[0]
        if count * 2 > len(names):
            return part
    return None


def check_llms_txt(folder):
    text = (folder / "llms.txt").read_text(encoding="utf-8")
    problems = []
    sections = [line for line in text.splitlines() if line.startswith("## ")]
    if len(sections) < 2:
        problems.append(f"llms.txt has {len(sections)} sections")
    entries = llms_entries(text)
    if not entries:
        problems.append("llms.txt lists no page")
    suffix = shared_suffix([name for name, _ in entries])
    if suffix:
        problems.append(f"most llms.txt entries end with the site-wide part {suffix!r}")
    listed = [url for _, url in entries if NAVIGATION_ONLY.search(url)]
    if listed:
        problems.append("llms.txt lists navigation-only pages: " + ", ".join(listed[:5]))
    return problems


def check_standards(folder, scan, work, name):
    """The package-standards step's checkers on this package."""
    case = work / ("case-" + name)
    (case / "expect").mkdir(parents=True)
    shutil.copytree(folder, case / "package", ignore=shutil.ignore_patterns("*.zip"))
    with open(case / "expect" / "urls.bin", "wb") as urls:
        for page in scan["pages"]:
            url = page["url"].encode("utf-8")
            urls.write(len(url).to_bytes(4, "little") + url)
    node_dir = subprocess.run([str(ROOT / "tools" / "node-dir")], capture_output=True,
                              text=True).stdout.strip()
    xsd = pathlib.Path(node_dir) / "node_modules" / "sitemap" / "schema" / "sitemap.xsd"
    if not xsd.is_file() or not shutil.which("xmllint") or not shutil.which("node"):
        return ["standards checkers missing (xmllint, node, the sitemap XSD): run tools/setup"]
    problems = []
    for command in (
            ["python3", str(ROOT / "tests/samples/check_package_standards.py"), str(case)],
            ["xmllint", "--noout", "--schema", str(xsd), str(case / "package/sitemap.xml"),
             str(case / "package/ai-sitemap.xml")],
            ["node", str(ROOT / "tests/samples/check_jsonld.js"), node_dir,
             str(case / "package/knowledge-graph.json")]):
        completed = subprocess.run(command, capture_output=True, text=True, timeout=600)
        if completed.returncode != 0:
            problems.append(f"{pathlib.Path(command[1]).name}: "
                            + (completed.stdout + completed.stderr)[-1500:])
    return problems


def check_japanese(scan):
    problems = []
    if scan.get("language") != "ja":
        problems.append(f"language is {scan.get('language')!r}, not 'ja'")
    mixed = [topic for topic in scan.get("topics", []) if LATIN.search(topic) and KANA.search(topic)]
    if mixed:
        problems.append("topics mixing Latin letters and Kana: " + ", ".join(mixed))
    return problems


def run(program, work, only):
    names = [name for name in SITES if not only or name == only]
    ports = {name: free_port(HOST) for name in SITES}
    server = Nginx(work, ports)
    cases = []
    try:
        for name in names:
            began = time.time()
            try:
                folder, scan = generate(program, f"http://{HOST}:{ports[name]}/", work, name)
                problems = check_llms_txt(folder) + check_standards(folder, scan, work, name)
                if name == "handbook-ja":
                    problems += check_japanese(scan)
                print(f"{name}: {len(scan['pages'])} pages, language {scan.get('language')!r}, "
                      f"{len(problems)} problems")
            except Exception as error:  # a site that could not be judged fails
                problems = [str(error)]
            for problem in problems:
                print("  " + problem)
            cases.append((f"package of {name}", time.time() - began,
                          "\n".join(problems) if problems else None))
    finally:
        server.stop()
    return cases


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--results", required=True, type=pathlib.Path)
    parser.add_argument("--keep", type=pathlib.Path, help="work folder to keep (default: temp)")
    parser.add_argument("--only", choices=sorted(SITES))
    args = parser.parse_args()
    work = args.keep or pathlib.Path(tempfile.mkdtemp(prefix="bcnk-real-packages."))
    work.mkdir(parents=True, exist_ok=True)
    try:
        missing = [name for name, found in [("nginx", find_nginx()),
                                            (args.program, os.access(args.program, os.X_OK))] +
                   [(str(root), root.is_dir()) for root in SITES.values()] if not found]
        if missing:
            raise RuntimeError("missing: " + ", ".join(missing))
        cases = run(args.program, work, args.only)
    except Exception as error:  # any fault in the set-up is a failure, never a pass
        print(f"real-packages step failed: {error}", file=sys.stderr)
        cases = [("real-packages set-up", 0.0, str(error))]
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    write_results(args.results, cases, "RealPackages")
    return 1 if any(case[2] for case in cases) else 0


if __name__ == "__main__":
    sys.exit(main())
