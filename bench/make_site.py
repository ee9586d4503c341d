#!/usr/bin/env python3
"""Writes a static site for the crawl benchmarks.

Page 0 is index.html; page i lives at p/<i>.html. Page i links to its ten children
10i+1 .. 10i+10 while they exist, so every page is within reach of the start page in a few
levels (2,000 pages by depth 4, 100,000 by depth 5); pages without children link to ten
other pages chosen by a fixed seed, so the crawler still meets repeats and the site has no
dead ends. Text is padded to about the requested size with ordinary prose.
"""
import argparse
import os
import random

WORDS = ("crawler index garden river market ledger harbour lantern meadow orchard signal "
         "timber valley willow beacon copper forest granite island journey kettle ").split()


def page_path(index):
    return "/" if index == 0 else "/p/%d.html" % index


def links_of(index, pages, rng):
    children = [c for c in range(10 * index + 1, 10 * index + 11) if c < pages]
    if children:
        return children
    return [rng.randrange(pages) for _ in range(10)]


def prose(rng, length):
    out = []
    size = 0
    while size < length:
        sentence = " ".join(rng.choice(WORDS) for _ in range(12)).capitalize() + ". "
        out.append(sentence)
        size += len(sentence)
    return "".join(out)


def render(index, pages, size, rng):
    links = "\n".join('<li><a href="%s">Page %d</a></li>' % (page_path(t), t)
                      for t in links_of(index, pages, rng))
    head = ('<!doctype html>\n<html lang="en"><head><meta charset="utf-8">'
            '<title>Page %d of the benchmark garden</title>'
            '<meta name="description" content="Notes number %d about rivers, markets and '
            'lanterns in the benchmark garden."></head>\n<body><h1>Garden notes %d</h1>\n'
            '<h2>River market</h2><h2>Copper lantern</h2>\n<ul>\n%s\n</ul>\n' %
            (index, index, index, links))
    tail = "</body></html>\n"
    body = "<p>%s</p>\n" % prose(rng, max(0, size - len(head) - len(tail) - 8))
    return head + body + tail


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--pages", type=int, default=2000)
    parser.add_argument("--size", type=int, default=5000)
    parser.add_argument("--url-list", help="also write every page address to this file")
    parser.add_argument("--base", default="")
    args = parser.parse_args()

    rng = random.Random(20261207)
    os.makedirs(os.path.join(args.root, "p"), exist_ok=True)
    for index in range(args.pages):
        name = "index.html" if index == 0 else os.path.join("p", "%d.html" % index)
        with open(os.path.join(args.root, name), "w", encoding="utf-8") as out:
            out.write(render(index, args.pages, args.size, rng))
    if args.url_list:
        with open(args.url_list, "w") as out:
            for index in range(args.pages):
                out.write(args.base + page_path(index) + "\n")


if __name__ == "__main__":
    main()
