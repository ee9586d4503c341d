#!/usr/bin/env python3
"""Takes a full-page screenshot of an HTML report in headless Chromium, 1280 CSS pixels wide,
in the light or the dark colour scheme (prefers-color-scheme), or as printed (print media,
the width of an A4 page at 96 DPI), for tools/screenshots.

Usage: screenshot_report.py REPORT.html OUT.png light|dark|print
Exits non-zero when no picture was written.
"""
import base64
import pathlib
import shutil
import sys
import tempfile

from check_report_browser import Browser, load

WIDTH = 1280
PRINT_WIDTH = 794


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in ("light", "dark", "print"):
        print(__doc__, file=sys.stderr)
        return 2
    report, out, scheme = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2]), sys.argv[3]
    profile = tempfile.mkdtemp(prefix="bcnk-chromium-")
    browser = None
    try:
        browser = Browser("/usr/bin/chromium", profile)
        browser.send("Browser.getVersion")
        target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.send("Target.attachToTarget",
                               {"targetId": target, "flatten": True})["sessionId"]
        width = PRINT_WIDTH if scheme == "print" else WIDTH
        browser.send("Emulation.setDeviceMetricsOverride",
                     {"width": width, "height": 900, "deviceScaleFactor": 1, "mobile": False},
                     session=session)
        media = ({"media": "print"} if scheme == "print" else
                 {"features": [{"name": "prefers-color-scheme", "value": scheme}]})
        browser.send("Emulation.setEmulatedMedia", media, session=session)
        browser.send("Page.enable", session=session)
        browser.send("Page.navigate", {"url": report.as_uri()}, session=session)
        browser.wait_for("Page.loadEventFired")
        height = browser.send("Page.getLayoutMetrics", session=session)["cssContentSize"]["height"]
        shot = browser.send("Page.captureScreenshot",
                            {"format": "png", "captureBeyondViewport": True,
                             "clip": {"x": 0, "y": 0, "width": width, "height": height,
                                      "scale": 1}},
                            session=session)
        out.write_bytes(base64.b64decode(shot["data"]))
    except Exception as error:  # noqa: BLE001 - reported, and the exit code says it
        print(f"screenshot of {report} failed: {error}", file=sys.stderr)
        return 1
    finally:
        if browser:
            browser.close()
        shutil.rmtree(profile, ignore_errors=True)
    return 0 if out.is_file() and out.stat().st_size > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
