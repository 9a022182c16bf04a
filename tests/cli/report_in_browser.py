"""The history report opened in a real browser: headless Chromium renders the report of the
30-run history (history_fixture.py) and of two short ones, and dumps its DOM.

    python3 report_in_browser.py path/to/vexor-cli SCREENSHOT_DIR
Checks the page's title and the number of chart lines in the browser's DOM, and keeps
screenshots at desktop (1280 pixels) and phone (390 pixels) width in SCREENSHOT_DIR:
report_desktop.png and report_phone.png of the 30 runs, report_one_run_*.png of a single run and
report_coinciding_*.png of five runs in which the top 10 and the top 30 hold the same keywords.
At phone width a measuring script, added to a copy of each page, finds whether anything runs
off the page and whether an engine name breaks inside a word. The browser fetches nothing: it
runs with networking features off and a fresh profile, and the page itself names no outside
address.
"""

import datetime
import html.parser
import os
import re
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


# Short histories: (keyword, ranks by run, oldest first). No keyword ranks between 11 and 30,
# so the top 10 and the top 30 coincide.
SHORT_SITE = "www.short-history.example"
SHORT_RANKS = [("東京 ホテル", [3, 2, 4, 1, 3]), ("大阪 ホテル 格安", [8, 9, 7, 6, 5]),
               ("京都 旅館", [45, 60, 0, 38, 41]), ("名古屋", [0, 0, 0, 0, 0]),
               ("札幌 ホテル", [9, 0, 50, 10, 8])]
JAPANESE_ENGINE = "プレーン検索エンジン"
UNBROKEN_ENGINE = "averyveryverylongenginenamethathasnoplacetobreakatall"

# Added to a copy of the page: whether the page is wider than the window, and the most lines
# any engine name in the runs table takes.
MEASURE = """<script>window.addEventListener("load", () => {
  const lines = [...document.querySelectorAll("table.runs td:nth-child(3)")].map(td => {
    const range = document.createRange(); range.selectNodeContents(td);
    return new Set([...range.getClientRects()].map(r => Math.round(r.top))).size; });
  document.body.dataset.overflow = document.documentElement.scrollWidth > window.innerWidth;
  document.body.dataset.engineLines = Math.max(...lines); });</script>"""


def write_short_history(folder, runs, engine):
    with open(os.path.join(folder, "survey.txt"), "wb") as f:
        f.write(("\r\n".join([SHORT_SITE] + [k for k, _ in SHORT_RANKS]) + "\r\n").encode("cp932"))
    history = os.path.join(folder, SHORT_SITE)
    os.makedirs(history)
    for run in range(runs):
        day = fixture.FIRST_DAY + datetime.timedelta(days=run)
        lines = [day.strftime("%Y/%m/%d") + " (" + engine + ")"]
        lines += [day.strftime("%Y/%m/%d:%H:%M:%S") + "\t" + keyword + "\t" + str(ranks[run])
                  for keyword, ranks in SHORT_RANKS]
        with open(os.path.join(history, f"{runs - 1 - run}.txt"), "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


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
        cls.short = {}
        for name, runs, engine in (("one_run", 1, UNBROKEN_ENGINE), ("coinciding", 5, JAPANESE_ENGINE)):
            folder = os.path.join(cls.work, name)
            os.makedirs(folder)
            write_short_history(folder, runs, engine)
            subprocess.run([CLI, "report", "survey.txt", "-o", "report.html", "--dir", folder],
                           check=True, capture_output=True, timeout=120)
            cls.short[name] = os.path.join(folder, "report.html")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def chromium(self, *args, page=None):
        """Runs headless Chromium on page (the 30 runs' report) with a profile of its own; its
        standard output."""
        profile = tempfile.mkdtemp(prefix="vexor-chromium-")
        self.addCleanup(shutil.rmtree, profile, True)
        command = [self.browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                   "--no-first-run", "--disable-background-networking",
                   "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                   "--user-data-dir=" + profile, *args, page or self.page]
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
        # A line per band for each stretch of runs in which a keyword has a result.
        results = [any(not fixture.failed(rank) for keyword, rank, _ in records
                       if keyword in fixture.SURVEY_KEYWORDS) or None
                   for _, _, records in fixture.expected_runs()]
        self.assertEqual(dom.band_lines, 4 * fixture.stretches(results))

    def test_short_histories_at_phone_width_break_names_only_where_expected(self):
        for name, page in self.short.items():
            with self.subTest(name):
                with open(page, encoding="utf-8") as f:
                    measured = os.path.join(os.path.dirname(page), "measured.html")
                    with open(measured, "w", encoding="utf-8") as out:
                        out.write(f.read().replace("</body>", MEASURE + "</body>"))
                dom = self.chromium("--window-size=390,1200", "--dump-dom", page="file://" + measured)
                measures = re.search(r'<body data-overflow="(\w+)" data-engine-lines="([^"]+)"', dom)
                self.assertEqual(measures and measures.groups(), ("false", "1"))

    def test_the_page_renders_at_desktop_and_phone_width(self):
        os.makedirs(SHOTS, exist_ok=True)
        for name, size, page in (
                ("report_desktop.png", "1280,1600", None), ("report_phone.png", "390,1600", None),
                ("report_one_run_desktop.png", "1280,1000", self.short["one_run"]),
                ("report_one_run_phone.png", "390,1400", self.short["one_run"]),
                ("report_coinciding_desktop.png", "1280,1000", self.short["coinciding"]),
                ("report_coinciding_phone.png", "390,1400", self.short["coinciding"])):
            path = os.path.join(SHOTS, name)
            if os.path.exists(path):
                os.remove(path)
            self.chromium("--window-size=" + size, "--screenshot=" + path,
                          page=page and "file://" + page)
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
