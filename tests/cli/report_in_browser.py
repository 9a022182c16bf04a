"""The history report opened in a real browser: headless Chromium renders the report of the
30-run history (history_fixture.py) and dumps its DOM.

    python3 report_in_browser.py path/to/vexor-cli SCREENSHOT_DIR
Checks the page's title and the number of chart lines in the browser's DOM, and keeps two
screenshots, report_desktop.png (1280 pixels wide) and report_phone.png (390 pixels wide), in
SCREENSHOT_DIR. The browser fetches nothing: it runs with networking features off and a fresh
profile, and the page itself names no outside address.
"""

import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import history_fixture as fixture  # noqa: E402

CLI = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
SHOTS = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
BROWSER_TIMEOUT = 120


class DomCounts(html.parser.HTMLParser):
    """The page title and the chart lines by class."""

    def __init__(self):
        super().__init__()
        self.title = ""
        self.rank_lines = 0
        self.band_lines = 0
        self.failed_lines = 0
        self.keyword_rows = 0
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        classes = dict(attrs).get("class", "").split()
        if tag == "title" and not self.title:
            self._in_title = True
        elif tag == "polyline" and "rank-line" in classes:
            self.rank_lines += 1
        elif tag == "polyline" and "band-line" in classes:
            self.band_lines += 1
        elif tag == "line" and "failed-run" in classes:
            self.failed_lines += 1
        elif tag == "td" and "keyword" in classes:
            self.keyword_rows += 1

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


class ReportInBrowserTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.browser = shutil.which("chromium")
        if cls.browser is None:
            raise RuntimeError("no chromium: scripts/setup installs it")
        cls.work = tempfile.mkdtemp(prefix="vexor-browser-")
        fixture.write(cls.work)
        done = subprocess.run([CLI, "report", "survey.txt", "-o", "report.html", "--dir", cls.work],
                              capture_output=True, timeout=120)
        if done.returncode != 0:
            raise RuntimeError(done.stderr.decode("utf-8", "replace"))
        cls.page = "file://" + os.path.join(cls.work, "report.html")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def chromium(self, *args):
        """Runs headless Chromium with a profile of its own; its standard output."""
        profile = tempfile.mkdtemp(prefix="vexor-chromium-")
        self.addCleanup(shutil.rmtree, profile, True)
        command = [self.browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                   "--no-first-run", "--disable-background-networking",
                   "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                   "--user-data-dir=" + profile, *args, self.page]
        done = subprocess.run(command, capture_output=True, timeout=BROWSER_TIMEOUT)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace")[-2000:])
        return done.stdout.decode("utf-8")

    def test_the_browser_builds_the_page_with_its_title_and_chart_lines(self):
        dom = DomCounts()
        dom.feed(self.chromium("--dump-dom"))
        self.assertEqual(dom.title, "順位レポート: " + fixture.TARGET)
        rows = fixture.expected_keyword_rows()
        self.assertEqual(dom.keyword_rows, len(rows))
        self.assertEqual(dom.rank_lines, sum(row[5] for row in rows))
        self.assertEqual(dom.failed_lines, sum(row[6] for row in rows))
        self.assertEqual(dom.band_lines, 4)

    def test_the_page_renders_at_desktop_and_phone_width(self):
        os.makedirs(SHOTS, exist_ok=True)
        for name, size in (("report_desktop.png", "1280,1600"), ("report_phone.png", "390,1600")):
            path = os.path.join(SHOTS, name)
            if os.path.exists(path):
                os.remove(path)
            self.chromium("--window-size=" + size, "--screenshot=" + path)
            with open(path, "rb") as f:
                png = f.read()
            self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n", name)
            width = int.from_bytes(png[16:20], "big")
            self.assertEqual(width, int(size.split(",")[0]), name)
            # A blank page is one colour; text, charts and the change colours make many.
            if shutil.which("identify"):
                colours = subprocess.run(["identify", "-format", "%k", path], capture_output=True,
                                         timeout=60, text=True).stdout
                self.assertGreater(int(colours), 100, name)


if __name__ == "__main__":
    if CLI is None or SHOTS is None:
        sys.exit("usage: report_in_browser.py VEXOR_CLI SCREENSHOT_DIR")
    unittest.main(verbosity=2)
