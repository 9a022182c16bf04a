"""A site history of 30 runs written by hand, and what every reader must make of it.

Runs 1 to 25 stand in the history folder's "archive" folder (named by their start, as the
rotation names them, except two whose names disagree with their content and two runs of the
same second), runs 26 to 30 in 4.txt to 0.txt. Keywords appear, disappear and come back; the
engine changes from "old" to "nuq" after run 15; run 8 has no header, run 13 only a header; run
4 holds a keyword twice (the first record wins). Japanese keywords include 0x5C second bytes.
"""

import datetime
import os

TARGET = "www.report-site.example"
RUNS = 30
FIRST_DAY = datetime.datetime(2024, 1, 1, 9, 0, 0)

# The survey's keywords as the survey file lists them: one twice, one never recorded, and
# "gone" (in the history only) left out.
SURVEY_KEYWORDS = ["表示", "ソフト 比較", "vexor", "東京 ホテル", "abc", "能力", "late-comer",
                   "never", "表示"]


def ranks_of_run(i):
    """(keyword, rank) records of run i (0-based) in file order, duplicates included."""
    records = [("表示", 1 + (i * 7) % 15)]
    if i < 10:
        records.append(("ソフト 比較", 20 + i))
    elif i < 15:
        records.append(("ソフト 比較", 0))
    elif i >= 20:
        records.append(("ソフト 比較", 40 - i))
    records.append(("vexor", 50 if i == RUNS - 1 else 0))
    records.append(("東京 ホテル", 0 if i == RUNS - 1 else 5))
    records.append(("abc", 12))
    if i == 3:
        records.append(("abc", 99))
    records.append(("能力", 30 - i))
    if i >= 20:
        records.append(("late-comer", 100 - i))
    if i <= 5:
        records.append(("gone", 2))
    return records


def engine_of_run(i):
    if i == 7:
        return ""  # no header
    return "old" if i < 15 else "nuq"


def start_of_run(i):
    # Runs 21 and 22 (i = 20, 21) began in the same second.
    return FIRST_DAY + datetime.timedelta(days=20 if i == 21 else i)


def run_text(i):
    """The bytes of run i's file."""
    start = start_of_run(i)
    lines = []
    if engine_of_run(i):
        lines.append(start.strftime("%Y/%m/%d") + " (" + engine_of_run(i) + ")")
    if i != 12:
        for n, (keyword, rank) in enumerate(ranks_of_run(i)):
            at = start + datetime.timedelta(seconds=n)
            lines.append(at.strftime("%Y/%m/%d:%H:%M:%S") + "\t" + keyword + "\t" + str(rank))
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def archive_name(i):
    if i == 5:
        return "zz-misnamed.txt"
    if i == 6:
        return "00-early.txt"
    name = start_of_run(i).strftime("%Y%m%d-%H%M%S")
    return name + ("-2" if i == 21 else "") + ".txt"


def write(folder):
    """Writes the survey file survey.txt and the history folder into folder."""
    with open(os.path.join(folder, "survey.txt"), "wb") as f:
        f.write(("\r\n".join([TARGET] + SURVEY_KEYWORDS) + "\r\n").encode("cp932"))
    history = os.path.join(folder, TARGET)
    archive = os.path.join(history, "archive")
    os.makedirs(archive)
    for i in range(RUNS - 5):
        with open(os.path.join(archive, archive_name(i)), "wb") as f:
            f.write(run_text(i))
    for generation in range(5):
        with open(os.path.join(history, f"{generation}.txt"), "wb") as f:
            f.write(run_text(RUNS - 1 - generation))
    return history


def expected_runs():
    """[(start, engine, [(keyword, rank)])] oldest first, the first record of a keyword only."""
    runs = []
    for i in range(RUNS):
        records, seen = [], set()
        if i != 12:
            for keyword, rank in ranks_of_run(i):
                if keyword not in seen:
                    seen.add(keyword)
                    records.append((keyword, rank))
        start = start_of_run(i).strftime("%Y/%m/%d ") + ("00:00:00" if i == 12 else "09:00:00")
        runs.append((start, engine_of_run(i), records))
    return runs


def expected_long_form():
    """[(run, start, engine, keyword, rank)] as show --all prints it."""
    return [(n + 1, start, engine, keyword, rank)
            for n, (start, engine, records) in enumerate(expected_runs())
            for keyword, rank in records]


def rank_series(keyword):
    """The keyword's rank in every run, None where the run has no record of it."""
    return [dict(records).get(keyword) for _, _, records in expected_runs()]


def stretches(series):
    """How many lines the keyword's rank chart draws: runs of consecutive ranked runs."""
    count, inside = 0, False
    for rank in series:
        ranked = rank is not None and rank >= 1
        count += ranked and not inside
        inside = ranked
    return count


def expected_keyword_rows():
    """[(keyword, current, change, best, chart lines)] in the report's order."""
    runs = expected_runs()
    rows = []
    for order, keyword in enumerate(dict.fromkeys(SURVEY_KEYWORDS)):
        series = rank_series(keyword)
        now, before = series[-1], series[-2]
        if now is None or before is None:
            change = ""
        elif now < 1:
            change = "圏外へ" if before >= 1 else "→"
        elif before < 1:
            change = "ランクイン"
        else:
            change = "▲%d" % (before - now) if now < before else (
                "▼%d" % (now - before) if now > before else "→")
        ranked = [(rank, n) for n, rank in enumerate(series) if rank is not None and rank >= 1]
        if ranked:
            best, run = min(ranked)
            best_text = "%d (%s)" % (best, runs[run][0].split(" ")[0])
        else:
            best_text = "-"
        current = "" if now is None else ("-" if now == 0 else str(now))
        group = 0 if now is not None and now >= 1 else (1 if now is not None else 2)
        key = (group, now if group == 0 else 0, order)
        rows.append((key, (keyword, current, change, best_text, stretches(series))))
    return [row for _, row in sorted(rows)]


def expected_run_rows():
    """[(number, start, engine, records, top 3, top 10, top 30, top 100)] of the runs table."""
    surveyed = set(SURVEY_KEYWORDS)
    rows = []
    for n, (start, engine, records) in enumerate(expected_runs()):
        ranks = [rank for keyword, rank in records if keyword in surveyed]
        bands = [sum(1 for rank in ranks if 1 <= rank <= top) for top in (3, 10, 30, 100)]
        rows.append((str(n + 1), start, engine, str(len(records))) + tuple(map(str, bands)))
    return rows


def expected_engines_text():
    """The report's engine fact: each engine in order of use, "-" for a run without one."""
    names = []
    for _, engine, _ in expected_runs():
        name = engine or "-"
        if not names or names[-1] != name:
            names.append(name)
    return " → ".join(names)
