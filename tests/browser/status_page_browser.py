#!/usr/bin/env python3
"""The status page in a real browser: headless Chromium driven through its
WebDriver against the window build of the server on the demo outlet, whose
bar printers are gone. The page must come to show the failing printer; its
buttons answer the divert question, resume the printer and reprint a
ticket; a request without the token changes nothing.

    status_page_browser.py SERVER [--screenshots DIR]

Exits 77 (skipped) when Chromium or its driver is missing; the build runs
it only for the window build.
Everything runs on 127.0.0.1 and is bounded in time."""

import base64
import json
import os
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

SKIP = 77
ELEMENT = "element-6066-11e4-a52e-4f735466cecf"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def call(method, url, body=None):
    data = None if body is None else json.dumps(body).encode()
    request = urllib.request.Request(url, data=data, method=method)
    if data is not None:
        request.add_header("Content-Type", "application/json")
    try:
        with urllib.request.urlopen(request, timeout=30) as response:
            return json.loads(response.read() or b"{}")
    except urllib.error.HTTPError as error:  # the driver's errors come as JSON too
        return json.loads(error.read() or b"{}")


class Browser:
    def __init__(self, driver_port):
        self.base = "http://127.0.0.1:%d" % driver_port
        options = {"args": ["--headless=new", "--no-sandbox", "--disable-gpu",
                            "--disable-dev-shm-usage", "--window-size=1280,900"]}
        for binary in ("/usr/bin/chromium", "/usr/bin/chromium-browser"):
            if os.path.exists(binary):
                options["binary"] = binary
        answer = call("POST", self.base + "/session",
                      {"capabilities": {"alwaysMatch": {"goog:chromeOptions": options}}})
        self.session = self.base + "/session/" + answer["value"]["sessionId"]

    def go(self, url):
        call("POST", self.session + "/url", {"url": url})

    def source(self):
        return call("GET", self.session + "/source")["value"]

    def click(self, xpath, limit=20.0):
        # The page rebuilds its rows every 2 s: a button may be between two
        # refreshes, or the printer between two states, when first looked for.
        start = time.monotonic()
        last = None
        while True:
            found = call("POST", self.session + "/element", {"using": "xpath", "value": xpath})
            if ELEMENT in found.get("value", {}):
                clicked = call("POST", self.session + "/element/%s/click"
                               % found["value"][ELEMENT], {})
                if not (clicked.get("value") or {}).get("error"):
                    return
                last = clicked
            else:
                last = found
            if time.monotonic() - start > limit:
                raise AssertionError("cannot click %s: %s" % (xpath, last))
            time.sleep(0.2)

    def wait_for(self, text, limit=30.0):
        start = time.monotonic()
        while time.monotonic() - start < limit:
            if text in self.source():
                return time.monotonic() - start
            time.sleep(0.2)
        raise AssertionError("the page never showed %r:\n%s" % (text, self.source()[:3000]))

    def forget_cookies(self):
        call("DELETE", self.session + "/cookie")

    def size(self, width, height):
        call("POST", self.session + "/window/rect", {"width": width, "height": height})

    def screenshot(self, path):
        png = call("GET", self.session + "/screenshot")["value"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(png))

    def close(self):
        try:
            call("DELETE", self.session)
        except (urllib.error.URLError, OSError):
            pass


def bar_row(button):
    return "//tr[td[1][starts-with(normalize-space(.), 'BAR1')]]//button[text()='%s']" % button


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    server = os.path.abspath(sys.argv[1])
    shots = sys.argv[3] if len(sys.argv) > 3 and sys.argv[2] == "--screenshots" else None
    driver = shutil.which("chromedriver")
    if driver is None or not (shutil.which("chromium") or shutil.which("chromium-browser")):
        print("skipped: chromium and chromium-driver are not installed")
        return SKIP

    work = tempfile.mkdtemp(prefix="kps-browser-")
    outlet = os.path.join(work, "outlet")
    processes = []
    browser = None
    try:
        # The demo outlet printed once; its fake printers end with that run,
        # so the bar's tickets then find their printer gone.
        subprocess.run([server, "--demo", outlet, "--headless", "--ticks", "1"],
                       capture_output=True, timeout=60, check=True)
        with sqlite3.connect(os.path.join(outlet, "outlet.db")) as db:
            db.execute("update kelt_trs_printingdetails set PrintStatus=0")
        page_port = free_port()
        settings = os.path.join(outlet, "GSetup.ini")
        with open(settings, "rb") as f:
            text = f.read().replace(b"[PrintServer]\r\n", b"[PrintServer]\r\nStatusAddress="
                                    b"127.0.0.1:%d\r\n" % page_port, 1)
        with open(settings, "wb") as f:
            f.write(text)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        processes.append(subprocess.Popen([server, "--settings", settings], cwd=outlet, env=env,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        driver_port = free_port()
        processes.append(subprocess.Popen([driver, "--port=%d" % driver_port],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        page = "http://127.0.0.1:%d/" % page_port
        token = None
        for _ in range(100):
            token_run = subprocess.run([server, "--status-token", "--settings", settings],
                                       capture_output=True, text=True)
            if token_run.returncode == 0:
                token = token_run.stdout.split()[0]
                break
            time.sleep(0.1)
        assert token, "the server made no status token"
        for _ in range(100):
            try:
                browser = Browser(driver_port)
                break
            except (urllib.error.URLError, OSError):
                time.sleep(0.1)
        assert browser, "chromedriver did not start"

        browser.go(page + "?token=" + token)
        took = browser.wait_for("question pending")
        print("the page showed the failing printer after %.1f s" % took)
        if shots:
            browser.screenshot(os.path.join(shots, "status-page-desktop.png"))
            browser.size(390, 844)
            browser.screenshot(os.path.join(shots, "status-page-phone.png"))
            browser.size(1280, 900)

        browser.click(bar_row("Cancel printing"))
        browser.wait_for("is cancelled")
        browser.go(page)
        browser.wait_for("suspended")
        browser.click(bar_row("Resume"))
        browser.wait_for("prints again")

        kitchen = os.path.join(outlet, "kitchen1.prn")
        browser.go(page)
        browser.click("//summary[starts-with(., 'KITCHEN1')]")
        browser.click("//details[@data-device='KITCHEN1']//li[1]//button[text()='Reprint']")
        browser.wait_for("on its way to 'KITCHEN1'")
        for _ in range(100):
            with open(kitchen, "rb") as f:
                if b"*** REPRINT ***" in f.read():
                    break
            time.sleep(0.1)
        else:
            raise AssertionError("the reprint never reached kitchen1.prn")

        browser.forget_cookies()
        browser.go(page)
        browser.click("//tr[td[1][starts-with(normalize-space(.), 'KITCHEN1')]]"
                      "//button[text()='Test print']")
        browser.wait_for("An action needs the status token")
        logs = os.path.join(outlet, "LOG")
        log = ""
        for name in sorted(os.listdir(logs)):
            if name.startswith("Prt_"):
                with open(os.path.join(logs, name), "rb") as f:
                    log += f.read().decode("cp1252")
        for line in ("Status page: Answer the divert question of 'BAR1' from 127.0.0.1",
                     "Status page: Resume 'BAR1' from 127.0.0.1",
                     "Status page: Reprint ticket 1 of 'KITCHEN1' from 127.0.0.1"):
            assert line in log, "the print log lacks %r" % line
        assert "Test print on 'KITCHEN1'" not in log, "an action without the token was carried out"
        print("answer, resume and reprint worked from the page; without the token it was refused")
        return 0
    finally:
        if browser:
            browser.close()
        for process in processes:
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
