#!/usr/bin/env python3
"""Loads HTML reports in headless Chromium and checks what a reader's browser would do.

Talks to Chromium over the DevTools protocol on a pipe (--remote-debugging-pipe), so no port
is opened. For every report: no console error, no uncaught exception, no request other than
the file itself; the page table renders, sorts by every column and filters. With --hostile
also, once with scripts on and once with them off: the DOM holds only the elements and
attributes the report writes itself, every link is http(s) or a fragment, and no payload
ran (each sets window.__pwned). Prints "ok: ..." or "FAIL: ..." lines; exits 1 on any
failure and 2 when the browser cannot be run at all.

Usage: check_report_browser.py [--hostile] [--chromium PATH] REPORT.html
"""
import argparse
import fcntl
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

REPORT_TAGS = {
    "html", "head", "meta", "title", "style", "body", "main", "header", "h1", "h2", "h3",
    "span", "nav", "a", "section", "div", "svg", "circle", "text", "rect", "dl", "dt", "dd",
    "p", "table", "thead", "tbody", "tr", "th", "td", "code", "ul", "li", "input", "button",
    "noscript", "script", "footer", "strong",
}
REPORT_ATTRIBUTES = {
    "charset", "name", "content", "http-equiv", "lang", "class", "id", "href", "viewbox",
    "width", "height", "role", "aria-label", "cx", "cy", "r", "stroke-width", "stroke",
    "stroke-dasharray", "transform", "x", "y", "text-anchor", "rx", "type", "placeholder",
    "hidden", "data-column", "aria-sort",
}
BROWSER_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--no-first-run",
    "--disable-default-apps", "--disable-extensions", "--remote-debugging-pipe",
]

# Sorts by every column twice, filters, shows more, hovers and focuses every element, and
# reports what the table showed; the report's script must survive all of it.
EXERCISE = r"""
(async () => {
  const pause = (ms) => new Promise((done) => setTimeout(done, ms));
  const out = {errors: []};
  const body = document.getElementById("page-rows");
  const live = document.getElementById("pages-live");
  out.hasTable = !!body;
  if (body) {
    out.liveShown = !live.hidden;
    out.initialRows = body.rows.length;
    const buttons = live.querySelectorAll("th[data-column] button");
    const started = performance.now();
    for (let column = 0; column < buttons.length; column++) {
      for (const direction of ["ascending", "descending"]) {
        buttons[column].click();
        const header = buttons[column].parentElement;
        if (header.getAttribute("aria-sort") !== direction) {
          out.errors.push("column " + column + " not " + direction);
        }
        const cells = Array.from(body.rows).map((row) => row.cells[column].textContent);
        const values = header.classList.contains("n") ? cells.map(Number)
                                                      : cells.map((c) => c.toLowerCase());
        for (let i = 1; i < values.length; i++) {
          const inOrder = direction === "ascending" ? values[i - 1] <= values[i]
                                                    : values[i - 1] >= values[i];
          if (!inOrder) { out.errors.push("column " + column + " " + direction +
                                          " out of order at row " + i); break; }
        }
      }
    }
    out.sortMs = Math.round(performance.now() - started);
    const filter = document.getElementById("page-filter");
    const probe = body.rows.length ? body.rows[0].cells[1].textContent.slice(0, 12) : "";
    filter.value = probe;
    filter.dispatchEvent(new Event("input"));
    await pause(400);
    out.filteredRows = body.rows.length;
    for (const row of body.rows) {
      const text = Array.from(row.cells).map((c) => c.textContent).join("\n").toLowerCase();
      if (!text.includes(probe.trim().toLowerCase())) {
        out.errors.push("filter kept a row without '" + probe + "'"); break;
      }
    }
    filter.value = "";
    filter.dispatchEvent(new Event("input"));
    await pause(400);
    const more = document.getElementById("page-more");
    if (!more.hidden) { more.click(); }
    out.rowsAfterMore = body.rows.length;
  }
  for (const element of document.querySelectorAll("*")) {
    for (const type of ["mouseover", "mouseenter", "focus", "click"]) {
      if (type === "click" && element.closest("a")) { continue; }
      element.dispatchEvent(new Event(type));
    }
  }
  await pause(200);
  out.pwned = typeof window.__pwned !== "undefined" ? String(window.__pwned) : null;
  out.bodyDisplay = getComputedStyle(document.body).display;
  return JSON.stringify(out);
})()
"""


def high(fd):
    moved = fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10)
    os.close(fd)
    return moved


class Browser:
    """One Chromium process and its DevTools pipe."""

    def __init__(self, executable, profile):
        # The browser reads commands from its descriptor 3 and writes to 4. The pipe ends are
        # moved above 9 first, so that putting them in place cannot overwrite one another.
        to_browser_read, to_browser_write = (high(fd) for fd in os.pipe())
        from_browser_read, from_browser_write = (high(fd) for fd in os.pipe())

        def wire_pipes():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)

        # Descriptors are closed before preexec_fn runs when close_fds is on, so it is off;
        # ours are close-on-exec, and dup2 leaves 3 and 4 without that flag.
        self.process = subprocess.Popen(
            [executable, *BROWSER_FLAGS, "--user-data-dir=" + profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False, preexec_fn=wire_pipes)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.writer = os.fdopen(to_browser_write, "wb", buffering=0)
        self.reader = os.fdopen(from_browser_read, "rb", buffering=0)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except Exception:  # noqa: BLE001 - the process is ended below either way
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def _read_message(self, deadline):
        import select
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no answer from the browser")
            ready, _, _ = select.select([self.reader], [], [], left)
            if ready:
                chunk = self.reader.read(1 << 20)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=60):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            request["sessionId"] = session
        self.writer.write(json.dumps(request).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            message = self._read_message(deadline)
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            self.events.append(message)

    def wait_for(self, method, timeout=120):
        deadline = time.monotonic() + timeout
        for index, event in enumerate(self.events):
            if event.get("method") == method:
                return self.events.pop(index)
        while True:
            message = self._read_message(deadline)
            if message.get("method") == method:
                return message
            self.events.append(message)


def walk(node, found):
    if node.get("nodeType") == 1:
        attributes = node.get("attributes", [])
        found.append((node["nodeName"].lower(), list(zip(attributes[::2], attributes[1::2]))))
    for child in node.get("children", []) + node.get("contentDocument", {}).get("children", []):
        walk(child, found)


def load(browser, url, scripts):
    target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
    session = browser.send("Target.attachToTarget",
                           {"targetId": target, "flatten": True})["sessionId"]
    browser.events.clear()
    for domain in ("Runtime", "Log", "Network", "Page", "DOM"):
        browser.send(domain + ".enable", session=session)
    if not scripts:
        browser.send("Emulation.setScriptExecutionDisabled", {"value": True}, session=session)
    started = time.monotonic()
    browser.send("Page.navigate", {"url": url}, session=session)
    browser.wait_for("Page.loadEventFired")
    return session, time.monotonic() - started


def problems_in_events(events, url):
    problems = []
    for event in events:
        method = event.get("method")
        params = event.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            problems.append("console error: " + json.dumps(params.get("args"))[:300])
        elif method == "Runtime.exceptionThrown":
            problems.append("exception: " + json.dumps(params.get("exceptionDetails"))[:300])
        elif method == "Log.entryAdded" and params.get("entry", {}).get("level") == "error":
            problems.append("log error: " + params["entry"].get("text", "")[:300])
        elif method == "Network.requestWillBeSent":
            requested = params.get("request", {}).get("url", "")
            if requested != url:
                problems.append("network request: " + requested[:300])
    return problems


def check_dom(browser, session):
    problems = []
    document = browser.send("DOM.getDocument", {"depth": -1, "pierce": True}, session=session)
    elements = []
    walk(document["root"], elements)
    tags = [tag for tag, _ in elements]
    for tag, attributes in elements:
        if tag not in REPORT_TAGS:
            problems.append(f"foreign element <{tag}>")
        for name, value in attributes:
            if name.lower() not in REPORT_ATTRIBUTES:
                problems.append(f"foreign attribute {name}= on <{tag}>")
            if name.lower() == "href" and not (value.lower().startswith(("http://", "https://"))
                                               or value.startswith("#")):
                problems.append(f"link to {value[:100]}")
    if tags.count("style") != 1:
        problems.append(f"{tags.count('style')} style elements")
    if tags.count("script") > 2:
        problems.append(f"{tags.count('script')} script elements")
    return problems, len(elements)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("report")
    parser.add_argument("--hostile", action="store_true")
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    args = parser.parse_args()
    if not shutil.which(args.chromium):
        print(f"FAIL: {args.chromium} cannot be run")
        return 2
    report = pathlib.Path(args.report).resolve()
    if not report.is_file():
        print(f"FAIL: {report} does not exist")
        return 2
    url = report.as_uri()
    failures = 0

    def verdict(name, problems):
        nonlocal failures
        if problems:
            failures += 1
            print(f"FAIL: {name}")
            for problem in problems[:20]:
                print(f"    {problem}")
        else:
            print(f"ok: {name}")

    profile = tempfile.mkdtemp(prefix="bcnk-chromium-")
    browser = None
    try:
        browser = Browser(args.chromium, profile)
        browser.send("Browser.getVersion", timeout=60)
        session, seconds = load(browser, url, scripts=True)
        result = browser.send("Runtime.evaluate", {"expression": EXERCISE, "awaitPromise": True,
                                                   "returnByValue": True},
                              session=session, timeout=300)
        if "exceptionDetails" in result:
            verdict("exercise the page table", [json.dumps(result["exceptionDetails"])[:500]])
            facts = {}
        else:
            facts = json.loads(result["result"]["value"])
        print(f"    loaded in {seconds:.2f} s; {json.dumps(facts)}")
        problems = list(facts.get("errors", []))
        if facts.get("hasTable"):
            if not facts.get("liveShown"):
                problems.append("the script did not show the page table")
            if facts.get("initialRows", 0) == 0:
                problems.append("the page table shows no rows")
        if facts.get("pwned") is not None:
            problems.append("a payload ran: window.__pwned = " + facts["pwned"])
        if facts.get("bodyDisplay") == "none":
            problems.append("the page was hidden by a style from the site")
        verdict("page table renders, sorts and filters; nothing from the site ran", problems)
        for mode in ("on", "off"):
            if mode == "off":
                session, _ = load(browser, url, scripts=False)
            if args.hostile:
                dom_problems, count = check_dom(browser, session)
                verdict(f"only the report's own elements and attributes, scripts {mode} "
                        f"({count})", dom_problems)
            verdict(f"no console error, exception or network request, scripts {mode}",
                    problems_in_events(browser.events, url))
    except Exception as error:  # noqa: BLE001 - a checker that cannot run must fail loudly
        print(f"FAIL: the browser check could not run: {error}")
        return 2
    finally:
        if browser:
            browser.close()
        shutil.rmtree(profile, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
