"""vexor-cli end to end: a person at the terminal steps in on a consent page.

Run through tests/net/with-fake-engine, as cli_end_to_end.py (whose helpers it uses):
    with-fake-engine python3 hand_off_end_to_end.py path/to/vexor-cli
The engine answers the first page of a keyword once with its consent page. With a person at the
terminal (standard input and standard error on a pseudo-terminal) vexor-cli asks; Enter fetches
the same page again and reads the results, "q" fails the keyword. With standard input a pipe it
never asks, and the keyword fails with the consent page as its cause. The pages come through the
browser, which no way of ending the survey leaves running.
"""

import fcntl
import os
import pty
import select
import signal
import subprocess
import sys
import termios
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_end_to_end as cli  # takes the program's path from the command line  # noqa: E402

# The lines of vexor.ini that let a person step in: the pages must come through a browser
# window that the person can complete a consent page in.
HAND_OFF_SETTINGS = "[NETWORK]\r\nFetch=browser\r\nBrowserWindow=1\r\n"
QUESTION_END = "> "
WAITING = "waiting for you"
CONSENT_PAGE = "検索結果の代わりに同意を求めるページが表示されました。"


class HandOffTest(cli.CliTestCase):
    def setUp(self):
        super().setUp()
        self.learn()
        with open(self.path("vexor.ini"), "w", newline="") as f:
            f.write(HAND_OFF_SETTINGS)
        self.keywords = ["goes on", "gives up"]
        for keyword in self.keywords:
            cli.control("/place?" + urllib.parse.urlencode({"keyword": keyword, "rank": 14,
                                                                "target": cli.TARGET}))
            cli.control("/fault?mode=consent&page=1&times=1&" + urllib.parse.urlencode({"keyword": keyword}))
        self.survey = self.write_survey(self.keywords)

    def first_page_requests(self, keyword):
        return [f for f in cli.logged(cli.ENGINE_HOST)
                if f[1] == "GET" and urllib.parse.parse_qs(urllib.parse.urlsplit(f[5]).query) ==
                {"q": [keyword], "start": ["0"], "hl": ["ja"]}]

    def tearDown(self):
        self.assert_no_browser_left()
        super().tearDown()

    def browsers(self):
        """The processes started with this test's browser profile."""
        profile = os.path.join(self.work, "browser-profile").encode()
        running = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    if profile in f.read():
                        running.append(pid)
            except OSError:
                pass
        return running

    def assert_no_browser_left(self, seconds=15):
        end = time.monotonic() + seconds
        while self.browsers() and time.monotonic() < end:
            time.sleep(0.2)
        self.assertEqual(self.browsers(), [], "browser processes left")

    def read_until(self, master, text, seen, deadline=60):
        """Reads the terminal until text stands in what it showed after seen bytes."""
        shown = b""
        end = time.monotonic() + deadline
        while text.encode("utf-8") not in shown[seen:]:
            ready, _, _ = select.select([master], [], [], max(0.0, end - time.monotonic()))
            self.assertTrue(ready, "the terminal showed no " + repr(text) + ": " + shown.decode("utf-8", "replace"))
            try:
                shown += os.read(master, 4096)
            except OSError:  # the program ended and the terminal closed
                self.fail("the program ended without asking: " + shown.decode("utf-8", "replace"))
        return shown

    def test_at_a_terminal_enter_reads_the_page_again_and_q_fails_the_keyword(self):
        master, slave = pty.openpty()
        process = subprocess.Popen([*cli.LAUNCHER, cli.CLI, "survey", self.survey], cwd=self.work,
                                   stdin=slave, stderr=slave, stdout=subprocess.PIPE)
        os.close(slave)
        try:
            shown = b""
            for keyword, answer in zip(self.keywords, [b"\n", b"q\n"]):
                shown += self.read_until(master, QUESTION_END, len(shown))
                asked = shown.decode("utf-8").rsplit(WAITING, 1)
                self.assertIn(keyword + "  ", asked[0].splitlines()[-1])
                self.assertIn("キーワード: " + keyword, asked[1])
                self.assertIn(CONSENT_PAGE, asked[1])
                os.write(master, answer)
            out, _ = process.communicate(timeout=120)
            while select.select([master], [], [], 0.5)[0]:
                try:
                    shown += os.read(master, 4096)
                except OSError:  # the terminal closes with the program
                    break
        finally:
            if process.poll() is None:
                process.kill()
            os.close(master)
        errors = shown.decode("utf-8")
        self.assertEqual(process.returncode, 3, errors)
        self.assertEqual(errors.count(WAITING), 2, errors)
        records = self.records()
        self.assertEqual(records["goes on"], "14 http://" + cli.TARGET + "/")
        self.assertEqual(records["gives up"], "0 failed 1 consent")
        self.assertIn('warning: "gives up": the first results page is a consent page', errors)
        # Enter asked for the same first page again; "q" did not.
        self.assertEqual(len(self.first_page_requests("goes on")), 2)
        self.assertEqual(len(self.first_page_requests("gives up")), 1)
        self.assertIn("goes on", self.text(out))

    def test_ctrl_c_at_the_question_stops_the_survey(self):
        master, slave = pty.openpty()
        process = subprocess.Popen([*cli.LAUNCHER, cli.CLI, "survey", self.survey], cwd=self.work,
                                   stdin=slave, stderr=slave, stdout=subprocess.PIPE)
        os.close(slave)
        try:
            self.read_until(master, QUESTION_END, 0)
            process.send_signal(signal.SIGINT)
            process.communicate(timeout=60)
        finally:
            if process.poll() is None:
                process.kill()
            os.close(master)
        self.assertEqual(process.returncode, 130)
        self.assertEqual(self.records(), {})  # the keyword in progress gets no record
        self.assertEqual(len(self.first_page_requests("goes on")), 1)

    def test_without_a_terminal_nobody_is_asked_and_the_consent_page_fails_the_keyword(self):
        done = subprocess.run([*cli.LAUNCHER, cli.CLI, "survey", self.survey], cwd=self.work,
                              stdin=subprocess.PIPE, capture_output=True, timeout=300)
        errors = self.text(done.stderr)
        self.assertEqual(done.returncode, 3, errors)
        self.assertNotIn(WAITING, errors)
        self.assertNotIn(QUESTION_END, errors)
        for keyword in self.keywords:
            self.assertEqual(self.records()[keyword], "0 failed 1 consent")
            self.assertEqual(len(self.first_page_requests(keyword)), 1)

    def test_a_killed_parent_shell_leaves_no_browser(self):
        """The terminal's shell dies while the survey waits at the question: the hang-up ends
        vexor-cli, and the browser dies with it."""
        master, slave = pty.openpty()

        def own_terminal():
            os.setsid()
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        command = " ".join(f"'{a}'" for a in [*cli.LAUNCHER, cli.CLI, "survey", self.survey]) + "; true"
        shell = subprocess.Popen(["bash", "-c", command], cwd=self.work, stdin=slave, stderr=slave,
                                 stdout=subprocess.DEVNULL, preexec_fn=own_terminal)
        os.close(slave)
        try:
            self.read_until(master, QUESTION_END, 0)
            self.assertTrue(self.browsers(), "the survey reads its pages through a browser")
            shell.kill()
            shell.wait(timeout=30)
        finally:
            if shell.poll() is None:
                shell.kill()
            os.close(master)
        self.assert_no_browser_left()

    records = cli.SurveyTest.records


if __name__ == "__main__":
    unittest.main()
