#!/usr/bin/env python3
"""Link discovery on a real documentation site: the Python manual from the python3.11-doc
package, served by nginx on loopback addresses.

1. Plain: the pages our console program stores (depth 5, no pause, no page limit) against
   the HTML pages `wget --recursive --level=5` downloads. Each difference must fall under a
   rule printed with it; any other difference fails the step.
2. Behind redirects: the scan starts at a second loopback address whose every answer is a
   301 to the first, at the manual's folder without its slash (a second 301, to the slash).
   The same pages must come out.
3. One language of a multilingual manual: the web server's manual from apache2-doc (eleven
   languages side by side, the Korean one in EUC-KR), started at /manual/ko/ with
   --within-start-folder. Only pages under /manual/ko/ may come out, and no title may keep
   a character reference ("&atilde;") undecoded.

    real_site.py --program build/beaconsmith --results FILE [--keep DIR]
"""
import argparse
import html.parser
import json
import os
import pathlib
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse

from cli_e2e import write_results

DOC_ROOT = pathlib.Path("/usr/share/doc/python3.11/html")
MANUAL_ROOT = pathlib.Path("/usr/share/doc/apache2-doc/manual")
MANUAL_FOLDER = "/manual/ko/"
MANUAL_MIN_PAGES = 100  # the Korean manual has over 200 pages
MAX_DEPTH = 5
RUN_TIMEOUT = 900
PLAIN_HOST = "127.0.0.1"
MOVED_HOST = "127.0.0.2"
FOLDER = "/docs"
MAX_LISTED = 20  # unexplained differences printed one by one


def free_port(host):
    with socket.socket() as probe:
        probe.bind((host, 0))
        return probe.getsockname()[1]


def find_nginx():
    return shutil.which("nginx") or next(
        (path for path in ("/usr/sbin/nginx", "/sbin/nginx") if os.access(path, os.X_OK)), None)


class Nginx:
    """nginx in its own prefix: the manual under FOLDER on one address, and a second address
    that moves every request there."""

    def __init__(self, work, plain_port, moved_port):
        self.prefix = work / "nginx"
        site = self.prefix / "site"
        site.mkdir(parents=True)
        # A folder reached through a symbolic link is still a folder to nginx, so "/docs"
        # gets nginx's own 301 to "/docs/", as any folder linked without its slash would.
        (site / FOLDER.strip("/")).symlink_to(DOC_ROOT)
        (site / "manual").symlink_to(MANUAL_ROOT)
        user = "user root root;" if os.geteuid() == 0 else ""
        mime = "include /etc/nginx/mime.types;" if os.path.exists("/etc/nginx/mime.types") else (
            "types { text/html html; text/css css; application/javascript js; }")
        conf = f"""
{user}
worker_processes 1;
daemon off;
pid {self.prefix}/nginx.pid;
error_log {self.prefix}/error.log;
events {{ worker_connections 64; }}
http {{
    {mime}
    default_type application/octet-stream;
    access_log {self.prefix}/access.log;
    client_body_temp_path {self.prefix}/body;
    proxy_temp_path {self.prefix}/proxy;
    fastcgi_temp_path {self.prefix}/fastcgi;
    uwsgi_temp_path {self.prefix}/uwsgi;
    scgi_temp_path {self.prefix}/scgi;
    server {{
        listen {PLAIN_HOST}:{plain_port};
        root {site};
    }}
    server {{
        listen {MOVED_HOST}:{moved_port};
        location / {{ return 301 http://{PLAIN_HOST}:{plain_port}$request_uri; }}
    }}
}}
"""
        (self.prefix / "nginx.conf").write_text(conf)
        self.process = subprocess.Popen(
            [find_nginx(), "-p", str(self.prefix), "-c", str(self.prefix / "nginx.conf")],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        for _ in range(100):
            if self.process.poll() is not None:
                raise RuntimeError("nginx ended at start: " + self.process.stderr.read().decode())
            try:
                socket.create_connection((PLAIN_HOST, plain_port), timeout=1).close()
                socket.create_connection((MOVED_HOST, moved_port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.1)
        self.stop()
        raise RuntimeError("nginx did not start listening")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def site_path(url):
    """The address without its origin: path and query, no fragment."""
    parts = urllib.parse.urlsplit(url)
    return parts.path + ("?" + parts.query if parts.query else "")


def page_key(path):
    """A folder address and its index.html are one page (our crawl keeps the first address)."""
    return path[: -len("index.html")] if path.endswith("/index.html") else path


def wget_pages(start, work):
    """HTML pages wget stores, as final address -> local file. nginx labels only .html files
    text/html, and wget names a folder's page index.html, so the file name tells HTML apart."""
    target = work / "wget"
    completed = subprocess.run(
        ["wget", "--recursive", f"--level={MAX_DEPTH}", "--no-verbose", "-e", "robots=off",
         "--tries=1", "--timeout=10", "--directory-prefix", str(target), start],
        capture_output=True, text=True, timeout=RUN_TIMEOUT)
    pages = {}
    for match in re.finditer(r'URL: ?(\S+) \[[^\]]*\] -> "([^"]+)"', completed.stderr):
        url, local = match.groups()
        if local.endswith(".html"):
            pages[url] = pathlib.Path(local if os.path.isabs(local) else os.path.join(os.getcwd(), local))
    if not pages:
        raise RuntimeError("wget stored no page (exit %d): %s" % (completed.returncode,
                                                                  completed.stderr[-2000:]))
    return pages


def our_scan(program, start, work, name, extra=()):
    report = work / (name + ".json")
    command = [program, "scan", start, "--depth", str(MAX_DEPTH), "--delay", "0",
               "--max-pages", "none", "--json", str(report), *extra]
    completed = subprocess.run(command, capture_output=True, text=True, timeout=RUN_TIMEOUT)
    if completed.returncode != 0 or not report.exists():
        raise RuntimeError("%s ended with %d: %s" % (" ".join(command), completed.returncode,
                                                      completed.stderr[-2000:]))
    return json.loads(report.read_text(encoding="utf-8"))


def our_pages(program, start, work, name):
    return [page["url"] for page in our_scan(program, start, work, name)["pages"]]


def one_language(program, work, plain_port):
    """The Korean manual alone: (summary line, failure text or None)."""
    start = f"http://{PLAIN_HOST}:{plain_port}{MANUAL_FOLDER}"
    pages = our_scan(program, start, work, "korean", ["--within-start-folder"])["pages"]
    outside = [page["url"] for page in pages if not site_path(page["url"]).startswith(MANUAL_FOLDER)]
    encoded = [f"{page['url']}: {page['title']}" for page in pages
               if re.search(r"&#?\w+;", page["title"])]
    problems = []
    if len(pages) < MANUAL_MIN_PAGES:
        problems.append(f"only {len(pages)} pages")
    if outside:
        problems.append(f"{len(outside)} pages outside {MANUAL_FOLDER}, e.g. {outside[0]}")
    if encoded:
        problems.append(f"{len(encoded)} titles with a character reference, e.g. {encoded[0]}")
    line = (f"one language {start} --within-start-folder: {len(pages)} pages, "
            f"{len(outside)} outside the folder, {len(encoded)} titles with references")
    return line, "\n".join(problems) or None


class AnchorLinks(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.hrefs = []

    def handle_starttag(self, tag, attrs):
        if tag == "a":
            self.hrefs.extend(value for name, value in attrs if name == "href" and value)


def anchor_depths(start, pages):
    """Depth of every stored page when only <a href> links are followed, as our crawl does;
    wget also follows <link rel=next>, <link rel=index> and the like."""
    by_path = {site_path(url): path for url, path in pages.items()}
    start_path = site_path(start)
    depths = {start_path: 0}
    queue = [start_path]
    for current in queue:
        if depths[current] >= MAX_DEPTH or current not in by_path:
            continue
        parser = AnchorLinks()
        parser.feed(by_path[current].read_text(encoding="utf-8", errors="replace"))
        base = "http://site" + current
        for href in parser.hrefs:
            target = urllib.parse.urljoin(base, href.strip())
            if not target.startswith("http://site/"):
                continue
            path = site_path(urllib.parse.urldefrag(target)[0])
            if path not in depths:
                depths[path] = depths[current] + 1
                queue.append(path)
    return depths


def compare(ours, theirs, explain):
    """Differences between two sets of site paths, each classified by `explain` (which
    returns a rule or None). Returns (lines to print, unexplained count)."""
    lines, unexplained = [], 0
    our_keys = {page_key(path) for path in ours}
    their_keys = {page_key(path) for path in theirs}
    rules = {}
    for side, path in ([("only ours", p) for p in sorted(set(ours) - set(theirs))] +
                       [("only theirs", p) for p in sorted(set(theirs) - set(ours))]):
        other = their_keys if side == "only ours" else our_keys
        rule = ("one page, two addresses (folder and its index.html)"
                if page_key(path) in other else explain(side, path))
        if rule is None:
            unexplained += 1
            if unexplained <= MAX_LISTED:
                lines.append(f"  UNEXPLAINED {side}: {path}")
        else:
            rules.setdefault(rule, []).append(f"{side}: {path}")
    if unexplained > MAX_LISTED:
        lines.append(f"  ... {unexplained} unexplained differences in all")
    for rule, items in sorted(rules.items()):
        lines.append(f"  {len(items)} explained by rule '{rule}', e.g. {items[0]}")
    return lines, unexplained


def run(program, work):
    plain_port = free_port(PLAIN_HOST)
    moved_port = free_port(MOVED_HOST)
    server = Nginx(work, plain_port, moved_port)
    cases = []
    try:
        start = f"http://{PLAIN_HOST}:{plain_port}{FOLDER}/"
        began = time.time()
        wget = wget_pages(start, work)
        wget_paths = [site_path(url) for url in wget]
        ours = [site_path(url) for url in our_pages(program, start, work, "plain")]
        depths = anchor_depths(start, wget)

        def explain(side, path):
            if side == "only theirs" and depths.get(path, MAX_DEPTH + 1) > MAX_DEPTH:
                return "reached only through links other than <a href> within 5 levels"
            return None

        lines, unexplained = compare(ours, wget_paths, explain)
        print(f"plain {start}: ours {len(ours)} pages, wget {len(wget_paths)} HTML pages, "
              f"{len(set(ours) & set(wget_paths))} in both")
        if lines:
            print("\n".join(lines))
        cases.append(("plain site: our pages against wget's", time.time() - began,
                      "\n".join(lines) if unexplained else None))

        began = time.time()
        moved_start = f"http://{MOVED_HOST}:{moved_port}{FOLDER}"
        moved_urls = our_pages(program, moved_start, work, "moved")
        moved = [site_path(url) for url in moved_urls]
        foreign = [url for url in moved_urls if not url.startswith(f"http://{PLAIN_HOST}:{plain_port}/")]
        lines, unexplained = compare(moved, ours, lambda side, path: None)
        print(f"behind redirects {moved_start}: ours {len(moved)} pages, plain {len(ours)} pages, "
              f"{len(set(moved) & set(ours))} in both; {len(foreign)} stored under another origin")
        if lines:
            print("\n".join(lines))
        if foreign:
            lines.append("  stored under another origin than the one moved to, e.g. " + foreign[0])
        cases.append(("behind redirects: the same pages as plain", time.time() - began,
                      "\n".join(lines) if unexplained or foreign else None))

        began = time.time()
        line, failure = one_language(program, work, plain_port)
        print(line)
        cases.append(("one language of a manual, start folder only", time.time() - began,
                      failure))
    finally:
        server.stop()
    return cases


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--results", required=True, type=pathlib.Path)
    parser.add_argument("--keep", type=pathlib.Path, help="work folder to keep (default: temp)")
    args = parser.parse_args()
    work = args.keep or pathlib.Path(tempfile.mkdtemp(prefix="bcnk-real-site."))
    work.mkdir(parents=True, exist_ok=True)
    # nginx's workers must be able to reach the site folder inside it.
    work.chmod(0o755)
    try:
        missing = [name for name, found in (("nginx", find_nginx()), ("wget", shutil.which("wget")),
                                            ("python3.11-doc", DOC_ROOT.is_dir()),
                                            ("apache2-doc", MANUAL_ROOT.is_dir()),
                                            (args.program, os.access(args.program, os.X_OK)))
                   if not found]
        if missing:
            raise RuntimeError("missing: " + ", ".join(missing))
        cases = run(args.program, work)
    except Exception as error:  # any fault in the set-up is a failure, never a pass
        print(f"real-site step failed: {error}", file=sys.stderr)
        cases = [("real-site set-up", 0.0, str(error))]
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    write_results(args.results, cases, "RealSite")
    return 1 if any(case[2] for case in cases) else 0


if __name__ == "__main__":
    sys.exit(main())
