"""vexor-cli end to end: the built program against the fake search engine.

Run through tests/net/with-fake-engine, which points http_proxy and https_proxy at a fake engine
of its own:
    with-fake-engine python3 cli_end_to_end.py path/to/vexor-cli [TestClass ...]
Every test works in a fresh working directory, as a user's scheduler would. VEXOR_CLI_LAUNCHER
names a program that starts vexor-cli (cmake/wine-run for vexor-cli.exe).
"""

import csv
import datetime
import io
import json
import os
import re
import shlex
import shutil
import struct
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request

CLI = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
LAUNCHER = shlex.split(os.environ.get("VEXOR_CLI_LAUNCHER", ""))
TARGET = "www.target-site.example"
ENGINE_HOST = "plain.engine.test"
SAMPLE_KEYWORD = "東京 ホテル"

LEARNT = "学習に成功しました"
LEARNT_PLAIN = LEARNT + "\n規則の種類: 標準の規則 (1 ページ 10 件)、1～3 ページ目のうち 3 ページで有効"
LEARNT_ALL_RESULTS = (LEARNT + "\n規則の種類: 拡張規則 (ページの全件、件数は可変)、1～3 ページ目のうち 3 "
                      "ページで有効")
REQUIRED_MISSING = "未記入の必須項目があります"
ADDRESS_FAILED = ("URL の作成に失敗しました。\n2 ページ目の URL と 3 ページ目の URL を確認して"
                  "ください。")
LEARN_FAILED = "学習に失敗しました"
NOT_LEARNT = "未学習です"
ABORTED = "中止しました"


def scanned_rank(field):
    """The rank field of a history record as a "%d" scan reads it: digits at its start."""
    match = re.match(r"\s*([+-]?\d+)", field)
    return int(match.group(1)) if match else 0


def control(path):
    """A control request to the fake engine, through the proxy as every client sends it."""
    with urllib.request.urlopen("http://control.test" + path, timeout=30) as answer:
        return answer.read().decode("utf-8")


def results(keyword):
    """(rank, address) of every result the fake engine has for keyword."""
    lines = control("/results?" + urllib.parse.urlencode({"keyword": keyword})).splitlines()
    return [(int(rank), address) for rank, address in (line.split("\t") for line in lines)]


def expected_rank(keyword):
    for rank, address in results(keyword):
        if TARGET in address and rank <= 100:
            return rank
    return 0


def page_address(keyword, start):
    escaped = urllib.parse.quote_plus(keyword.encode("utf-8"), safe="*-.@_")
    return f"http://{ENGINE_HOST}/search?q={escaped}&start={start}&hl=ja"


def learn_arguments(engine_file, keyword=SAMPLE_KEYWORD):
    listed = results(keyword)
    return ["learn", engine_file, "--keyword", keyword,
            "--page2", page_address(keyword, 10), "--page3", page_address(keyword, 20),
            "--first", listed[0][1], "--tenth", listed[9][1]]


def cp932_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp932").split("\r\n")


class CliTestCase(unittest.TestCase):
    def setUp(self):
        control("/reset")
        self.work = tempfile.mkdtemp(prefix="vexor-cli-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def run_cli(self, *args, timeout=300):
        return subprocess.run([*LAUNCHER, CLI, *args], cwd=self.work, capture_output=True,
                              timeout=timeout)

    def text(self, data):
        return data.decode("utf-8")  # strict: the output must be well-formed UTF-8

    def learn(self, engine_file="engine/nuq.eng"):
        done = self.run_cli(*learn_arguments(engine_file))
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        return done

    def write_survey(self, keywords, name="survey.txt", target=TARGET):
        with open(self.path(name), "wb") as f:
            f.write(("\r\n".join([target, *keywords]) + "\r\n").encode("cp932"))
        return name

    def history(self, generation, folder=TARGET):
        return self.path(folder, f"{generation}.txt")


class LearnTest(CliTestCase):
    def test_a_learnt_engine_is_written_and_announced(self):
        done = self.learn()
        self.assertEqual(self.text(done.stdout), LEARNT_PLAIN + "\n")
        self.assertEqual(done.stderr, b"")
        with open(self.path("engine", "nuq.eng"), "rb") as f:
            self.assertTrue(f.read().startswith(b"_VEXOR_ENGINE_DEFINITION_"))

    def test_each_failure_gives_its_message_exit_1_and_leaves_the_file_as_it_was(self):
        os.makedirs(self.path("engine"))
        old = b"an engine file from before\x00\x01"
        good = learn_arguments("engine/old.eng")
        same_pages = list(good)
        same_pages[same_pages.index("--page3") + 1] = same_pages[same_pages.index("--page2") + 1]
        wrong_links = list(good)
        wrong_links[wrong_links.index("--first") + 1] = "http://nowhere.example/1"
        no_keyword = list(good)
        no_keyword[no_keyword.index("--keyword") + 1] = ""
        # Each names what failed and what to do.
        for arguments, message in [
                (no_keyword, REQUIRED_MISSING + "\n未記入の欄: キーワード\n"
                 "この欄を入力してから、もう一度学習してください。"),
                (same_pages, ADDRESS_FAILED + "\n2 ページ目の URL と 3 ページ目の URL が同じか、"
                 "一方がもう一方の前半と同じで、ページ番号の位置を比べられません。"),
                (wrong_links, LEARN_FAILED + "\n1 ページ目に 1件目の URL が見つかりません。"
                 "ブラウザで同じキーワードを検索し、1件目の URL をコピーし直してください。")]:
            with self.subTest(message=message):
                with open(self.path("engine", "old.eng"), "wb") as f:
                    f.write(old)
                done = self.run_cli(*arguments)
                self.assertEqual(done.returncode, 1)
                self.assertEqual(self.text(done.stderr), message + "\n")
                self.assertEqual(done.stdout, b"")
                with open(self.path("engine", "old.eng"), "rb") as f:
                    self.assertEqual(f.read(), old)
        # Without a file before, a failure leaves none behind.
        done = self.run_cli(*[a if a != "engine/old.eng" else "engine/new.eng"
                              for a in wrong_links])
        self.assertEqual(done.returncode, 1)
        self.assertFalse(os.path.exists(self.path("engine", "new.eng")))

    def test_a_file_that_cannot_be_written_fails_after_a_successful_learning(self):
        done = self.run_cli(*learn_arguments("no-such-folder/x.eng"))
        self.assertEqual(done.returncode, 1)
        self.assertEqual(self.text(done.stderr),
                         '"no-such-folder/x.eng" への書き込みに失敗しました\n')
        self.assertEqual(done.stdout, b"")  # no success is announced

    def test_an_engine_that_cannot_be_fetched_fails_to_learn_naming_the_page_and_why(self):
        for host, why in [("empty.fault.test", "失敗: 空のページ"), ("e500.fault.test", "失敗: HTTP 500")]:
            with self.subTest(host=host):
                arguments = learn_arguments("engine/x.eng")
                for option in ("--page2", "--page3"):
                    i = arguments.index(option) + 1
                    arguments[i] = arguments[i].replace(ENGINE_HOST, host)
                done = self.run_cli(*arguments)
                self.assertEqual(done.returncode, 1)
                self.assertEqual(self.text(done.stderr),
                                 f"{LEARN_FAILED}\n1 ページ目を取得できませんでした ({why})\n")
                self.assertFalse(os.path.exists(self.path("engine", "x.eng")))


    def test_a_first_page_of_fewer_than_ten_results_is_learnt_from_its_last_result(self):
        # Page 1 of the mixed engine holds eight results, page 2 nine: the last result of page 1
        # stands in for the tenth, and ranks count the results of the pages before.
        keyword = "abc"
        listed = results(keyword)
        control("/place?keyword=abc&engine=mixed.engine.test&rank=12&target=" + TARGET)
        done = self.run_cli("learn", "engine/mixed.eng", "--keyword", keyword,
                            "--page2", "http://mixed.engine.test/search?q=abc&p=2",
                            "--page3", "http://mixed.engine.test/search?q=abc&p=3",
                            "--first", listed[0][1], "--tenth", listed[7][1])
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertEqual(self.text(done.stdout), LEARNT_ALL_RESULTS + "\n")
        survey = self.write_survey([keyword])
        done = self.run_cli("survey", survey, "--engine", "engine/mixed.eng", "--format", "csv")
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertIn(f"{keyword},12,", self.text(done.stdout))


class UsageTest(CliTestCase):
    def test_wrong_usage_prints_the_usage_and_exits_2(self):
        for arguments in ([], ["survey"], ["survey", "s.txt", "--format", "xml"],
                          ["learn", "e.eng", "--keyword", "k"], ["frobnicate"]):
            with self.subTest(arguments=arguments):
                done = self.run_cli(*arguments)
                self.assertEqual(done.returncode, 2)
                self.assertIn("usage:", self.text(done.stderr))
                self.assertEqual(done.stdout, b"")

    def test_an_argument_code_page_932_cannot_hold_is_refused_with_exit_2(self):
        done = self.run_cli("survey", "caf\u00e9.txt")
        self.assertEqual(done.returncode, 2)
        self.assertIn("caf\u00e9.txt", self.text(done.stderr))
        self.assertIn("code page 932", self.text(done.stderr))
        self.assertEqual(os.listdir(self.work), [])

    def test_help_and_version(self):
        self.assertIn("usage:", self.text(self.run_cli("--help").stdout))
        version = self.run_cli("--version")
        self.assertEqual(version.returncode, 0)
        # The release, then the commits since its tag and the commit when it is not one.
        self.assertRegex(self.text(version.stdout),
                         r"^vexor-cli \d+\.\d+\.\d+(-\d+)?(-g[0-9a-f]{7,})?(-dirty)?\n$")


class SurveyTest(CliTestCase):
    KEYWORDS = ["abc", "東京 ホテル", "格安 航空券", "rank tracker", "ラーメン"]

    def setUp(self):
        super().setUp()
        self.learn()

    def check_generation(self, generation, keywords, engine="nuq"):
        lines = cp932_lines(self.history(generation))
        today = datetime.date.today().strftime("%Y/%m/%d")
        self.assertEqual(lines[0], f"{today} ({engine})")
        self.assertEqual(lines[-1], "")  # every line ends in CR LF
        records = [line.split("\t") for line in lines[1:-1]]
        self.assertEqual([r[1] for r in records], keywords)
        for stamp, keyword, rank in records:
            self.assertRegex(stamp, r"^\d{4}/\d\d/\d\d:\d\d:\d\d:\d\d$")
            self.assertEqual(scanned_rank(rank), expected_rank(keyword), keyword)

    def test_a_survey_writes_the_history_and_prints_the_table_csv_and_json(self):
        survey = self.write_survey(self.KEYWORDS)
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.check_generation(0, self.KEYWORDS)
        self.assertFalse(os.path.exists(self.history(1)))

        table = self.text(done.stdout).splitlines()
        self.assertEqual(table[0], f"site: {TARGET}  engine: nuq")
        for keyword in self.KEYWORDS:
            rank = expected_rank(keyword)
            row = next(line for line in table if line.startswith(keyword + "  "))
            self.assertEqual(row.split()[-1], str(rank) if rank else "-")
        # Progress goes to standard error, one line per keyword off a terminal.
        progress = self.text(done.stderr).splitlines()
        self.assertEqual(len(progress), len(self.KEYWORDS))
        self.assertTrue(progress[1].startswith("[2/5] 東京 ホテル  "))

        # A second survey begins a new generation; csv and json show both.
        done = self.run_cli("survey", survey, "--format", "csv")
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.check_generation(0, self.KEYWORDS)
        self.check_generation(1, self.KEYWORDS)
        rows = list(csv.reader(io.StringIO(self.text(done.stdout), newline="")))
        today = datetime.date.today().strftime("%Y/%m/%d")
        self.assertEqual(rows[0], ["キーワード", f"{today} (nuq)", f"{today} (nuq)", "-", "-",
                                   "-"])
        self.assertEqual([r[0] for r in rows[1:]], self.KEYWORDS)
        for row in rows[1:]:
            rank = expected_rank(row[0])
            shown = str(rank) if rank else "-"
            self.assertEqual(row[1:], [shown, shown, "", "", ""])

        shown = self.run_cli("show", survey, "--format", "json")
        self.assertEqual(shown.returncode, 0)
        document = json.loads(self.text(shown.stdout))
        self.assertEqual(document["target"], TARGET)
        self.assertEqual(document["engine"], "nuq")
        self.assertEqual(document["columns"], rows[0])
        self.assertEqual([r["keyword"] for r in document["rows"]], self.KEYWORDS)
        self.assertEqual([r["cells"] for r in document["rows"]], [r[1:] for r in rows[1:]])

    def test_o_writes_the_table_to_a_file_csv_with_a_byte_order_mark_and_no_formulas(self):
        formulas = ["=1+1", "+81 3", "-x", "@SUM(A1)", "＝１", "＋", "－", "＠", "-"]
        keywords = [*formulas, "abc", "東京 ホテル"]
        survey = self.write_survey(keywords)
        done = self.run_cli("survey", survey, "--format", "csv", "-o", "ranks.csv")
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertEqual(done.stdout, b"")  # only the table goes to the file
        self.assertEqual(len(self.text(done.stderr).splitlines()), len(keywords))  # progress stays
        with open(self.path("ranks.csv"), "rb") as f:
            written = f.read()
        self.assertTrue(written.startswith(b"\xef\xbb\xbf"))
        self.assertEqual(written.count(b"\n"), written.count(b"\r\n"))
        rows = list(csv.reader(io.StringIO(written[3:].decode("utf-8"), newline="")))
        self.assertEqual([r[0] for r in rows[1:]],
                         ["'" + k if k in formulas else k for k in keywords])
        ranked = 0
        for keyword, row in zip(keywords, rows[1:]):
            rank = expected_rank(keyword)
            ranked += rank > 0
            self.assertEqual(row[1], str(rank) if rank else "-", keyword)
        self.assertGreater(ranked, 0)

        # show writes the same file; standard output has the same CSV without the mark.
        shown = self.run_cli("show", survey, "--format", "csv", "-o", "shown.csv")
        self.assertEqual((shown.returncode, shown.stdout), (0, b""), self.text(shown.stderr))
        with open(self.path("shown.csv"), "rb") as f:
            self.assertEqual(f.read(), written)
        printed = self.run_cli("show", survey, "--format", "csv", "-o", "-")
        self.assertEqual(printed.stdout, written[3:])
        for form in (["--format", "json"], ["--format", "table"]):
            printed = self.run_cli("show", survey, *form)
            self.run_cli("show", survey, *form, "-o", "same")
            with open(self.path("same"), "rb") as f:
                self.assertEqual(f.read(), printed.stdout, form)

        every = self.run_cli("show", survey, "--all", "--format", "csv", "-o", "all.csv")
        self.assertEqual(every.returncode, 0, self.text(every.stderr))
        with open(self.path("all.csv"), "rb") as f:
            records = list(csv.reader(io.StringIO(f.read().decode("utf-8-sig"), newline="")))
        self.assertEqual([(r[3], r[4]) for r in records[1:]],
                         [("'" + k if k in formulas else k, str(expected_rank(k))) for k in keywords])

        refused = self.run_cli("show", survey, "--format", "csv", "-o", "no/such/folder/x.csv")
        self.assertEqual(refused.returncode, 1)
        self.assertIn("no/such/folder/x.csv", self.text(refused.stderr))

    def test_the_engine_comes_from_the_option_else_the_settings_else_nuq(self):
        survey = self.write_survey(["abc"])
        shutil.copy(self.path("engine", "nuq.eng"), self.path("engine", "other.eng"))
        shutil.copy(self.path("engine", "nuq.eng"), self.path("engine", "third.eng"))
        with open(self.path("vexor.ini"), "wb") as f:
            f.write(b"[ENGINE]\r\nlast=engine\\other.eng\r\n")
        for arguments, engine in [([], "other"), (["--engine", "engine/third.eng"], "third")]:
            with self.subTest(engine=engine):
                done = self.run_cli("survey", survey, *arguments)
                self.assertEqual(done.returncode, 0, self.text(done.stderr))
                self.check_generation(0, ["abc"], engine)
                self.assertIn(f"engine: {engine}", self.text(done.stdout))

    def test_no_engine_is_not_learnt_and_writes_no_history(self):
        os.remove(self.path("engine", "nuq.eng"))
        survey = self.write_survey(["abc"])
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 1)
        errors = self.text(done.stderr)
        self.assertIn('"engine/nuq.eng"', errors)  # the engine file reader's, with "/" as on Linux
        self.assertTrue(errors.endswith(NOT_LEARNT + "\n"), errors)
        self.assertFalse(os.path.exists(self.history(0)))
        self.assertEqual(done.stdout, b"")

    def test_a_rotation_that_cannot_be_made_stops_the_survey_with_exit_1(self):
        survey = self.write_survey(["abc"])
        self.assertEqual(self.run_cli("survey", survey).returncode, 0)
        first = open(self.history(0), "rb").read()
        os.makedirs(self.history(1))  # a folder where 0.txt must move to
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 1)
        self.assertIn("履歴ファイルを入れ替えられないため、調査を開始できません。",
                      self.text(done.stderr))
        self.assertEqual(open(self.history(0), "rb").read(), first)
        self.assertEqual(sorted(os.listdir(self.path(TARGET))), ["0.txt", "1.txt", "lock"])

    def test_settings_that_give_no_fetcher_stop_learning_and_survey_with_exit_1(self):
        survey = self.write_survey(["abc"])
        with open(self.path("engine", "nuq.eng"), "rb") as f:
            engine = f.read()
        cases = [(b"Fetch=chrome", "Fetch=chrome は取得方法ではありません"),
                 (b"Fetch=Service\r\nService=http://service.test/fetch?key=SECRET-7", "{url} がありません")]
        for setting, said in cases:
            with open(self.path("vexor.ini"), "wb") as f:
                f.write(b"[NETWORK]\r\n" + setting + b"\r\n")
            for arguments in (["survey", survey], learn_arguments("engine/nuq.eng")):
                with self.subTest(said=said, command=arguments[0]):
                    done = self.run_cli(*arguments)
                    self.assertEqual(done.returncode, 1)
                    errors = self.text(done.stderr)
                    self.assertIn(said, errors)
                    self.assertNotIn("SECRET", errors)
                    self.assertEqual(done.stdout, b"")
        self.assertFalse(os.path.exists(self.history(0)))
        with open(self.path("engine", "nuq.eng"), "rb") as f:
            self.assertEqual(f.read(), engine, "a learning that fetched nothing wrote the engine file")

    def test_a_history_that_cannot_be_stored_is_said_once_and_exits_1(self):
        survey = self.write_survey(["abc", "東京 ホテル"])
        with open(self.path(TARGET), "wb") as f:  # a file where the history folder should be
            f.write(b"not a folder")
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 1)
        errors = self.text(done.stderr)
        self.assertEqual(errors.count("に履歴を保存できません。"), 1, errors)
        rows = self.text(done.stdout).splitlines()
        self.assertTrue(rows[-1].startswith("東京 ホテル  "), rows)  # the ranks are shown

    def test_a_second_run_of_the_same_survey_is_refused_with_exit_1(self):
        survey = self.write_survey(["k1", "k2"])
        control("/fault?mode=slow&keyword=k1")  # eight seconds a page: the first run is busy
        first = subprocess.Popen([CLI, "survey", survey], cwd=self.work,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            deadline = time.monotonic() + 30
            while not os.path.exists(self.path(TARGET, "lock")) and time.monotonic() < deadline:
                time.sleep(0.05)
            time.sleep(0.3)
            second = self.run_cli("survey", survey)
            self.assertEqual(second.returncode, 1)
            self.assertIn("この調査は既に実行中です。", self.text(second.stderr))
        finally:
            first.kill()
            first.communicate(timeout=60)
        # A killed run leaves no lock behind.
        control("/reset")
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.check_generation(0, ["k1", "k2"])

    def test_dir_works_in_the_named_folder_from_anywhere(self):
        survey = self.write_survey(["abc"])
        elsewhere = tempfile.mkdtemp(prefix="vexor-cli-elsewhere-")
        self.addCleanup(shutil.rmtree, elsewhere, True)
        done = subprocess.run([CLI, "survey", survey, "--dir", self.work], cwd=elsewhere,
                              capture_output=True, timeout=300)
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.check_generation(0, ["abc"])
        self.assertEqual(os.listdir(elsewhere), [])  # nothing made where it was started
        # A relative --dir is taken from where vexor-cli was started.
        shown = subprocess.run([CLI, "show", survey, "--format", "csv", "--dir",
                                os.path.relpath(self.work, elsewhere)],
                               cwd=elsewhere, capture_output=True, timeout=60)
        self.assertEqual(shown.returncode, 0, self.text(shown.stderr))
        self.assertEqual(self.text(shown.stdout).splitlines()[1].split(",")[0], "abc")
        missing = self.run_cli("show", survey, "--dir", self.path("no-such-folder"))
        self.assertEqual(missing.returncode, 1)
        self.assertIn("no-such-folder", self.text(missing.stderr))

    def test_a_survey_file_that_cannot_be_read_exits_1(self):
        only_target = self.write_survey([], name="only-target.txt")
        reasons = {"missing.txt": "ファイルがありません。ファイルの場所と名前を確かめてください。",
                   only_target: "キーワードがありません。サイトの行の後に、1 行に 1 つずつキーワードを"
                                "書いてください。"}
        for name, reason in reasons.items():
            with self.subTest(name=name):
                done = self.run_cli("survey", name)
                self.assertEqual(done.returncode, 1)
                self.assertEqual(self.text(done.stderr),
                                 f'"{name}"の読み込みに失敗しました。\n{reason}\n')
                self.assertEqual(done.stdout, b"")
        self.assertFalse(os.path.exists(self.path(TARGET)))

    def test_a_utf8_survey_file_reads_as_its_code_page_932_twin(self):
        keywords = ["東京 ホテル", "abc", "表示 ソフト", "ラーメン"]
        text = "\r\n".join([TARGET, *keywords]) + "\r\n"
        tables = []
        for name, data in [("cp932.txt", text.encode("cp932")), ("utf8.txt", text.encode("utf-8")),
                           ("mark.txt", b"\xef\xbb\xbf" + text.encode("utf-8"))]:
            with open(self.path(name), "wb") as f:
                f.write(data)
            done = self.run_cli("survey", name, "--format", "csv")
            self.assertEqual(done.returncode, 0, self.text(done.stderr))
            self.assertEqual(self.text(done.stderr).count("\n"), len(keywords), name)  # no warning
            rows = list(csv.reader(io.StringIO(self.text(done.stdout), newline="")))
            tables.append([row[:2] for row in rows[1:]])
        self.assertEqual([row[0] for row in tables[0]], keywords)
        self.assertEqual(tables[1], tables[0])
        self.assertEqual(tables[2], tables[0])
        # One folder for all three, each run's records the same code page 932 keywords.
        self.assertEqual(sorted(n for n in os.listdir(self.work) if os.path.isdir(self.path(n))),
                         ["engine", TARGET])
        for generation in range(3):
            self.check_generation(generation, keywords)

    def test_a_tab_in_a_keyword_is_named_and_never_freezes_the_history(self):
        survey = self.write_survey(["abc", "東京\tホテル", "ラーメン"])
        first = self.run_cli("survey", survey)
        self.assertEqual(first.returncode, 0, self.text(first.stderr))
        errors = self.text(first.stderr)
        self.assertIn("\n  3 行目: 東京<タブ>ホテル\n", errors)
        self.assertEqual(errors.count("制御文字"), 1, errors)  # once, though the start reads it again
        self.check_generation(0, ["abc", "ラーメン"])

        second = self.run_cli("survey", survey)
        self.assertEqual(second.returncode, 0, self.text(second.stderr))
        self.check_generation(1, ["abc", "ラーメン"])
        self.check_generation(0, ["abc", "ラーメン"])  # rotated: the others surveyed again

    def test_show_prints_a_hand_written_history_without_surveying(self):
        survey = self.write_survey(["abc", "東京 ホテル", "never"])
        os.makedirs(self.path(TARGET))
        with open(self.history(0), "wb") as f:
            f.write("2024/05/02 (nuq)\r\n2024/05/02:09:00:00\tabc\t7\r\n"
                    "2024/05/02:09:00:01\t東京 ホテル\t0\r\n".encode("cp932"))
        with open(self.history(2), "wb") as f:  # no header, LF line ends
            f.write("2024/04/30:09:00:00\tabc\t12\n2024/04/30:09:00:05\tnever\t3\n"
                    .encode("cp932"))
        control("/reset")
        done = self.run_cli("show", survey, "--format", "csv")
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertEqual(self.text(done.stdout),
                         "キーワード,2024/05/02 (nuq),-,2024/04/30,-,-\r\n"
                         "abc,7,,12,,\r\n"
                         "東京 ホテル,-,,,,\r\n"
                         "never,,,3,,\r\n")
        self.assertEqual(control("/count").strip(), "0")

    def test_an_interrupt_aborts_the_keyword_in_progress_and_the_next_run_continues(self):
        keywords = ["k1", "k2", "k3", "k4"]
        survey = self.write_survey(keywords)
        control("/fault?mode=slow&keyword=k3")  # eight seconds a page: time to interrupt
        # Background jobs may inherit SIGINT ignored, which vexor-cli respects; this one wants it.
        process = subprocess.Popen([CLI, "survey", survey], cwd=self.work,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        progress = []
        while not any(line.startswith("[2/4]") for line in progress):
            line = process.stderr.readline()
            self.assertTrue(line, "vexor-cli ended early: " + "".join(progress))
            progress.append(self.text(line))
        time.sleep(0.5)  # k3's slow page is now coming in
        process.send_signal(signal.SIGINT)
        out, err = process.communicate(timeout=60)
        self.assertEqual(process.returncode, 130, self.text(err))
        self.assertIn("[3/4] k3  aborted", self.text(err))
        self.assertIn(ABORTED, self.text(out))
        self.check_generation(0, ["k1", "k2"])

        control("/reset")
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.check_generation(0, keywords)  # one header: the generation was continued
        self.assertFalse(os.path.exists(self.history(1)))
        searched = control("/log")
        self.assertIn("q=k3&", searched)
        self.assertIn("q=k4&", searched)
        self.assertNotIn("q=k1&", searched)
        self.assertNotIn("q=k2&", searched)

    def records(self, generation=0):
        """keyword -> rank field of the history file, the first record of each keyword."""
        fields = {}
        for line in cp932_lines(self.history(generation))[1:-1]:
            _, keyword, rank = line.split("\t")
            fields.setdefault(keyword, rank)
        return fields

    def test_a_page_that_cannot_be_read_fails_its_keyword_on_any_page_and_a_retry_fills_it_in(self):
        # Failures on page 1 and on later pages, never three refusals in a row.
        faults = {"consent": ("consent", 1), "blank page": ("empty", 1),
                  "captcha": ("captcha", 2), "changed page": ("nul", 1),
                  "script": ("script", 1), "throttled": ("e429&retry=1", 3),
                  "silent": ("silent", 1), "late status": ("status&code=404", 2)}
        causes = {"consent": "1 consent", "blank page": "1 empty", "captcha": "2 captcha",
                  "changed page": "1 not-results", "script": "1 script", "throttled": "3 http-429",
                  "silent": "1 no-links", "late status": "2 http-404"}
        keywords = ["abc", "consent", "blank page", "captcha", "silent", "changed page",
                    "throttled", "late status", "script", "tail"]

        def place_all():
            for keyword in keywords[1:-1]:
                control("/place?" + urllib.parse.urlencode({"keyword": keyword, "rank": 45,
                                                            "target": TARGET}))
            control("/place?" + urllib.parse.urlencode({"keyword": "tail", "rank": 22,
                                                        "target": TARGET}))
        place_all()
        for keyword, (mode, page) in faults.items():
            control(f"/fault?mode={mode}&page={page}&" + urllib.parse.urlencode({"keyword": keyword}))
        survey = self.write_survey(keywords)
        done = self.run_cli("survey", survey, "--format", "csv")
        self.assertEqual(done.returncode, 3, self.text(done.stderr))
        errors = self.text(done.stderr)
        self.assertIn('warning: "consent": the first results page is a consent page, not results; '
                      "recorded as failed", errors)
        self.assertIn('warning: "captcha": results page 2 is a captcha page, not results', errors)
        self.assertIn('warning: "throttled": results page 3 came back with HTTP status 429', errors)
        self.assertIn("8 keywords failed; survey them again with --retry-failed", errors)
        self.assertNotIn('"abc"', errors.replace("abc  rank", ""))
        # Stored as failures that an exact "%d" reader takes for 0, never for a rank.
        fields = self.records()
        for keyword, cause in causes.items():
            self.assertEqual(fields[keyword], "0 failed " + cause, keyword)
            self.assertEqual(scanned_rank(fields[keyword]), 0)
        self.assertEqual(scanned_rank(fields["tail"]), 22)
        self.assertEqual(fields["tail"], "22 http://" + TARGET + "/")
        rows = {row[0]: row[1] for row in csv.reader(io.StringIO(self.text(done.stdout)))}
        self.assertEqual(rows["throttled"], "failed: http-429 on page 3")
        self.assertEqual(rows["abc"], str(expected_rank("abc")))
        table = self.text(self.run_cli("show", survey).stdout)
        self.assertRegex(table, r"(?m)^captcha +failed$")

        # The engine answers again: a retry surveys the failed keywords only, in the same run.
        control("/reset")
        place_all()
        done = self.run_cli("survey", survey, "--retry-failed", "--format", "csv")
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        searched = {urllib.parse.parse_qs(urllib.parse.urlsplit(f[5]).query)["q"][0]
                    for f in logged(ENGINE_HOST) if f[1] == "GET"}
        self.assertEqual(searched, set(faults))
        self.assertFalse(os.path.exists(self.history(1)))
        rows = {row[0]: row[1] for row in csv.reader(io.StringIO(self.text(done.stdout)))}
        for keyword in faults:
            self.assertEqual(rows[keyword], "45", keyword)
        self.assertEqual(self.records()["consent"], "0 failed 1 consent")  # the first record
        done = self.run_cli("survey", survey, "--retry-failed")
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertTrue(self.text(done.stdout).startswith("現在の調査に失敗した語はありません。\n"))

    def test_an_engine_that_refuses_every_keyword_stops_the_run_after_three(self):
        control("/fault?mode=consent")
        keywords = ["k1", "k2", "k3", "k4", "k5"]
        survey = self.write_survey(keywords)
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 4, self.text(done.stderr))
        self.assertIn("the engine is refusing automated searches now", self.text(done.stderr))
        self.assertEqual(list(self.records()), ["k1", "k2", "k3"])
        self.assertEqual(len([f for f in logged(ENGINE_HOST) if f[1] == "GET" and "q=k" in f[5]]), 3)
        # The next survey continues where the run stopped.
        control("/reset")
        done = self.run_cli("survey", survey)
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertEqual(list(self.records()), keywords)

    def test_retry_after_is_waited_out_before_the_page_is_asked_again(self):
        control("/fault?mode=e429&retry=1&times=1&keyword=abc")
        done = self.run_cli("survey", self.write_survey(["abc"]))
        self.assertEqual(done.returncode, 0, self.text(done.stderr))
        self.assertEqual(scanned_rank(self.records()["abc"]), expected_rank("abc"))
        first_page = [f for f in logged(ENGINE_HOST) if f[1] == "GET" and "q=abc&start=0&" in f[5]]
        self.assertEqual(len(first_page), 2)
        self.assertGreaterEqual(float(first_page[1][11]) - float(first_page[0][11]), 0.9)


def logged(host=None):
    """The fake engine's log as lists of fields (of one host's requests, when given)."""
    query = "?" + urllib.parse.urlencode({"host": host}) if host else ""
    return [line.split("\t") for line in control("/log" + query).splitlines()]


def retarget_engine(path, old_host, new_host):
    """Moves an engine file's sample and template addresses to another host: the file's first
    four strings (keyword, pages 2 and 3, template) follow the magic and the version, each a
    32-bit little-endian byte count and its bytes."""
    with open(path, "rb") as f:
        data = f.read()
    at = len(b"_VEXOR_ENGINE_DEFINITION_") + 4
    out = [data[:at]]
    for _ in range(4):
        (size,) = struct.unpack_from("<i", data, at)
        text = data[at + 4:at + 4 + size].replace(old_host.encode(), new_host.encode())
        out += [struct.pack("<i", len(text)), text]
        at += 4 + size
    out.append(data[at:])
    with open(path, "wb") as f:
        f.write(b"".join(out))


class SecureEngineTest(CliTestCase):
    """Engines over HTTPS: learnt and surveyed through a CONNECT tunnel with the certificate of
    the fake engine's test CA verified, and the failures a survey must name."""

    KEYWORDS = ["abc", "rank tracker", "vexor"]

    def learn_at(self, base, engine_file="engine/nuq.eng"):
        listed = results("abc")
        done = self.run_cli("learn", engine_file, "--keyword", "abc",
                            "--page2", f"{base}/search?q=abc&start=10&hl=ja",
                            "--page3", f"{base}/search?q=abc&start=20&hl=ja",
                            "--first", listed[0][1], "--tenth", listed[9][1])
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        control("/reset")

    def errors(self, done):
        return done.stderr.decode("utf-8", "replace")

    def test_an_engine_learnt_from_https_pages_surveys_through_a_tunnel(self):
        self.learn_at("https://plain.engine.test")
        done = self.run_cli("survey", self.write_survey(self.KEYWORDS))
        self.assertEqual(done.returncode, 0, self.errors(done))
        self.check_generation(self.KEYWORDS)
        gets = [f for f in logged("plain.engine.test") if f[1] == "GET"]
        self.assertTrue(gets)
        self.assertEqual({f[10] for f in gets}, {"https"})

    def test_an_http_engine_whose_host_moved_to_https_still_surveys(self):
        self.learn_at("http://tohttps.fault.test")
        done = self.run_cli("survey", self.write_survey(self.KEYWORDS))
        self.assertEqual(done.returncode, 0, self.errors(done))
        self.check_generation(self.KEYWORDS)
        gets = [f for f in logged("plain.engine.test") if f[1] == "GET"]
        self.assertEqual({f[10] for f in gets}, {"https"})
        self.assertEqual(len(gets), len([f for f in logged("tohttps.fault.test")]))

    def test_a_certificate_or_a_redirect_to_http_is_named_and_exits_3(self):
        self.learn_at("https://plain.engine.test")
        for host, why in [("untrusted.tls.test", "could not be fetched: the engine's certificate "
                                                 "could not be verified (unknown authority, another "
                                                 "name or out of date)"),
                          ("moved.fault.test", "was redirected to an address that is not followed "
                                               "(from https to http, without a place to go, or "
                                               "more than ten redirects)")]:
            with self.subTest(host=host):
                shutil.copy(self.path("engine", "nuq.eng"), self.path("engine", "moved.eng"))
                retarget_engine(self.path("engine", "moved.eng"), "plain.engine.test", host)
                done = self.run_cli("survey", self.write_survey(["abc"]),
                                    "--engine", "engine/moved.eng")
                self.assertEqual(done.returncode, 3, self.errors(done))
                self.assertIn(f'warning: "abc": the first results page {why}; recorded as failed',
                              self.errors(done))
                self.assertNotIn("plain.engine.test", control("/log"))
                shutil.rmtree(self.path(TARGET))

    def check_generation(self, keywords):
        records = [r.split("\t") for r in cp932_lines(self.history(0))[1:-1]]
        self.assertEqual([(r[1], scanned_rank(r[2])) for r in records],
                         [(k, expected_rank(k)) for k in keywords])


class NetworkSettingsTest(CliTestCase):
    """[NETWORK] UserAgent and PageDelay of vexor.ini: what the engine sees of a survey."""

    def survey_abc_on_page_three(self):
        self.assertEqual(subprocess.run([*LAUNCHER, CLI, *learn_arguments("engine/nuq.eng")],
                                        cwd=self.work, capture_output=True).returncode, 0)
        control("/reset")
        control("/place?keyword=abc&rank=25")
        done = self.run_cli("survey", self.write_survey(["abc"]))
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        gets = logged(ENGINE_HOST)
        self.assertEqual(len(gets), 3)
        return [f[6] for f in gets], [float(b[11]) - float(a[11]) for a, b in zip(gets, gets[1:])]

    def test_user_agent_and_page_delay_change_what_the_engine_sees(self):
        with open(self.path("vexor.ini"), "wb") as f:
            f.write(b"[NETWORK]\r\nUserAgent=Mozilla/5.0 (vexor-cli test)\r\nPageDelay=300\r\n")
        agents, gaps = self.survey_abc_on_page_three()
        self.assertEqual(set(agents), {"Mozilla/5.0 (vexor-cli test)"})
        for gap in gaps:
            self.assertGreaterEqual(gap, 0.3)
            self.assertLess(gap, 0.6 + 1.0)
        with open(self.path("vexor.ini"), "rb") as f:  # read, never written
            self.assertTrue(f.read().startswith(b"[NETWORK]\r\nUserAgent=Mozilla/5.0 (vexor-cli "
                                                b"test)\r\nPageDelay=300\r\n[SEARCH]"))

    def test_without_them_the_requests_are_the_fixed_ones(self):
        agents, gaps = self.survey_abc_on_page_three()
        self.assertEqual(set(agents),
                         {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)"})
        for gap in gaps:
            self.assertLess(gap, 0.3)


if __name__ == "__main__":
    if CLI is None or "http_proxy" not in os.environ:
        sys.exit("usage: with-fake-engine python3 cli_end_to_end.py path/to/vexor-cli")
    unittest.main(verbosity=2)
