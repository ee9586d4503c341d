#!/usr/bin/env python3
"""What AI crawlers actually get, end to end through the console program's JSON.

Against the fixture server's `agents` site (answers by user agent) and `scripted` site
(content written by scripts): the server's verdict for each crawler, the render verdicts with
Debian's Chromium, a --browser that hangs (the time limit holds and no process is left, by the
process list), and under Wine the Windows build's plumbing with the stand-in browser.

    agents_e2e.py --results FILE --native PROGRAM [--wine PROGRAM.exe --fake-browser EXE]
"""
import argparse
import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from cli_e2e import Program, expect, write_results  # noqa: E402

CRAWLER_VERDICTS = {
    # token: (verdict, status, words in the text, disagreement)
    "GPTBot": ("refused", 403, "refused (HTTP 403)", ""),
    "Google-Extended": ("refused", 403, "refused (HTTP 403)",
                        "robots.txt allows it, the server refuses it"),
    "ClaudeBot": ("challenge", 503, "challenge page (HTTP 503, cf-mitigated: challenge)",
                  "robots.txt allows it, the server refuses it"),
    "anthropic-ai": ("challenge", 503, "challenge page (HTTP 503, cf-mitigated: challenge)",
                     "robots.txt allows it, the server refuses it"),
    "CCBot": ("rateLimited", 429, "rate limited (HTTP 429)",
              "robots.txt allows it, the server refuses it"),
    "PerplexityBot": ("differentContent", 200, "% fewer words)",
                      "robots.txt allows it, the server sends it something else"),
    "Amazonbot": ("sentElsewhere", 200, "sent elsewhere (redirect to http://127.0.0.1:",
                  "robots.txt allows it, the server sends it something else"),
    "OAI-SearchBot": ("sameAsBrowser", 200, "same as a browser", ""),
}
RUN_TIMEOUT = 300


def site(name):
    port = os.environ.get(f"BCNK_FIXTURE_SITE_{name.upper()}_PORT")
    if not port:
        raise SystemExit(f"agents_e2e: the fixture server is not running (no {name} site)")
    return f"http://127.0.0.1:{port}/"


def run_json(program, arguments):
    result = program.run(["scan"] + arguments + ["--delay", "0", "--json", "-"])
    expect(result[0] == 0, f"exit code {result[0]}:\n{result[2][-3000:]}")
    return json.loads(result[1]), result[2]


def processes_with(marker):
    listing = subprocess.run(["ps", "-eo", "pid,args"], capture_output=True, text=True).stdout
    return [line for line in listing.splitlines() if marker in line and "ps -eo" not in line]


class Suite:
    def __init__(self, program, work, fake_browser=None):
        self.program = program
        self.work = work
        self.fake_browser = fake_browser
        self.cases = []

    def case(self, name, function):
        started = time.monotonic()
        try:
            function()
            failure = ""
        except Exception:  # noqa: BLE001 - every failure becomes a failed case
            failure = traceback.format_exc()
        self.cases.append((f"{self.program.label}: {name}", time.monotonic() - started, failure))

    def server_answers(self):
        data, _ = run_json(self.program, [site("agents"), "--render", "off"])
        check = data["agentCheck"]
        answers = {answer["token"]: answer for answer in check["answers"]}
        expect(len(answers) == len(data["crawlerAccess"]), "one answer per crawler row")
        for token, (verdict, status, text, disagreement) in CRAWLER_VERDICTS.items():
            answer = answers[token]
            expect(answer["verdict"] == verdict, f"{token}: {answer}")
            expect(answer["status"] == status, f"{token}: {answer}")
            expect(text in answer["text"], f"{token}: {answer['text']!r} lacks {text!r}")
            expect(answer["disagreement"] == disagreement, f"{token}: {answer}")
        expect(answers["Google-Extended"]["probedAs"] == "Googlebot", "probed as Googlebot")
        expect(answers["Claude-Web"]["probedAs"] == "ClaudeBot", "probed as ClaudeBot")
        expect(answers["Google-Extended"]["note"]
               == "same as Googlebot's answer: this token has no crawler of its own",
               answers["Google-Extended"])
        expect(answers["GPTBot"]["note"] == "", answers["GPTBot"])
        distinct = len({answer["userAgent"] for answer in answers.values()})
        # The browser's request makes one more per page; two pages at most.
        expect(check["requests"] <= 2 * (distinct + 1),
               f"{check['requests']} requests for {distinct} agents")
        expect(data["render"] is None, "render off")

    def summary_leads(self):
        result = self.program.run(["scan", site("agents"), "--delay", "0", "--render", "off"])
        expect(result[0] == 0, result[2])
        lines = result[1].splitlines()
        first_section = next(i for i, line in enumerate(lines) if line == "AI discovery files")
        lead = "\n".join(lines[:first_section])
        expect("ClaudeBot: robots.txt allows it, the server refuses it" in lead, lead)
        expect("GPTBot:" not in lead, "robots.txt and the server agree on GPTBot")
        expect("  Applebot-Extended: same as Applebot's answer: this token has no crawler of "
               "its own" in lines, "the stand-in is said in the summary")

    def no_agent_check(self):
        data, _ = run_json(self.program, [site("agents"), "--render", "off", "--no-agent-check"])
        expect(data["agentCheck"] is None, "agentCheck should be null")

    def javascript_verdicts(self):
        data, _ = run_json(self.program, [site("scripted"), "--render", "all",
                                          "--no-agent-check"])
        render = data["render"]
        expect(render["state"] == "done", render)
        pages = {page["url"].rsplit("/", 1)[1]: page for page in render["pages"]}
        expect(pages["spa.html"]["verdict"] == "needsJavaScript", pages["spa.html"])
        expect(pages["links.html"]["scriptOnlyLinks"] == 2, pages["links.html"])
        expect(pages["hybrid.html"]["verdict"] == "scriptsAddSome", pages["hybrid.html"])
        expect(pages[""]["verdict"] == "sameWithoutScripts", pages[""])
        expect(sorted(url.rsplit("/", 1)[1] for url in render["scriptOnlyPages"]) ==
               ["february.html", "january.html"], render["scriptOnlyPages"])
        expect("GPTBot" in render["crawlersWithoutScripts"], render["crawlersWithoutScripts"])
        # Whatever never.html did, the browser was stopped within the limit.
        never = pages["never.html"]
        expect(never["verdict"] != "notRendered" or never["note"] == "time limit (10 s)", never)

    def hanging_browser(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="bcnk-hanging-browser.", dir=self.work))
        sleeper = folder / "hang-sleep"
        shutil.copy("/bin/sleep", sleeper)
        browser = folder / "browser"
        browser.write_text(f"#!/bin/sh\n'{sleeper}' 600 &\nexec '{sleeper}' 600\n")
        browser.chmod(0o755)
        data, _ = run_json(self.program, [site("scripted"), "--render", "2",
                                          "--no-agent-check", "--browser", str(browser)])
        notes = [page["note"] for page in data["render"]["pages"]]
        expect(notes == ["time limit (10 s)"] * 2, notes)
        left = processes_with(str(folder))
        for _ in range(50):
            if not left:
                break
            time.sleep(0.1)
            left = processes_with(str(folder))
        expect(not left, f"left running: {left}")

    def interrupted_render(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="bcnk-interrupted-browser.", dir=self.work))
        sleeper = folder / "hang-sleep"
        shutil.copy("/bin/sleep", sleeper)
        browser = folder / "browser"
        browser.write_text(f"#!/bin/sh\n'{sleeper}' 600 &\nexec '{sleeper}' 600\n")
        browser.chmod(0o755)
        process = self.program.start(["scan", site("scripted"), "--delay", "0", "--render", "2",
                                      "--no-agent-check", "--browser", str(browser)])
        # Interrupted once the browsers run, the way Ctrl+C does it.
        for _ in range(200):
            if processes_with(str(sleeper)):
                break
            time.sleep(0.05)
        process.send_signal(signal.SIGINT)
        try:
            process.communicate(timeout=60)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            raise AssertionError("the scan did not end after Ctrl+C")
        expect(process.returncode == 130, f"exit code {process.returncode}")
        left = processes_with(str(folder))
        for _ in range(50):
            if not left:
                break
            time.sleep(0.1)
            left = processes_with(str(folder))
        expect(not left, f"left running after Ctrl+C: {left}")

    def missing_browser(self):
        data, _ = run_json(self.program, [site("scripted"), "--render", "1",
                                          "--no-agent-check", "--browser",
                                          str(self.work / "no-such-browser")])
        expect(data["render"]["state"] == "noBrowser", data["render"])
        expect(data["render"]["summary"] == "not checked: no browser found", data["render"])

    def stand_in_browser(self):
        data, _ = run_json(self.program, [site("scripted"), "--render", "1",
                                          "--no-agent-check", "--browser", self.fake_browser])
        pages = data["render"]["pages"]
        expect(len(pages) == 1 and pages[0]["verdict"] != "notRendered", pages)
        expect(pages[0]["renderedWords"] > 0, pages)

    def run_all(self):
        self.case("server answers by user agent", self.server_answers)
        self.case("summary leads with the disagreements", self.summary_leads)
        self.case("--no-agent-check", self.no_agent_check)
        self.case("no browser found", self.missing_browser)
        if self.fake_browser:
            self.case("stand-in browser renders", self.stand_in_browser)
        else:
            if not shutil.which("chromium"):
                self.cases.append((f"{self.program.label}: JavaScript verdicts", 0.0,
                                   "chromium is not installed (tools/setup installs it)"))
            else:
                self.case("JavaScript verdicts with Chromium", self.javascript_verdicts)
            self.case("hanging browser is killed at the limit", self.hanging_browser)
            self.case("Ctrl+C during rendering leaves no browser", self.interrupted_render)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--results", required=True, type=pathlib.Path)
    parser.add_argument("--native", required=True)
    parser.add_argument("--wine")
    parser.add_argument("--fake-browser")
    args = parser.parse_args()
    work = pathlib.Path(tempfile.mkdtemp(prefix="bcnk-agents-e2e."))
    cases = []
    try:
        suite = Suite(Program("native", [args.native]), work)
        suite.run_all()
        cases += suite.cases
        if args.wine:
            wine = Suite(Program("wine", ["wine", args.wine]), work, args.fake_browser)
            wine.run_all()
            cases += wine.cases
    finally:
        shutil.rmtree(work, ignore_errors=True)
    write_results(args.results, cases, "AgentsAndRendering")
    failed = sum(1 for case in cases if case[2])
    print(f"agents and rendering: {len(cases) - failed} passed, {failed} failed", file=sys.stderr)
    return 1 if failed or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
