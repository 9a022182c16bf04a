"""vexor-cli report and show --all against a hand-written history of 30 runs.

    python3 report_end_to_end.py path/to/vexor-cli
The figures are read back out of the report's tables and the long form, and compared with what
the files say (history_fixture.py). No network is used.
"""

import csv
import html.parser
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import history_fixture as fixture  # noqa: E402

CLI = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None


class ReportPage(html.parser.HTMLParser):
    """The texts of every table row by table class, the rank-chart lines and failed-run lines per
    row, the facts."""

    def __init__(self):
        super().__init__()
        self.tables = {}
        self.facts = {}
        self.title = ""
        self._table = None
        self._row = None
        self._cell = None
        self._in_title = False
        self._fact = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "title" and not self.title:  # the page's, not a chart's
            self._in_title = True
        elif tag == "table":
            self._table = self.tables.setdefault(attrs.get("class"), [])
        elif tag == "tr" and self._table is not None:
            self._row = {"cells": [], "lines": 0, "failed": 0}
        elif tag in ("td", "th") and self._row is not None:
            self._cell = ""
        elif (tag == "polyline" and self._row is not None
              and "rank-line" in attrs.get("class", "").split()):
            self._row["lines"] += 1
        elif tag == "line" and self._row is not None and attrs.get("class") == "failed-run":
            self._row["failed"] += 1
        elif tag == "dt":
            self._fact = ""
        elif tag == "dd":
            self._cell = ""

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False
        elif tag == "table":
            self._table = None
        elif tag == "tr" and self._row is not None:
            self._table.append(self._row)
            self._row = None
        elif tag in ("td", "th") and self._row is not None:
            self._row["cells"].append(self._cell)
            self._cell = None
        elif tag == "dd":
            self.facts[self._fact] = self._cell
            self._fact = self._cell = None

    def handle_data(self, data):
        if self._in_title:
            self.title += data
        elif self._fact is not None and self._cell is None:
            self._fact += data
        elif self._cell is not None:
            self._cell += data


class HistoryCommandsTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vexor-report-")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.history = fixture.write(self.work)

    def run_cli(self, *args):
        done = subprocess.run([CLI, *args, "--dir", self.work], capture_output=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        return done.stdout.decode("utf-8")

    def test_show_all_prints_every_run_of_the_files_in_long_form(self):
        expected = [(str(run), start, engine, keyword, rank, address)
                    for run, start, engine, keyword, rank, address in fixture.expected_long_form()]
        rows = list(csv.reader(io.StringIO(self.run_cli("show", "survey.txt", "--all", "--format", "csv"),
                                           newline="")))
        self.assertEqual(rows[0], ["run", "start", "engine", "keyword", "rank", "address"])
        self.assertEqual([tuple(row) for row in rows[1:]], expected)

        shown = json.loads(self.run_cli("show", "survey.txt", "--all", "--format=json"))
        self.assertEqual(shown["target"], fixture.TARGET)
        self.assertEqual([(str(r["run"]), r["start"], r["engine"], r["keyword"], str(r["rank"]),
                           r["address"]) for r in shown["records"]], expected)
        # The five-run view is unchanged by the archive.
        table = self.run_cli("show", "survey.txt", "--format", "csv").splitlines()
        self.assertEqual(len(table), 1 + len(fixture.SURVEY_KEYWORDS))

    def test_report_tables_agree_with_the_files(self):
        printed = self.run_cli("report", "survey.txt")
        path = os.path.join(self.history, "report.html")
        self.assertEqual(printed, path + "\n")
        with open(path, encoding="utf-8") as f:
            page = ReportPage()
            page.feed(f.read())

        self.assertEqual(page.title, "順位レポート: " + fixture.TARGET)
        self.assertEqual(page.facts["サイト"], fixture.TARGET)
        self.assertEqual(page.facts["調査回数"], str(fixture.RUNS))
        self.assertEqual(page.facts["エンジン"], fixture.expected_engines_text())
        runs = fixture.expected_runs()
        self.assertEqual(page.facts["期間"],
                         runs[0][0].split(" ")[0] + " – " + runs[-1][0].split(" ")[0])

        keywords = page.tables["keywords"]
        self.assertEqual(keywords[0]["cells"],
                         ["キーワード", "現在の順位", "前回比", "最高順位", "順位のページ", "推移"])
        got = [tuple(row["cells"][:5]) + (row["lines"], row["failed"]) for row in keywords[1:]]
        self.assertEqual(got, fixture.expected_keyword_rows())

        runs_table = page.tables["runs"]
        self.assertEqual([tuple(row["cells"]) for row in runs_table[1:]], fixture.expected_run_rows())

    def test_report_to_a_file_or_standard_output(self):
        self.assertEqual(self.run_cli("report", "survey.txt", "-o", "out.html").strip(), "out.html")
        with open(os.path.join(self.work, "out.html"), encoding="utf-8") as f:
            written = f.read()
        printed = self.run_cli("report", "survey.txt", "-o", "-")
        # The same page but for the minute it was made at.
        self.assertEqual(written.split("作成日時")[0], printed.split("作成日時")[0])
        self.assertFalse(os.path.exists(os.path.join(self.history, "report.html")))

        done = subprocess.run([CLI, "report", "survey.txt", "-o", "no/such/folder/r.html",
                               "--dir", self.work], capture_output=True, timeout=120)
        self.assertEqual(done.returncode, 1)
        self.assertIn("no/such/folder/r.html", done.stderr.decode("utf-8"))
        self.assertIn("への書き込みに失敗しました", done.stderr.decode("utf-8"))

        done = subprocess.run([CLI, "report", "missing.txt", "--dir", self.work],
                              capture_output=True, timeout=120)
        self.assertEqual(done.returncode, 1)
        self.assertIn("の読み込みに失敗しました", done.stderr.decode("utf-8"))


if __name__ == "__main__":
    if CLI is None:
        sys.exit("usage: report_end_to_end.py VEXOR_CLI")
    unittest.main(verbosity=2)
