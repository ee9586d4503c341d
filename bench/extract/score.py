#!/usr/bin/env python3
"""Scores extracted texts by the extraction benchmark's rule and prints the table.

Per page: words are the runs of Unicode word characters (Python's \\w+) in lower case;
precision = shared words (as multisets) / predicted words, recall = shared / reference words,
F1 their harmonic mean (1 when both are empty, 0 when only one is); figures are means over
pages, overall and per page type. Also the share of `with` snippets found and of `without`
snippets avoided (compared as lower-case word sequences).
Usage: score.py <ground-truth-dir> <ids-file> <name>=<dir>[:<timing.json>] ...
"""
import collections
import json
import re
import sys

WORD = re.compile(r"\w+")


def words(text):
    return WORD.findall(text.lower())


def page_scores(predicted, reference):
    p, r = words(predicted), words(reference)
    if not p and not r:
        return 1.0, 1.0, 1.0
    if not p or not r:
        return 0.0, 0.0, 0.0
    shared = sum((collections.Counter(p) & collections.Counter(r)).values())
    precision, recall = shared / len(p), shared / len(r)
    f1 = 0.0 if shared == 0 else 2 * precision * recall / (precision + recall)
    return f1, precision, recall


def contains(haystack_words, snippet):
    needle = " ".join(words(snippet))
    return bool(needle) and needle in haystack_words


def main():
    truth_dir, ids_file = sys.argv[1], sys.argv[2]
    ids = [line.split("\t")[0] for line in open(ids_file, encoding="utf-8") if line.strip()]
    truth = {}
    for page in ids:
        with open(f"{truth_dir}/{page}.json", encoding="utf-8") as f:
            data = json.load(f)
        truth[page] = (data["_internal"]["page_type"]["primary"], data.get("ground_truth") or {})
    types = sorted({kind for kind, _ in truth.values()})
    results = {}
    for extractor in sys.argv[3:]:
        name, rest = extractor.split("=", 1)
        folder, _, timing = rest.partition(":")
        rows = collections.defaultdict(list)
        snippets = [0, 0, 0, 0]  # with found, with total, without avoided, without total
        per_page = {}
        for page in ids:
            kind, gt = truth[page]
            try:
                with open(f"{folder}/{page}.txt", encoding="utf-8", errors="replace") as f:
                    text = f.read()
            except FileNotFoundError:
                text = ""
            scores = page_scores(text, gt.get("main_content") or "")
            per_page[page] = scores[0]
            rows[kind].append(scores)
            rows["overall"].append(scores)
            joined = " ".join(words(text))
            for snippet in gt.get("with") or []:
                snippets[0] += contains(joined, snippet)
                snippets[1] += 1
            for snippet in gt.get("without") or []:
                snippets[2] += not contains(joined, snippet)
                snippets[3] += 1
        speed = json.load(open(timing)) if timing else None
        results[name] = (rows, snippets, speed, per_page)
    print(f"{'':<16}" + "".join(f"{n:>26}" for n in results))
    print(f"{'type (pages)':<16}" + "".join(f"{'F1    P     R':>26}" for _ in results))
    for kind in ["overall"] + types:
        count = len(results[next(iter(results))][0][kind])
        label = f"{kind} ({count})"
        cells = []
        for name, (rows, _, _, _) in results.items():
            values = rows[kind]
            mean = [sum(v[i] for v in values) / len(values) for i in range(3)]
            cells.append(f"{mean[0]:.3f} {mean[1]:.3f} {mean[2]:.3f}")
        print(f"{label:<16}" + "".join(f"{c:>26}" for c in cells))
    for name, (_, snippets, speed, _) in results.items():
        line = f"{name}: with found {snippets[0] / max(snippets[1], 1):.3f}, " \
               f"without avoided {snippets[2] / max(snippets[3], 1):.3f}"
        if speed:
            line += f", {speed['pages'] / speed['seconds']:.1f} pages/s"
            if speed.get("bytes"):
                line += f", {speed['bytes'] / speed['seconds'] / 1e6:.1f} MB/s of HTML"
        print(line)
    dump = os_environ_get("BCNK_EXTRACT_PER_PAGE")
    if dump:
        with open(dump, "w", encoding="utf-8") as f:
            json.dump({n: r[3] for n, r in results.items()}, f)


def os_environ_get(name):
    import os
    return os.environ.get(name)


if __name__ == "__main__":
    main()
