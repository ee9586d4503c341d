#!/usr/bin/env python3
"""Checks every archive below a folder written by write_zip_samples with three ZIP readers
that are not ours: `unzip -t`, Python's zipfile and bsdtar (listing and extraction).

Usage: check_zip_samples.py LABEL DIR RESULT_XML
Each archive <x>.zip has <x>.zip.members beside it: the members a reader must find, in order.
Package archives (those below DIR/packages) must also hold exactly the files beside them.
Writes one JUnit test case per archive and reader; exits non-zero when any failed.
"""
import os
import pathlib
import subprocess
import sys
import tempfile
import xml.sax.saxutils as saxutils
import zipfile

UTF8_NAMES = 0x0800


def expected_members(path):
    raw = (path.parent / (path.name + ".members")).read_bytes()
    fields = []
    while raw:
        size = int.from_bytes(raw[:4], "little")
        fields.append(raw[4:4 + size])
        raw = raw[4 + size:]
    return [(fields[i].decode("utf-8"), fields[i + 1]) for i in range(0, len(fields), 2)]


def run(command, cwd=None):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    result = subprocess.run(command, cwd=cwd, env=env, capture_output=True, timeout=120)
    return result.returncode, (result.stdout + result.stderr).decode("utf-8", "replace")


def check_zipfile(path, members, is_package):
    problems = []
    with zipfile.ZipFile(path) as archive:
        bad = archive.testzip()
        if bad is not None:
            problems.append(f"testzip: bad CRC in {bad!r}")
        infos = archive.infolist()
        names = [info.filename for info in infos]
        if names != [name for name, _ in members]:
            problems.append(f"names {names!r} != {[name for name, _ in members]!r}")
        for info in infos:
            if not info.flag_bits & UTF8_NAMES:
                problems.append(f"{info.filename!r}: UTF-8 flag not set")
            if info.compress_type != zipfile.ZIP_STORED:
                problems.append(f"{info.filename!r}: not stored")
        for name, data in members:
            if name in names and archive.read(name) != data:
                problems.append(f"{name!r}: content differs")
        if is_package:
            beside = sorted(p.relative_to(path.parent).as_posix() for p in path.parent.rglob("*")
                            if p.is_file() and p.suffix not in (".zip", ".members"))
            if beside != sorted(names):
                problems.append(f"files beside the archive {beside!r} != members")
            for name in names:
                if (path.parent / name).read_bytes() != archive.read(name):
                    problems.append(f"{name!r}: archive and file on disk differ")
    return problems


def check_unzip(path, members):
    code, output = run(["unzip", "-t", str(path)])
    # unzip reports an archive without members as a warning (exit 1), which is right.
    if code == 0 or (not members and code == 1 and "zipfile is empty" in output):
        return []
    return [f"unzip -t exited {code}: {output[-2000:]}"]


def check_bsdtar(path, members):
    problems = []
    code, output = run(["bsdtar", "-tvf", str(path)])
    listed = [line for line in output.splitlines() if line.strip()]
    if code != 0:
        problems.append(f"bsdtar -tvf exited {code}: {output[-2000:]}")
    elif len(listed) != len(members):
        problems.append(f"bsdtar listed {len(listed)} members, expected {len(members)}")
    with tempfile.TemporaryDirectory() as target:
        code, output = run(["bsdtar", "-xf", str(path)], cwd=target)
        if code != 0:
            problems.append(f"bsdtar -xf exited {code}: {output[-2000:]}")
        extracted = sorted(p.relative_to(target).as_posix()
                           for p in pathlib.Path(target).rglob("*") if p.is_file())
        if extracted != sorted(name for name, _ in members):
            problems.append(f"bsdtar extracted {extracted!r}")
        for name, data in members:
            file = pathlib.Path(target) / name
            if file.is_file() and file.read_bytes() != data:
                problems.append(f"{name!r}: extracted content differs")
    return problems


def main():
    label, root, result_path = sys.argv[1], pathlib.Path(sys.argv[2]), sys.argv[3]
    cases = []
    archives = sorted(root.rglob("*.zip"))
    if not archives:
        cases.append((f"{label} archives written", ["no archive found below " + str(root)]))
    for path in archives:
        members = expected_members(path)
        is_package = "packages" in path.relative_to(root).parts
        name = f"{label}/{path.relative_to(root)}"
        for reader, check in (("zipfile", lambda: check_zipfile(path, members, is_package)),
                              ("unzip -t", lambda: check_unzip(path, members)),
                              ("bsdtar", lambda: check_bsdtar(path, members))):
            try:
                problems = check()
            except Exception as error:  # a reader that rejects the archive outright
                problems = [f"{type(error).__name__}: {error}"]
            cases.append((f"{reader} {name}", problems))

    failures = [case for case in cases if case[1]]
    with open(result_path, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        out.write(f'<testsuites><testsuite name="ZipReaders {saxutils.escape(label)}" '
                  f'tests="{len(cases)}" failures="{len(failures)}">\n')
        for name, problems in cases:
            attribute = saxutils.quoteattr(name)
            if problems:
                message = saxutils.escape("\n".join(problems))
                out.write(f'<testcase classname="ZipReaders" name={attribute}>'
                          f'<failure message="reader disagreed">{message}</failure></testcase>\n')
            else:
                out.write(f'<testcase classname="ZipReaders" name={attribute}/>\n')
        out.write("</testsuite></testsuites>\n")
    for name, problems in failures:
        print(f"FAILED: {name}", file=sys.stderr)
        for problem in problems:
            print(f"    {problem}", file=sys.stderr)
    print(f"zip readers ({label}): {len(cases)} checks, {len(failures)} failed", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
