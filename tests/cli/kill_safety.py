"""vexor-cli killed with SIGKILL at every step of a history rotation and at random moments of a
survey, against the fake search engine: afterwards every finished record stands whole and once
in its generation, no generation is lost or duplicated, no temporary file is left, and the next
run continues or rotates correctly. A report killed before it is in place leaves its temporary
file, which the next report clears.

Run through tests/net/with-fake-engine:
    with-fake-engine python3 kill_safety.py path/to/vexor-cli
The rotation steps are stopped with strace's fault injection (SIGKILL on the n-th call of one
file system call the program makes: strace counts each call by itself).
"""

import glob
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request

CLI = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else None
TARGET = "www.target-site.example"
ENGINE_HOST = "plain.engine.test"
# The first keyword's rank is placed anew before every run, so that every generation's records
# differ from every other's even when two runs fall in the same second.
MARKER = "marker"
KEYWORDS = [MARKER, "abc", "rank tracker", "東京 ホテル", "kill", "safety", "vexor", "history"]
FILE_SYSCALLS = "rename,renameat,renameat2,unlink,unlinkat"
RECORD = re.compile(r"^\d{4}/\d\d/\d\d:\d\d:\d\d:\d\d\t([^\t]*)\t(\d+)(?: [^\t ]+)?$")


def control(path):
    with urllib.request.urlopen("http://control.test" + path, timeout=30) as answer:
        return answer.read().decode("utf-8")


def traced_env():
    """The environment of a program run under strace, where a sanitizer's leak checker cannot work."""
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


def expected_rank(keyword):
    lines = control("/results?" + urllib.parse.urlencode({"keyword": keyword})).splitlines()
    for line in lines:
        rank, address = line.split("\t")
        if TARGET in address and int(rank) <= 100:
            return int(rank)
    return 0


def page_address(keyword, start):
    escaped = urllib.parse.quote_plus(keyword.encode("utf-8"), safe="*-.@_")
    return f"http://{ENGINE_HOST}/search?q={escaped}&start={start}&hl=ja"


class KillSafety(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        control("/reset")
        cls.ranks = {keyword: expected_rank(keyword) for keyword in KEYWORDS}
        cls.engine_dir = tempfile.mkdtemp(prefix="vexor-kill-engine-")
        sample = "東京 ホテル"
        listed = control("/results?" + urllib.parse.urlencode({"keyword": sample})).splitlines()
        done = subprocess.run(
            [CLI, "learn", "engine/nuq.eng", "--keyword", sample,
             "--page2", page_address(sample, 10), "--page3", page_address(sample, 20),
             "--first", listed[0].split("\t")[1], "--tenth", listed[9].split("\t")[1]],
            cwd=cls.engine_dir, capture_output=True, timeout=120)
        assert done.returncode == 0, done.stderr.decode()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.engine_dir, True)

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vexor-kill-")
        self.addCleanup(shutil.rmtree, self.work, True)
        shutil.copytree(os.path.join(self.engine_dir, "engine"), os.path.join(self.work, "engine"))
        with open(os.path.join(self.work, "survey.txt"), "wb") as f:
            f.write(("\r\n".join([TARGET, *KEYWORDS]) + "\r\n").encode("cp932"))
        self.site = os.path.join(self.work, TARGET)

    def next_marker(self):
        self.marker_rank = getattr(self, "marker_rank", 0) % 100 + 1
        control(f"/place?keyword={MARKER}&rank={self.marker_rank}")

    def survey(self, *wrapper, timeout=300):
        self.next_marker()
        return subprocess.run([*wrapper, CLI, "survey", "survey.txt", "--format", "csv"],
                              cwd=self.work, capture_output=True, timeout=timeout,
                              env=traced_env() if wrapper else None)

    def generations(self):
        """Every generation file's bytes: 0.txt to 4.txt, then the archive, by name."""
        files = {}
        for k in range(5):
            path = os.path.join(self.site, f"{k}.txt")
            if os.path.exists(path):
                with open(path, "rb") as f:
                    files[f"{k}.txt"] = f.read()
        for path in sorted(glob.glob(os.path.join(self.site, "archive", "*.txt"))):
            with open(path, "rb") as f:
                files["archive/" + os.path.basename(path)] = f.read()
        return files

    def check_history(self, killed=False):
        """Every file is a header and whole records, each keyword once with its rank; only the
        generation files, the archive and the lock stand in the folder (and, right after a kill,
        what a rotation cut short leaves for the next run to finish)."""
        for name, data in self.generations().items():
            text = data.decode("cp932")
            lines = text.split("\r\n")
            self.assertEqual(lines[-1], "", f"{name} ends in a whole line")
            self.assertRegex(lines[0], r"^\d{4}/\d\d/\d\d \(nuq\)$", name)
            seen = set()
            for line in lines[1:-1]:
                match = RECORD.match(line)
                self.assertIsNotNone(match, f"{name}: {line!r}")
                keyword, rank = match.group(1), int(match.group(2))
                self.assertNotIn(keyword, seen, f"{name}: {keyword} twice")
                seen.add(keyword)
                if keyword != MARKER:
                    self.assertEqual(rank, self.ranks[keyword], f"{name}: {keyword}")
        left = sorted(os.listdir(self.site))
        allowed = {f"{k}.txt" for k in range(5)} | {"archive", "lock"}
        if killed:
            allowed |= {"0.new", "rotation", "rotation.new"}
        self.assertTrue(set(left) <= allowed, left)

    def finished_generations(self, files):
        """The generations that a run finished, by their bytes."""
        done = []
        for name, data in files.items():
            records = [line for line in data.decode("cp932").split("\r\n")[1:] if line]
            if len(records) == len(KEYWORDS):
                done.append(data)
        return done

    def assert_nothing_lost_or_doubled(self, before, after):
        kept = list(after.values())
        for generation in self.finished_generations(before):
            self.assertEqual(kept.count(generation), 1, "a finished generation lost or doubled")
        self.assertEqual(len(kept), len(set(kept)), "two files hold the same generation")

    def prepare_five_finished_generations(self):
        for run in range(5):
            done = self.survey()
            self.assertEqual(done.returncode, 0, done.stderr.decode())
        self.assertEqual(len(self.finished_generations(self.generations())), 5)

    def test_a_kill_at_any_step_of_a_rotation_is_finished_by_the_next_run(self):
        self.prepare_five_finished_generations()
        prepared = os.path.join(self.work, "prepared")
        shutil.copytree(self.site, prepared)
        # How many renames and unlinks the start of a rotating run makes: each is a step.
        log = os.path.join(self.work, "steps.log")
        done = self.survey("strace", "-f", "-qq", "-o", log, "-e", f"trace={FILE_SYSCALLS}")
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        calls = {}
        with open(log) as f:
            for line in f:
                match = re.match(r"^\d+\s+(\w+)\(", line)
                if match:
                    calls[match.group(1)] = calls.get(match.group(1), 0) + 1
        steps = [(name, n) for name, count in sorted(calls.items()) for n in range(1, count + 1)]
        self.assertGreaterEqual(len(steps), 8, f"the marker, five moves, the new 0.txt: {calls}")
        for name, n in steps:
            with self.subTest(call=name, n=n):
                shutil.rmtree(self.site)
                shutil.copytree(prepared, self.site)
                before = self.generations()
                killed = self.survey("strace", "-f", "-qq", "-o", os.devnull,
                                     "-e", f"inject={name}:signal=KILL:when={n}")
                self.assertNotEqual(killed.returncode, 0, f"{name} #{n} was not reached")
                done = self.survey()
                self.assertEqual(done.returncode, 0, done.stderr.decode())
                self.check_history()
                after = self.generations()
                self.assert_nothing_lost_or_doubled(before, after)
                finished = self.finished_generations(after)
                self.assertIn(after["0.txt"], finished, "the new generation was finished")
                # Exactly one rotation happened: the five earlier generations moved up by one.
                self.assertEqual(after["1.txt"], before["0.txt"])
                self.assertEqual(after["4.txt"], before["3.txt"])
                self.assertEqual(len(after), len(before) + 1)

    def test_a_report_killed_before_its_rename_leaves_a_temporary_file_the_next_one_clears(self):
        done = self.survey()
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        report = os.path.join(self.site, "report.html")
        temporary = lambda: sorted(glob.glob(report + ".tmp*"))
        strace = ["strace", "-f", "-qq", "-e", "trace=rename,renameat,renameat2"]
        # Which rename puts the report in place (the settings file has its own before it).
        log = os.path.join(self.work, "renames.log")
        done = subprocess.run([*strace, "-o", log, CLI, "report", "survey.txt"],
                              cwd=self.work, capture_output=True, timeout=120, env=traced_env())
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        with open(log) as f:
            renames = [line for line in f if re.match(r"^\d+\s+rename", line)]
        n = 1 + next(i for i, line in enumerate(renames) if 'report.html") = ' in line)
        os.remove(report)
        killed = subprocess.run([*strace, "-o", os.devnull, "-e",
                                 f"inject=rename,renameat,renameat2:signal=KILL:when={n}",
                                 CLI, "report", "survey.txt"],
                                cwd=self.work, capture_output=True, timeout=120, env=traced_env())
        self.assertNotEqual(killed.returncode, 0, "the rename was not reached")
        left = temporary()
        self.assertEqual(len(left), 1, left)
        self.assertFalse(os.path.exists(report))
        # A writer that still runs (this test's own process) may be writing the same report.
        running = f"{report}.tmp{os.getpid()}-0"
        with open(running, "wb") as f:
            f.write(b"being written")
        done = subprocess.run([CLI, "report", "survey.txt"], cwd=self.work, capture_output=True,
                              timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        self.assertTrue(os.path.getsize(report) > 0)
        self.assertEqual(temporary(), [running])

    def test_kills_at_random_moments_of_surveys_lose_and_double_nothing(self):
        rng = random.Random(20261207)
        # The time one whole run takes, to spread the kills over it.
        start = time.monotonic()
        self.assertEqual(self.survey().returncode, 0)
        whole = time.monotonic() - start
        for attempt in range(30):
            with self.subTest(attempt=attempt):
                before = self.generations()
                self.next_marker()
                process = subprocess.Popen([CLI, "survey", "survey.txt"], cwd=self.work,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                time.sleep(rng.uniform(0, whole * 1.1))
                process.kill()
                process.wait(timeout=60)
                self.check_history(killed=True)
                self.assert_nothing_lost_or_doubled(before, self.generations())
                # The next run continues an unfinished generation or rotates a finished one.
                done = self.survey()
                self.assertEqual(done.returncode, 0, done.stderr.decode())
                self.check_history()
                after = self.generations()
                self.assert_nothing_lost_or_doubled(before, after)
                self.assertIn(after["0.txt"], self.finished_generations(after))


if __name__ == "__main__":
    unittest.main(verbosity=2)
