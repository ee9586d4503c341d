#!/usr/bin/env python3
"""Checks what the window program left behind after the end-to-end drive: the driver's
report, the package folder with its files, Markdown twins and archive, the settings file and debug.log
line by line (time stamps removed). Writes one JUnit test case per check."""
import argparse
import pathlib
import re
import subprocess
import sys
import zipfile
from xml.sax.saxutils import escape

PACKAGE_FILES = {
    "README.txt", "upload-map.txt", "ai-discovery.json", "ai-discovery.md", "robots.txt.NEW",
    "sitemap.xml", "ai-sitemap.xml", "llms-lite.txt", "llms-full.txt", "tdmrep.json",
    "knowledge-graph.json",
}
SERVER_FILES = {"server/nginx-ai-discovery.conf", "server/.htaccess", "server/web.config",
                "server/_headers"}
STAMP = re.compile(r"^\d\d:\d\d:\d\d\.\d\d\d  ")


class Checks:
    def __init__(self):
        self.cases = []

    def check(self, name, condition, detail=""):
        self.cases.append((name, bool(condition), detail))
        print(("ok: " if condition else "FAIL: ") + name + ("" if condition else f" ({detail})"))
        return condition

    def write(self, path):
        failures = sum(1 for _, passed, _ in self.cases if not passed)
        lines = [f'<testsuite name="gui-e2e" tests="{len(self.cases)}" failures="{failures}">']
        for name, passed, detail in self.cases:
            lines.append(f'  <testcase classname="gui-e2e" name="{escape(name)}">')
            if not passed:
                # Details may be lists or numbers; a failure must still reach the results.
                lines.append(f'    <failure message="{escape(str(detail), {chr(34): "&quot;"})}"/>')
            lines.append("  </testcase>")
        lines.append("</testsuite>")
        pathlib.Path(path).write_text("\n".join(lines) + "\n")
        return failures == 0


def report_values(report):
    """The driver's key=value lines; repeated keys (check, page) keep every value in order."""
    values = {}
    for line in report.splitlines():
        if "=" in line and not line.startswith(("ok:", "FAIL:")):
            key, value = line.split("=", 1)
            values.setdefault(key, []).append(value)
    return values


def log_messages(path):
    raw = path.read_bytes()
    text = raw.decode("utf-8")
    lines = text.split("\r\n")
    return raw, lines


def check_log(checks, path, site, rows, statuses):
    raw, lines = log_messages(path)
    checks.check("debug.log starts with a UTF-8 byte-order mark", raw.startswith(b"\xef\xbb\xbf"))
    checks.check("debug.log uses CR LF line ends", b"\n" not in raw.replace(b"\r\n", b""))
    lines = [line.lstrip("\ufeff") for line in lines]
    if lines and lines[-1] == "":
        lines.pop()
    checks.check("session header", len(lines) > 2
                 and lines[0] == "==== Talvenn's Beaconsmith v1 ===="
                 and re.fullmatch(r"Session started: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d", lines[1]),
                 repr(lines[:2]))
    body = lines[2:]
    checks.check("every message line has a time stamp", all(STAMP.match(l) for l in body))
    messages = [STAMP.sub("", line) for line in body]
    expected_head = ["Application starting.", "Networking initialised.",
                     "Main window created. DPI=96", f"Scan requested: url={site}",
                     f"Crawl start: base={site} host=127.0.0.1 depth=3 delay=0ms "
                     "maxPages=500"]
    checks.check("start-up and scan request lines", messages[:5] == expected_head,
                 repr(messages[:5]))
    # The page list showed the pages in crawl order, as the log numbered them.
    page_lines = [m for m in messages if m.startswith("page #")]
    expected_pages = [(str(number), row.split("|")[2], row.split("|")[0])
                      for number, row in enumerate(rows, start=1)]
    logged_pages = [re.fullmatch(r"page #(\d+) \[200\] d\d+ (\w+) - (.*)", m) for m in page_lines]
    checks.check("one page line per listed page, same class and address",
                 [m.groups() if m else None for m in logged_pages] == expected_pages,
                 f"{page_lines} vs {expected_pages}")
    expected_checks = ["ADP: {} = {}".format(row.split("|")[0], row.split("|")[2])
                       for row in statuses]
    checks.check("ADP lines match the status list",
                 [m for m in messages if m.startswith("ADP: ")] == expected_checks)
    checks.check("crawl complete line",
                 any(re.fullmatch(rf"Crawl complete: {len(rows)} pages, score \d+%, \d+s", m)
                     for m in messages))
    tail = messages[-7:] if len(messages) >= 7 else [""] * 7
    checks.check("generate lines", tail[:3] == [
        "Generate requested: name=Sample Owner industry=Blog founded=2021 train=0 cite=1 summ=1",
        "Generated 15 files", f"Markdown twins: {len(rows)}"], repr(tail[:3]))
    checks.check("export line", tail[3].startswith("Export OK: ") and tail[3].endswith(".zip"),
                 tail[3])
    checks.check("report line", tail[4].startswith("Report saved: ") and
                 tail[4].endswith("-report.html"), tail[4])
    checks.check("log ends when logging is switched off",
                 tail[5:] == ["Logging disabled via settings.", "Session ended."], repr(tail[5:]))
    checks.check("second scan is not logged",
                 sum(m.startswith("Scan requested") for m in messages) == 1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--report", required=True)
    parser.add_argument("--app-dir", required=True)
    parser.add_argument("--site", required=True)
    parser.add_argument("--junit", required=True)
    parser.add_argument("--driver-exit", type=int, required=True)
    args = parser.parse_args()
    checks = Checks()
    report = pathlib.Path(args.report).read_text(errors="replace")
    checks.check("driver finished every step", args.driver_exit == 0 and "ALL PASSED" in report,
                 next((l for l in report.splitlines() if l.startswith("FAIL")), "no report"))
    values = report_values(report)
    app = pathlib.Path(args.app_dir)

    report_text = values.get("report_file", [""])[0]
    report_file = pathlib.Path(subprocess.run(["winepath", "-u", report_text], capture_output=True,
                                              text=True).stdout.strip()) if report_text else None
    if checks.check("report file is reported", report_file is not None and report_file.is_file(),
                    report_text):
        html = report_file.read_text(encoding="utf-8")
        checks.check("report lies in the output folder", report_file.parent == app / "output",
                     str(report_file))
        checks.check("report shows the package and the pages",
                     'id="package"' in html and "<dt>Name</dt><dd>Sample Owner</dd>" in html
                     and "harbour-lamp.html" in html)

    folder_text = values.get("package_folder", [""])[0]
    folder = pathlib.Path(subprocess.run(["winepath", "-u", folder_text], capture_output=True,
                                         text=True).stdout.strip()) if folder_text else None
    if checks.check("package folder is reported", folder is not None and folder.is_dir(),
                    folder_text):
        names = {p.name for p in folder.iterdir() if p.is_file()}
        checks.check("package folder holds the ten files", PACKAGE_FILES <= names, sorted(names))
        checks.check("package folder lies below output beside the program",
                     folder.parent == app / "output", str(folder))
        archives = [p for p in folder.iterdir() if p.suffix == ".zip"]
        if checks.check("one ZIP archive", len(archives) == 1, sorted(names)):
            with zipfile.ZipFile(archives[0]) as archive:
                checks.check("archive is intact", archive.testzip() is None)
                members = set(archive.namelist())
                twins = {name for name in members if name.startswith("md/")}
                on_disk = {"md/" + p.relative_to(folder / "md").as_posix()
                           for p in (folder / "md").rglob("*") if p.is_file()}
                checks.check("archive holds the package files and the Markdown twins",
                             members - twins == PACKAGE_FILES | SERVER_FILES and twins
                             and twins == on_disk, sorted(members))

    ini = app / "bcnk.ini"
    ini_text = ini.read_bytes().decode("utf-16" if ini.read_bytes()[:2] in (b"\xff\xfe", b"\xfe\xff")
                                       else "utf-8", errors="replace") if ini.exists() else ""
    checks.check("settings file stores logging off and the untouched User-Agent",
                 re.search(r"(?im)^debuglog=0\s*$", ini_text)
                 and re.search(r"(?m)^useragent=TalvennsBeaconsmith/1\.0 \(\+\S+\)\s*$", ini_text),
                 ini_text)

    log = app / "debug.log"
    if checks.check("debug.log exists", log.exists()):
        check_log(checks, log, args.site, values.get("page", []), values.get("check", []))
    return 0 if checks.write(args.junit) else 1


if __name__ == "__main__":
    sys.exit(main())
