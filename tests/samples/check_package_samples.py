#!/usr/bin/env python3
"""Reads back the package files of one sample case with Python's own JSON and XML readers and
checks that every hostile value survives escaping: what a reader gets is what was put in.
Addresses are written URI-escaped, so they are compared after percent-decoding.

Usage: check_package_samples.py CASE_DIR   (the folder holding package/ and expect/)
Prints one line per failed check and exits non-zero when any failed.
"""
import json
import pathlib
import sys
import urllib.parse
import xml.etree.ElementTree as ElementTree

SITEMAP_NS = "{http://www.sitemaps.org/schemas/sitemap/0.9}"


def main():
    case = pathlib.Path(sys.argv[1])
    package = case / "package"
    expect = case / "expect"
    failures = []

    def text(name):
        return (expect / name).read_bytes().decode("utf-8")

    def values(name):
        raw = (expect / name).read_bytes()
        result = []
        while raw:
            size = int.from_bytes(raw[:4], "little")
            result.append(raw[4:4 + size].decode("utf-8"))
            raw = raw[4 + size:]
        return result

    def check(condition, message):
        if not condition:
            failures.append(message)

    for path in sorted(p for p in package.rglob("*") if p.is_file()):
        try:
            path.read_bytes().decode("utf-8", errors="strict")
        except UnicodeDecodeError as error:
            failures.append(f"{path.name} is not UTF-8: {error}")

    discovery = json.loads((package / "ai-discovery.json").read_text("utf-8"))
    organization = discovery["organization"]
    check(organization["name"] == text("name.txt"), "ai-discovery.json name differs")
    check(organization["description"] == text("description.txt"),
          "ai-discovery.json description differs")
    unquote = urllib.parse.unquote
    check(unquote(organization["url"]) == text("base-url.txt"), "ai-discovery.json url differs")
    check(discovery["content"]["topics"] == values("topics.bin"),
          "ai-discovery.json topics differ")

    graph = json.loads((package / "knowledge-graph.json").read_text("utf-8"))["@graph"]
    check(graph[0].get("name", "") == text("name.txt"), "knowledge-graph.json name differs")
    person = text("person.txt")
    if person:
        check(graph[-1]["@type"] == "Person" and graph[-1]["name"] == person and
              unquote(graph[-1].get("url", "")) == text("base-url.txt"),
              "knowledge-graph.json person node differs")
    else:
        check(graph[-1]["@type"] != "Person", "knowledge-graph.json has a person node")

    tdm = json.loads((package / "tdmrep.json").read_text("utf-8"))
    check(tdm[0]["location"] == "/", "tdmrep.json location is not the whole site")

    urls = {unquote(url) for url in values("urls.bin")}
    root_address = text("base-url.txt") + "/"
    for name in ("sitemap.xml", "ai-sitemap.xml"):
        root = ElementTree.parse(package / name).getroot()
        for loc in root.iter(SITEMAP_NS + "loc"):
            address = unquote(loc.text or "")
            check(address in urls or address == root_address,
                  f"{name} lists an address no page has: {loc.text!r}")

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
