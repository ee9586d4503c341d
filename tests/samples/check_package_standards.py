#!/usr/bin/env python3
"""Checks one sample package against two standards with checkers written from the standards'
own descriptions, not from our code:

- llms.txt and llms-lite.txt in the llms.txt format (llmstxt.org): an H1 title, an optional
  quote, prose without headings, then H2 sections that hold nothing but list items
  "- [name](url)" or "- [name](url): notes". Every link must parse and point at an address of
  a crawled page. ai-discovery.md may hold no raw tag or smuggled link either.
- Every address in every file is a URI by RFC 3986.

Usage: check_package_standards.py CASE_DIR   (the folder holding package/ and expect/)
Prints one line per problem and exits non-zero when there is any.
"""
import json
import pathlib
import re
import sys
import urllib.parse
import xml.etree.ElementTree as ElementTree

from twins import twin_pages

# ---- RFC 3986, collected from its ABNF (appendix A) -----------------------------------------
UNRESERVED = r"A-Za-z0-9\-._~"
SUB_DELIMS = r"!$&'()*+,;="
PCT = r"%[0-9A-Fa-f]{2}"
PCHAR = rf"(?:[{UNRESERVED}{SUB_DELIMS}:@]|{PCT})"
SCHEME = r"[A-Za-z][A-Za-z0-9+\-.]*"
USERINFO = rf"(?:[{UNRESERVED}{SUB_DELIMS}:]|{PCT})*"
DEC_OCTET = r"(?:25[0-5]|2[0-4][0-9]|1[0-9]{2}|[1-9]?[0-9])"
IPV4 = rf"{DEC_OCTET}\.{DEC_OCTET}\.{DEC_OCTET}\.{DEC_OCTET}"
H16 = r"[0-9A-Fa-f]{1,4}"
LS32 = rf"(?:{H16}:{H16}|{IPV4})"
IPV6 = "|".join([
    rf"(?:{H16}:){{6}}{LS32}",
    rf"::(?:{H16}:){{5}}{LS32}",
    rf"(?:{H16})?::(?:{H16}:){{4}}{LS32}",
    rf"(?:(?:{H16}:){{0,1}}{H16})?::(?:{H16}:){{3}}{LS32}",
    rf"(?:(?:{H16}:){{0,2}}{H16})?::(?:{H16}:){{2}}{LS32}",
    rf"(?:(?:{H16}:){{0,3}}{H16})?::{H16}:{LS32}",
    rf"(?:(?:{H16}:){{0,4}}{H16})?::{LS32}",
    rf"(?:(?:{H16}:){{0,5}}{H16})?::{H16}",
    rf"(?:(?:{H16}:){{0,6}}{H16})?::",
])
IP_LITERAL = rf"\[(?:{IPV6}|v[0-9A-Fa-f]+\.[{UNRESERVED}{SUB_DELIMS}:]+)\]"
REG_NAME = rf"(?:[{UNRESERVED}{SUB_DELIMS}]|{PCT})*"
AUTHORITY = rf"(?:{USERINFO}@)?(?:{IP_LITERAL}|{IPV4}|{REG_NAME})(?::[0-9]*)?"
PATH_ABEMPTY = rf"(?:/{PCHAR}*)*"
PATH_ABSOLUTE = rf"/(?:{PCHAR}+(?:/{PCHAR}*)*)?"
PATH_ROOTLESS = rf"{PCHAR}+(?:/{PCHAR}*)*"
PATH_NOSCHEME = rf"(?:[{UNRESERVED}{SUB_DELIMS}@]|{PCT})+(?:/{PCHAR}*)*"
QUERY = rf"(?:{PCHAR}|[/?])*"
URI = re.compile(
    rf"{SCHEME}:(?://{AUTHORITY}{PATH_ABEMPTY}|{PATH_ABSOLUTE}|{PATH_ROOTLESS}|)"
    rf"(?:\?{QUERY})?(?:#{QUERY})?\Z")
RELATIVE_REF = re.compile(
    rf"(?://{AUTHORITY}{PATH_ABEMPTY}|{PATH_ABSOLUTE}|{PATH_NOSCHEME}|)"
    rf"(?:\?{QUERY})?(?:#{QUERY})?\Z")
LOOKS_LIKE_ADDRESS = re.compile(r"[A-Za-z][A-Za-z0-9+\-.]*://")

# ---- Markdown, as CommonMark reads it -----------------------------------------------------
ESCAPABLE = set("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~")


def scan_link(text, start):
    """Reads "[name](url)" at text[start]; returns (name, url, end) or raises ValueError."""
    if text[start] != "[":
        raise ValueError("no link")
    i, name = start + 1, []
    while True:
        if i >= len(text):
            raise ValueError("link text never closes")
        c = text[i]
        if c == "\\" and i + 1 < len(text) and text[i + 1] in ESCAPABLE:
            name.append(text[i + 1])
            i += 2
            continue
        if c == "[":
            raise ValueError("unescaped '[' inside a link text")
        if c == "]":
            break
        name.append(c)
        i += 1
    if not text.startswith("(", i + 1):
        raise ValueError("link text not followed by '('")
    close = text.find(")", i + 2)
    if close < 0:
        raise ValueError("link address never closes")
    url = text[i + 2:close]
    if not url or any(ch in url for ch in " <>()\\") or any(ord(ch) < 0x20 for ch in url):
        raise ValueError(f"link address Markdown would not read whole: {url!r}")
    return "".join(name), url, close + 1


def unescaped(text, chars):
    """Positions of chars in text that no backslash escapes."""
    found, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in ESCAPABLE:
            i += 2
            continue
        if text[i] in chars:
            found.append(i)
        i += 1
    return found


def check_inline(text, where, problems, autolinks=False):
    """Text that must read as written: no raw tag, no link of its own, no control character."""
    if any(ord(c) < 0x20 or 0x7F <= ord(c) <= 0x9F for c in text):
        problems.append(f"{where}: control character in {text!r}")
    angles = unescaped(text, "<>")
    if angles and not (autolinks and re.fullmatch(r"<[^<>\s]+>", text)):
        problems.append(f"{where}: raw '<' or '>' in {text!r}")
    for position in unescaped(text, "]"):
        if text.startswith("(", position + 1) or text.startswith("[", position + 1):
            problems.append(f"{where}: a link could form in {text!r}")
    if unescaped(text, "[") and not unescaped(text, "]"):
        pass  # a lone bracket links nothing


def check_llms_format(path, page_addresses, problems):
    lines = path.read_text("utf-8").split("\n")
    name = path.name
    if lines and lines[-1] == "":
        lines.pop()
    if not lines or not re.fullmatch(r"# \S.*", lines[0]):
        problems.append(f"{name}: does not begin with an H1 title")
        return []
    links, section = [], None
    for number, line in enumerate(lines[1:], start=2):
        where = f"{name}:{number}"
        if line.startswith("## "):
            section = line[3:]
            if not section.strip():
                problems.append(f"{where}: empty section heading")
            continue
        if re.match(r"#", line):
            problems.append(f"{where}: a heading other than the H1 title and H2 sections")
            continue
        if section is None:  # prose and the quote
            check_inline(line[2:] if line.startswith("> ") else line, where, problems)
            continue
        if line == "":
            continue
        if not line.startswith("- "):
            problems.append(f"{where}: section '{section}' holds more than a link list")
            continue
        try:
            text, url, end = scan_link(line, 2)
        except ValueError as error:
            problems.append(f"{where}: {error}")
            continue
        rest = line[end:]
        if rest and not rest.startswith(": "):
            problems.append(f"{where}: text after the link that is not ': notes'")
        check_inline(rest[2:], where, problems)
        if not text.strip():
            problems.append(f"{where}: empty link text")
        # A link to a page's Markdown twin stands for the page.
        if not any(urllib.parse.unquote(page) in page_addresses for page in twin_pages(url)):
            problems.append(f"{where}: link to {url!r}, which is no crawled page")
        links.append((section, url))
    return links


def lines_outside_code(lines):
    """(line number, line) of Markdown lines outside fenced code blocks."""
    fence = None
    for number, line in enumerate(lines, start=1):
        if fence:
            fence = None if line == fence else fence
        elif line.startswith("```"):
            fence = line[: len(line) - len(line.lstrip("`"))]
        else:
            yield number, line


def check_llms_full(path, page_addresses, problems):
    """llms-full.txt: the llms.txt head, then each page under an H2 heading with its
    address below it, within the size limit; one H1 outside code."""
    text = path.read_text("utf-8")
    if len(text.encode("utf-8")) > 1024 * 1024:
        problems.append("llms-full.txt: larger than its 1 MiB limit")
    lines = text.split("\n")
    if not re.fullmatch(r"# \S.*", lines[0]):
        problems.append("llms-full.txt: does not begin with an H1 title")
    pages = 0
    for number, line in lines_outside_code(lines):
        if number == 1:
            continue
        if re.match(r"# ", line):
            problems.append(f"llms-full.txt:{number}: a second H1")
        elif line.startswith("## ") and number + 1 < len(lines) and lines[number + 1].startswith("<http"):
            # A page: its title, a blank line, then its address.
            pages += 1
            address = urllib.parse.unquote(lines[number + 1][1:-1])
            if address not in page_addresses:
                problems.append(f"llms-full.txt:{number + 2}: {address!r} is no crawled page")
    if page_addresses and pages == 0:
        problems.append("llms-full.txt: holds no page")


def check_discovery_md(path, problems):
    for number, line in enumerate(path.read_text("utf-8").split("\n"), start=1):
        where = f"{path.name}:{number}"
        body = re.sub(r"^(#{1,3} |- \*\*[A-Za-z]+:\*\* |- )", "", line)
        check_inline(body, where, problems, autolinks=True)


# ---- addresses in every file ----------------------------------------------------------------

def addresses_in_json(value, key=None):
    if isinstance(value, dict):
        for member, item in value.items():
            yield from addresses_in_json(item, member)
    elif isinstance(value, list):
        for item in value:
            yield from addresses_in_json(item, key)
    elif isinstance(value, str):
        if key in ("@id", "url", "location", "tdm-policy") or LOOKS_LIKE_ADDRESS.match(value):
            if not value.startswith("_:"):  # a blank node names no resource
                yield value


def addresses_in_xml(path):
    for element in ElementTree.parse(path).iter():
        for value in [element.text or ""] + list(element.attrib.values()):
            if LOOKS_LIKE_ADDRESS.match(value.strip()):
                yield value.strip()


def addresses_in_text(text):
    # Markdown link destinations and autolinks first, then bare addresses in running text.
    for match in re.finditer(r"(?<!\\)\]\(([^)\s]*)\)", text):
        yield match.group(1)
    text = re.sub(r"(?<!\\)\]\([^)\s]*\)", "]", text)
    for match in re.finditer(r"(?<!\\)<([A-Za-z][A-Za-z0-9+\-.]*:[^<>\s]*)>", text):
        yield match.group(1)
    text = re.sub(r"(?<!\\)<[A-Za-z][A-Za-z0-9+\-.]*:[^<>\s]*>", " ", text)
    for match in re.finditer(r"[A-Za-z][A-Za-z0-9+\-.]*://[^\s]*", text):
        yield match.group(0).rstrip(".,;:")


def markdown_addresses(text):
    found = []
    for _, line in lines_outside_code(text.split("\n")):
        line = re.sub(r"(`+).+?\1", " ", line)  # code spans hold no links
        found += re.findall(r"(?<!\\)\]\(([^)\s]+)\)", line)
        found += re.findall(r"^<(https?:[^>\s]+)>$", line)
    return found


def check_addresses(package, problems):
    count = 0
    for path in sorted(package.rglob("*")):
        if not path.is_file():
            continue
        if path.suffix == ".json":
            found = list(addresses_in_json(json.loads(path.read_text("utf-8"))))
        elif path.suffix == ".xml":
            found = list(addresses_in_xml(path))
        elif path.suffix == ".md" and path.name != "ai-discovery.md" or path.name == "llms-full.txt":
            # Page text in Markdown: the addresses we write are its links and autolinks; an
            # address in the page's words is the page's, escaped as text.
            found = markdown_addresses(path.read_text("utf-8"))
        else:
            text = path.read_text("utf-8")
            if path.name == "robots.txt.NEW" and not text.startswith("# Beaconsmith"):
                # A merge keeps the site's own robots.txt as it is; only what we add is ours.
                marker = text.find("# ===== Added by")
                text = text[marker:] if marker >= 0 else ""
            if path.parent.name == "server":
                # Server files quote their values; the quotes are no part of an address.
                text = text.replace('"', " ")
            found = list(addresses_in_text(text))
        for address in found:
            count += 1
            grammar = URI if LOOKS_LIKE_ADDRESS.match(address) else RELATIVE_REF
            if not grammar.match(address):
                problems.append(f"{path.name}: not an RFC 3986 URI: {address!r}")
    if count == 0:
        problems.append("no address found in any file: the extraction is broken")


def main():
    case = pathlib.Path(sys.argv[1])
    package, expect = case / "package", case / "expect"
    raw = (expect / "urls.bin").read_bytes()
    pages = set()
    while raw:
        size = int.from_bytes(raw[:4], "little")
        pages.add(raw[4:4 + size].decode("utf-8"))
        raw = raw[4 + size:]
    # A page is the same page whichever of its spellings (escaped or raw) the crawl stored.
    page_addresses = {urllib.parse.unquote(page) for page in pages if page}
    problems = []
    for name in ("llms.txt", "llms-lite.txt"):
        if (package / name).exists():
            links = check_llms_format(package / name, page_addresses, problems)
            if name == "llms.txt" and len(links) != len({url for _, url in links}):
                problems.append("llms.txt lists one page twice")
            if name == "llms.txt" and not links and page_addresses:
                problems.append("llms.txt lists no page")
    if (package / "llms-full.txt").exists():
        check_llms_full(package / "llms-full.txt", page_addresses, problems)
    check_discovery_md(package / "ai-discovery.md", problems)
    check_addresses(package, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
