#!/usr/bin/env python3
"""Checks that a package lists only pages their owner publishes, by fetching every address
that sitemap.xml, ai-sitemap.xml and llms.txt list from the live site and reading the pages
the way crawlers do (Python's own HTML parser, not ours):

- the page answers 200 itself (no redirect);
- no robots meta or X-Robots-Tag says noindex/none to every crawler or to a search engine;
  for the AI files (ai-sitemap.xml, llms.txt) neither noai nor noindex to an AI crawler;
- its canonical link, where it names a page of the same site, names this very address;
- the address carries no tracking parameter;
- no two addresses of one file show the same visible text.

The AI crawler tokens and the tracking parameters are read from the program's tables, so the
check follows them without copying them.

Usage: check_publishable.py PACKAGE_DIR [--expect-fail]
Only loopback addresses are fetched. Prints one line per problem; exits non-zero when there is
any (or, with --expect-fail, when there is none: the check must catch a bad package).
"""
import html.parser
import pathlib
import re
import sys
import urllib.error
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ElementTree

from twins import twin_pages

ROOT = pathlib.Path(__file__).resolve().parents[2]
MAX_FETCHES = 3000
SEARCH_AGENTS = {"googlebot", "bingbot"}


def table_strings(path, pattern):
    text = (ROOT / path).read_text("utf-8")
    return re.findall(pattern, text)


AI_AGENTS = {token.lower() for token in table_strings(
    "src/scan/ai_crawlers.cpp", r'\{u"([A-Za-z0-9_.-]+)",\s*u"')}
TRACKING = table_strings(
    "src/net/tracking_parameters.cpp", r'kTrackingParameters\[\] = \{([^}]*)\}')
TRACKING = re.findall(r'u"([^"]+)"', TRACKING[0]) if TRACKING else []


class NoRedirect(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, *args, **kwargs):
        return None


OPENER = urllib.request.build_opener(NoRedirect, urllib.request.ProxyHandler({}))


class PageReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.metas = []          # (name, content)
        self.canonical = None
        self.base = None
        self.in_head = True
        self.hidden = 0
        self.in_body = False
        self.text = []

    def handle_starttag(self, tag, attrs):
        attrs = {name: value or "" for name, value in attrs}
        if tag == "body":
            self.in_head, self.in_body = False, True
        elif tag in ("script", "style"):
            self.hidden += 1
        elif tag == "meta" and attrs.get("name"):
            self.metas.append((attrs["name"].lower(), attrs.get("content", "")))
        elif tag == "base" and self.base is None and attrs.get("href"):
            self.base = attrs["href"]
        elif (tag == "link" and self.in_head and self.canonical is None
              and "canonical" in attrs.get("rel", "").lower().split() and attrs.get("href")):
            self.canonical = attrs["href"]

    def handle_endtag(self, tag):
        if tag == "head":
            self.in_head = False
        elif tag in ("script", "style") and self.hidden:
            self.hidden -= 1

    def handle_data(self, data):
        if self.in_body and not self.hidden:
            self.text.append(data)


def directives(value, agent, header):
    """(agent, directive) pairs of one meta content or X-Robots-Tag value."""
    out = []
    for piece in value.split(","):
        piece = piece.strip().lower()
        name, colon, rest = piece.partition(":")
        if header and colon and name.strip() and " " not in name.strip() and not name.startswith(
                ("max-", "unavailable_after")):
            agent, piece = name.strip(), rest.strip()
        if piece:
            out.append((agent, piece))
    return out


def check_page(address, for_ai, problems, texts, where):
    if urllib.parse.urlsplit(address).hostname not in ("127.0.0.1", "localhost"):
        problems.append(f"{where}: not a loopback address, not fetched: {address}")
        return
    try:
        with OPENER.open(address, timeout=10) as response:
            status, headers, body = response.status, response.headers, response.read()
    except urllib.error.HTTPError as error:
        status, headers, body = error.code, error.headers, b""
    if status != 200:
        problems.append(f"{where}: {address} answers {status}")
        return
    reader = PageReader()
    reader.feed(body.decode("utf-8", "replace"))
    found = []
    for name, content in reader.metas:
        agent = "" if name == "robots" else name
        found += directives(content, agent, False)
    for value in headers.get_all("X-Robots-Tag") or []:
        found += directives(value, "", True)
    for agent, directive in found:
        if directive in ("noindex", "none") and (agent == "" or agent in SEARCH_AGENTS):
            problems.append(f"{where}: {address} is noindex ({agent or 'all'})")
        if for_ai and ((directive == "noai" and agent in ("", *AI_AGENTS))
                       or (directive in ("noindex", "none") and agent in AI_AGENTS)):
            problems.append(f"{where}: {address} is marked against AI ({agent or 'all'}: "
                            f"{directive})")
    canonical = reader.canonical
    if canonical is None:
        for value in headers.get_all("Link") or []:
            match = re.search(r'<([^>]*)>[^,<]*rel="?[^",;]*\bcanonical\b', value, re.I)
            if match:
                canonical = match.group(1)
                break
    if canonical:
        base = urllib.parse.urljoin(address, reader.base) if reader.base else address
        target = urllib.parse.urljoin(base, canonical.strip())
        parts = urllib.parse.urlsplit(target)
        if parts.scheme in ("http", "https") and parts.netloc == urllib.parse.urlsplit(address).netloc:
            if target.rstrip("/") != address.rstrip("/"):
                problems.append(f"{where}: {address} names {target} as its canonical")
    query = urllib.parse.parse_qsl(urllib.parse.urlsplit(address).query, keep_blank_values=True)
    for name, _ in query:
        lowered = name.lower()
        if any(lowered == entry or (entry.endswith("_") and lowered.startswith(entry)
                                    and lowered != entry) for entry in TRACKING):
            problems.append(f"{where}: {address} is a tracked variant ({name})")
    text = " ".join(" ".join(reader.text).split()).casefold()
    if text:
        if text in texts:
            problems.append(f"{where}: {address} repeats the text of {texts[text]}")
        texts.setdefault(text, address)


def listed(package):
    lists = {}
    for name in ("sitemap.xml", "ai-sitemap.xml"):
        path = package / name
        if path.exists():
            lists[name] = [element.text.strip() for element in ElementTree.parse(path).iter()
                           if element.tag.endswith("}loc") and element.text]
    path = package / "llms.txt"
    if path.exists():
        # A link to a page's Markdown twin is checked as the page it stands for.
        links = re.findall(r"^- \[.*?\]\(([^)\s]+)\)", path.read_text("utf-8"), re.M)
        lists["llms.txt"] = [twin_pages(link)[0] for link in links]
    return lists


def main():
    package = pathlib.Path(sys.argv[1])
    expect_fail = "--expect-fail" in sys.argv[2:]
    problems = []
    if not AI_AGENTS or not TRACKING:
        problems.append("could not read the AI crawler or tracking parameter tables")
    lists = listed(package)
    fetches = 0
    for name, addresses in lists.items():
        texts = {}
        for address in addresses:
            fetches += 1
            if fetches > MAX_FETCHES:
                problems.append("too many addresses to fetch")
                break
            check_page(urllib.parse.unquote(address), name != "sitemap.xml", problems, texts,
                       name)
    if not lists or not any(lists.values()):
        problems.append("no listed address found: the extraction is broken")
    for problem in problems:
        print(problem)
    print(f"{fetches} listed addresses fetched", file=sys.stderr)
    if expect_fail:
        return 0 if problems else 1
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
