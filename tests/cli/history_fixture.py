"""A site history of 30 runs written by hand, and what every reader must make of it.

Runs 1 to 25 stand in the history folder's "archive" folder (named by their start, as the
rotation names them, except two whose names disagree with their content and two runs of the
same second), runs 26 to 30 in 4.txt to 0.txt. Keywords appear, disappear and come back; the
engine changes from "old" to "nuq" after run 15; run 8 has no header, run 13 only a header; run
4 holds a keyword twice (the first record wins). Japanese keywords include 0x5C second bytes.
Searches fail: "late-comer" in the newest run, "ソフト 比較" in the run before it, "能力" in run 25
before a later record of it in the same run replaces the failure. Ranked records keep the
address that ranked from run 27 on (older files kept none, and "abc" never does); "表示" ranks
with another page in the newest run.
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


# A failed search as the rank field keeps it: ("failed", page, cause word).
FAILED_429 = ("failed", 3, "http-429")
FAILED_CONSENT = ("failed", 1, "consent")
FAILURE_TEXTS = {FAILED_429: "失敗: HTTP 429 (3 ページ目)", FAILED_CONSENT: "失敗: 同意の確認ページ"}
FIRST_ADDRESS_RUN = 26


def failed(rank):
    return isinstance(rank, tuple)


def ranked(rank):
    return rank is not None and not failed(rank) and rank >= 1


def ranks_of_run(i):
    """(keyword, rank) records of run i (0-based) in file order, duplicates included."""
    records = [("表示", 1 + (i * 7) % 15)]
    if i < 10:
        records.append(("ソフト 比較", 20 + i))
    elif i < 15:
        records.append(("ソフト 比較", 0))
    elif i >= 20:
        records.append(("ソフト 比較", FAILED_CONSENT if i == RUNS - 2 else 40 - i))
    records.append(("vexor", 50 if i == RUNS - 1 else 0))
    records.append(("東京 ホテル", 0 if i == RUNS - 1 else 5))
    records.append(("abc", 12))
    if i == 3:
        records.append(("abc", 99))
    if i == 24:
        records.append(("能力", FAILED_CONSENT))
    records.append(("能力", 30 - i))
    if i >= 20:
        records.append(("late-comer", FAILED_429 if i == RUNS - 1 else 100 - i))
    if i <= 5:
        records.append(("gone", 2))
    return records


def address_of(keyword, rank, i):
    """The address a ranked record keeps, "" for none."""
    if not ranked(rank) or i < FIRST_ADDRESS_RUN or keyword == "abc":
        return ""
    if keyword == "表示" and i == RUNS - 1:
        return "http://" + TARGET + "/list?p=2&s=%E8%A1%A8"
    if keyword == "ソフト 比較" and i == RUNS - 1:
        return "http://" + TARGET + "/compare.html"
    return "http://" + TARGET + "/"


def rank_field(keyword, rank, i):
    if failed(rank):
        return "0 failed %d %s" % rank[1:]
    address = address_of(keyword, rank, i)
    return str(rank) + (" " + address if address else "")


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
            lines.append(at.strftime("%Y/%m/%d:%H:%M:%S") + "\t" + keyword + "\t" +
                         rank_field(keyword, rank, i))
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
    """[(start, engine, [(keyword, rank, address)])] oldest first, one record of a keyword: the
    first, unless it is a failure, which a later record replaces in its place."""
    runs = []
    for i in range(RUNS):
        records, place = [], {}
        if i != 12:
            for keyword, rank in ranks_of_run(i):
                record = (keyword, rank, address_of(keyword, rank, i))
                if keyword not in place:
                    place[keyword] = len(records)
                    records.append(record)
                elif failed(records[place[keyword]][1]):
                    records[place[keyword]] = record
        start = start_of_run(i).strftime("%Y/%m/%d ") + ("00:00:00" if i == 12 else "09:00:00")
        runs.append((start, engine_of_run(i), records))
    return runs


def expected_long_form():
    """[(run, start, engine, keyword, rank, address)] as show --all prints it."""
    return [(n + 1, start, engine, keyword,
             "failed: %s on page %d" % (rank[2], rank[1]) if failed(rank) else str(rank), address)
            for n, (start, engine, records) in enumerate(expected_runs())
            for keyword, rank, address in records]


def record_series(keyword):
    """The keyword's (rank, address) in every run, None where the run has no record of it."""
    return [{k: (rank, address) for k, rank, address in records}.get(keyword)
            for _, _, records in expected_runs()]


def rank_series(keyword):
    """The keyword's rank (or failure) in every run, None where the run has no record of it."""
    return [record and record[0] for record in record_series(keyword)]


def stretches(series):
    """How many lines the keyword's rank chart draws: runs of consecutive ranked runs."""
    count, inside = 0, False
    for rank in series:
        count += ranked(rank) and not inside
        inside = ranked(rank)
    return count


def expected_address(keyword):
    """The address cell: the newest ranked record's address, and the mark when the run before
    it ranked with another address."""
    records = record_series(keyword)
    newest = [n for n, record in enumerate(records) if record and ranked(record[0])]
    if not newest:
        return ""
    n = newest[-1]
    address, before = records[n][1], records[n - 1] if n > 0 else None
    moved = (address and before and ranked(before[0]) and before[1] and before[1] != address)
    return address + (" 別ページ" if moved else "")


def expected_keyword_rows():
    """[(keyword, current, change, best, address, chart lines, failed runs)] in the report's
    order."""
    runs = expected_runs()
    rows = []
    for order, keyword in enumerate(dict.fromkeys(SURVEY_KEYWORDS)):
        series = rank_series(keyword)
        now, before = series[-1], series[-2]
        if now is None or before is None or failed(now) or failed(before):
            change = ""
        elif now < 1:
            change = "圏外へ" if before >= 1 else "→"
        elif before < 1:
            change = "ランクイン"
        else:
            change = "▲%d" % (before - now) if now < before else (
                "▼%d" % (now - before) if now > before else "→")
        best = [(rank, n) for n, rank in enumerate(series) if ranked(rank)]
        if best:
            rank, run = min(best)
            best_text = "%d (%s)" % (rank, runs[run][0].split(" ")[0])
        else:
            best_text = "-"
        if failed(now):
            current, group = FAILURE_TEXTS[now], 2
        elif now is None:
            current, group = "", 3
        else:
            current, group = ("-", 1) if now == 0 else (str(now), 0)
        key = (group, now if group == 0 else 0, order)
        rows.append((key, (keyword, current, change, best_text, expected_address(keyword),
                           stretches(series), sum(1 for rank in series if failed(rank)))))
    return [row for _, row in sorted(rows)]


def expected_run_rows():
    """[(number, start, engine, records, top 3, top 10, top 30, top 100, failed)] of the runs
    table."""
    surveyed = set(SURVEY_KEYWORDS)
    rows = []
    for n, (start, engine, records) in enumerate(expected_runs()):
        ranks = [rank for keyword, rank, _ in records if keyword in surveyed]
        bands = [sum(1 for rank in ranks if ranked(rank) and rank <= top) for top in (3, 10, 30, 100)]
        fails = sum(1 for rank in ranks if failed(rank))
        rows.append((str(n + 1), start, engine, str(len(records))) + tuple(map(str, bands + [fails])))
    return rows


def expected_engines_text():
    """The report's engine fact: each engine in order of use, "-" for a run without one."""
    names = []
    for _, engine, _ in expected_runs():
        name = engine or "-"
        if not names or names[-1] != name:
            names.append(name)
    return " → ".join(names)
