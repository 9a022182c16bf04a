#!/usr/bin/env bash
# vexor.exe end to end under Wine on a private X display, against the fake search engine.
# Run through tests/net/with-fake-engine (http_proxy) and tests/e2e/with-xvfb (DISPLAY, Wine
# prefix, locale). ENGINE_MAKER runs in the test folder and must write engine\nuq.eng there: an
# engine learnt for plain.engine.test. A failure keeps a screenshot of the screen, failure.png.
#
# The program is started from another folder with a relative survey file as its argument: it
# must make its own folder the working directory, open the file, survey at once, write the
# history header and one record per keyword with the ranks the fake engine implies, and show
# them. The history holds two earlier runs under another engine, so the start rotates them and
# the rank cells show all five changes in colour. One keyword's first page is refused (HTTP
# 403) and another's second page keeps failing (HTTP 503 after its Retry-After): their records
# name the failure and the end of the run brings one warning box. The vexor.ini it finds
# names a user agent in [NETWORK], which every request must carry. Screenshots of the main
# window, the warning and the engine edit dialog (opened from the menu) are kept. The report
# command of the file menu must write the report into the history folder and open it with the
# shell (a recorder stands in for the browser), and F1 the manual beside vexor.exe; with the
# manual gone, F1 brings a message instead. A second run from the menu, against an engine
# that refuses every keyword, rotates the history and stops after three
# keywords with one message box over the main window, which then shows failures in the current
# run's column and the first run's in the next. Once the engine answers again, the retry
# command of the file menu searches those three keywords again and adds their ranks to the same
# generation. ファイル > CSV 出力 then writes the list through a Save As dialog with the bytes
# vexor-cli.exe writes for `show survey.txt --format csv -o FILE`. Closing the window must write
# vexor.ini with the window rectangle and the engine path, and leave [NETWORK] as it was but
# for BrowserWindow=1, which 設定 > ブラウザのウィンドウを表示 wrote.
#   usage: wine_gui_e2e.sh VEXOR_EXE VEXOR_CLI_EXE SCREENSHOT_DIR ENGINE_MAKER [ARGS...]
set -euo pipefail

exe=$1
cli_exe=$2
shots=$3
shift 3
name=wine_gui_e2e
failure_shot=failure.png
source "$(dirname "${BASH_SOURCE[0]}")/wine_gui_helpers.sh"

work=$(mktemp -d)
mkdir -p "$shots"
rm -f "$shots/failure.png"
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  "$wine_run" reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# Waits for the window whose title matches $1 (named $4 in failures), keeps its screenshot as
# $shots/$2 and closes it with key $3.
capture_and_close() {
  local pattern=$1 shot=$2 key=$3 what=$4 window=
  wait_for 30 'window=$(visible_window "$pattern")' || fail "$what did not open"
  sleep 1
  import -window "$window" "$shots/$shot" || fail "no screenshot of $what"
  focus "$window"
  xdotool key "$key"
  wait_for 20 '! visible_window "$pattern" >/dev/null' || fail "$what did not close on $key"
}

target=www.target-site.example
# keyword (UTF-8 here, code page 932 in the survey file) and its expected rank: the fake engine
# puts the target at (sum of the keyword's UTF-8 bytes) mod 101 unless a placement says otherwise.
keywords=("abc" "表示" "順位 調査" "vexor" "ソフト" "blocked" "later")
found=" http://www.target-site.example/"
expected=("92$found" "31$found" "64$found" "0" "3$found" "0 failed 1 http-403" "0 failed 2 http-503")
user_agent="vexor-e2e/1.0 (Wine)"
control reset >/dev/null || fail "fake engine not reachable through http_proxy=$http_proxy"

cp "$exe" "$work/vexor.exe"
cp -r "$(dirname "$exe")/manual.html" "$(dirname "$exe")/manual" "$work/" ||
  fail "no manual beside $exe"
mkdir "$work/engine"
(cd "$work" && "$@") || fail "engine maker failed: $*"
[ -s "$work/engine/nuq.eng" ] || fail "engine maker wrote no engine/nuq.eng"
printf '[NETWORK]\r\nUserAgent=%s\r\n' "$user_agent" >"$work/vexor.ini"
# After learning, so that the log holds the survey's requests only.
control reset >/dev/null || fail "fake engine reset failed"
place_ranks() {
  control "place?keyword=vexor&rank=0" >/dev/null || fail "placement failed"
  control "place?keyword=%E3%82%BD%E3%83%95%E3%83%88&rank=3" >/dev/null || fail "placement failed"
}
place_ranks
control "fault?mode=e403&keyword=blocked" >/dev/null || fail "fault rule failed"
control "fault?mode=e503&keyword=later&page=2&retry=1" >/dev/null || fail "fault rule failed"

python3 - "$work/survey.txt" "$target" "${keywords[@]}" <<'PY'
import sys
path, target, *keywords = sys.argv[1:]
with open(path, "wb") as f:
    f.write(("\r\n".join([target, *keywords]) + "\r\n").encode("cp932"))
PY

# Two finished runs under the engine "old", and one archived before them. Against the ranks of
# the new run (92, 31, 64, 0, 3) the run before gives better, worse, newly ranked, dropped out
# and unchanged.
mkdir -p "$work/$target/archive"
python3 - "$work/$target" "${keywords[@]}" <<'PY'
import sys
folder, keywords = sys.argv[1], sys.argv[2:]
runs = {"0.txt": ("2024/05/02", [95, 20, 0, 7, 3]),
        "1.txt": ("2024/05/01", [99, 20, 0, 9, 3]),
        "archive/20240430-090000.txt": ("2024/04/30", [99, 25, 0, 9, 4])}
for name, (day, ranks) in runs.items():
    lines = [day + " (old)"] + [f"{day}:09:00:{n:02d}\t{k}\t{r}"
                                for n, (k, r) in enumerate(zip(keywords, ranks))]
    with open(f"{folder}/{name}", "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
cp "$work/$target/0.txt" "$work/previous-0.txt"
cp "$work/$target/1.txt" "$work/previous-1.txt"

# The shell's "open" verb for the report: .html goes to winebrowser, which hands the address to
# the recorder instead of a real browser.
printf '#!/bin/sh\necho "$@" >>"%s/opened.txt"\n' "$work" >"$work/open-recorder"
chmod +x "$work/open-recorder"
"$wine_run" reg add 'HKCR\.html' /ve /t REG_SZ /d htmlfile /f >/dev/null 2>&1 ||
  fail "cannot register .html in the Wine prefix"
"$wine_run" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ \
  /d "$work/open-recorder" /f >/dev/null 2>&1 || fail "cannot set the Wine browser"

# Started from another folder: the relative survey file is found in the program's folder.
(cd / && exec "$wine_run" "$work/vexor.exe" survey.txt) >"$work/program.out" 2>&1 &
program_pid=$!

history="$work/$target/0.txt"
# Whether the history holds its header and at least $1 records.
records_written() {
  [ -f "$history" ] && head -n1 "$history" | grep -q '(nuq)' &&
    [ "$(tr -cd '\n' <"$history" | wc -c)" -ge $(($1 + 1)) ]
}
# Checks the records of a history file: FILE KEYWORD... -- FIELD... (one rank field each).
check_records() {
  python3 - "$@" <<'PY'
import re, sys
path, rest = sys.argv[1], sys.argv[2:]
keywords, ranks = rest[:rest.index("--")], rest[rest.index("--") + 1:]
n = len(keywords)
data = open(path, "rb").read()
lines = data.split(b"\r\n")
assert lines[-1] == b"", "history must end in CR LF"
header, *records = lines[:-1]
assert re.fullmatch(rb"\d{4}/\d\d/\d\d \(nuq\)", header), header
assert len(records) == n, records
for line, keyword, rank in zip(records, keywords, ranks):
    stamp, word, value = line.split(b"\t")
    assert re.fullmatch(rb"\d{4}/\d\d/\d\d:\d\d:\d\d:\d\d", stamp), line
    assert word == keyword.encode("cp932"), (word, keyword)
    assert value == rank.encode(), (keyword, value, rank)
print("history:", header.decode(), "/", ", ".join(f"{k}={r}" for k, r in zip(keywords, ranks)))
PY
}
wait_for 180 records_written ${#keywords[@]} || fail "no complete history in $history: $(cat "$history" 2>/dev/null)"
check_records "$history" "${keywords[@]}" -- "${expected[@]}" || fail "wrong history"
cp "$history" "$work/first-run.txt"
cmp -s "$work/previous-0.txt" "$work/$target/1.txt" || fail "the run before is not in 1.txt"
cmp -s "$work/previous-1.txt" "$work/$target/2.txt" || fail "the run before that is not in 2.txt"

# Every request of the survey carried the user agent of vexor.ini.
control "log?host=plain.engine.test" | python3 -c '
import sys
agents = {line.split("\t")[6] for line in sys.stdin.read().splitlines()}
assert agents == {sys.argv[1]}, agents
' "$user_agent" || fail "the survey did not send the user agent of vexor.ini"

# The end of the run counts the two failed keywords in a warning box with the program's name.
capture_and_close '^nuqランキング調査$' end_of_run_warning.png Return "the warning at the end of the run"

main_window=$(wait_for 20 'visible_window "nuq" >/dev/null' && visible_window "$target") || true
[ -n "$main_window" ] || fail "main window not found"
sleep 1  # the last result message is posted after its record is written
import -window "$main_window" "$shots/main_window.png" || fail "no screenshot of the main window"
# The five fills of the rank changes are on screen (blue, orange, dark blue, dark orange, grey).
colours=$(convert "$shots/main_window.png" -format %c histogram:info:- 2>/dev/null)
for fill in A6CEE3 FDBF6F 1F78B4 B35806 E0E0E0; do
  grep -qi "#$fill" <<<"$colours" || fail "the colour #$fill of a rank change is not on screen"
done
title=$(xdotool getwindowname "$main_window")
[ "$title" = "$target (nuq) - nuqランキング調査" ] || fail "window title: $title"

# The engine edit dialog through the menu: 設定(&S), then エンジンファイルの編集(&E).
focus "$main_window"
xdotool key --clearmodifiers alt+s
sleep 0.5
xdotool key e
capture_and_close "エンジンファイルの編集" engine_edit_dialog.png Escape "the engine edit dialog"

# ファイル(&F), then レポート作成(&R): the report in the history folder, opened by the shell.
report="$work/$target/report.html"
focus "$main_window"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key r
wait_for 30 '[ -s "$report" ] && grep -qs "report.html" "$work/opened.txt"' ||
  fail "the report was not written and opened: $(ls "$work/$target") / $(cat "$work/opened.txt" 2>/dev/null)"
grep -q "<title>順位レポート: $target</title>" "$report" || fail "the report has no title"
grep -q '<td class="keyword">ソフト</td><td class="num current">3</td><td class="change same">' "$report" ||
  fail "the report does not show the new run"
echo "report: opened $(cat "$work/opened.txt")"

# F1: the manual beside vexor.exe, opened by the shell. Without it, one message over the main
# window and nothing opened.
focus "$main_window"
xdotool key F1
wait_for 30 '[ "$(wc -l <"$work/opened.txt")" -ge 2 ]' || fail "F1 opened nothing: $(cat "$work/opened.txt")"
opened_manual=$(tail -n1 "$work/opened.txt")
[ "${opened_manual#file://}" = "$work/manual.html" ] || fail "F1 opened $opened_manual, not the manual beside vexor.exe"
echo "manual: opened $opened_manual"
mv "$work/manual.html" "$work/manual.moved"
focus "$main_window"
xdotool key F1
wait_for 30 'box=$(visible_window "^nuqランキング調査$")' || fail "no message when the manual is missing"
owner=$(xprop -id "$box" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*$') || fail "the missing manual's message has no owner"
[ $((owner)) -eq "$main_window" ] || fail "the missing manual's message is not over the main window"
capture_and_close '^nuqランキング調査$' manual_missing.png Return "the missing manual's message"
[ "$(wc -l <"$work/opened.txt")" -eq 2 ] || fail "a missing manual was opened: $(cat "$work/opened.txt")"

# ファイル(&F), then 調査開始(&B), against an engine that answers every keyword with a consent page:
# the history rotates, three keywords fail and the run stops with one message box, owned by the
# main window; the fourth keyword is never asked for.
control reset >/dev/null || fail "fake engine reset failed"
control "fault?mode=consent&page=1" >/dev/null || fail "fault rule failed"
focus "$main_window"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key b
wait_for 60 'box=$(visible_window "^nuqランキング調査$")' || fail "no message when the engine refused the run"
owner=$(xprop -id "$box" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*$') || fail "the refusing message has no owner"
[ $((owner)) -eq "$main_window" ] || fail "the refusing message is not over the main window"
capture_and_close '^nuqランキング調査$' engine_refusing.png Return "the refusing message"
! wait_for 3 'visible_window "^nuqランキング調査$" >/dev/null' || fail "a second message after the refusing one"
cmp -s "$work/first-run.txt" "$work/$target/1.txt" || fail "the first run was not rotated into 1.txt"
refused="0 failed 1 consent"
check_records "$history" "${keywords[@]:0:3}" -- "$refused" "$refused" "$refused" ||
  fail "wrong history of the refused run"
[ "$(control "count?host=plain.engine.test")" = 3 ] || fail "the refused run did not stop after three keywords"
import -window "$main_window" "$shots/failure_cells.png" || fail "no screenshot of the failure cells"

# ファイル(&F), then 失敗した語を再調査(&F) once the engine answers again: the three keywords get
# their ranks in the same generation, after their failures, and nothing rotates.
control reset >/dev/null || fail "fake engine reset failed"
place_ranks
focus "$main_window"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key f
wait_for 120 records_written 6 || fail "the retry wrote no ranks: $(cat "$history")"
check_records "$history" "${keywords[@]:0:3}" "${keywords[@]:0:3}" -- \
  "$refused" "$refused" "$refused" "${expected[@]:0:3}" || fail "wrong history after the retry"
cmp -s "$work/first-run.txt" "$work/$target/1.txt" || fail "the retry rotated the history"

# ファイル(&F), then CSV 出力(&C): the Save As dialog proposes the site's name in the program's
# folder, and the file holds what vexor-cli.exe writes for the same survey.
focus "$main_window"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key c
wait_for 30 'save_as=$(xdotool search --onlyvisible --name "保存|Save" 2>/dev/null | head -n1) && [ -n "$save_as" ]' ||
  fail "no Save As dialog for the CSV export"
sleep 1
focus "$save_as"
xdotool key Return
exported="$work/$target.csv"
wait_for 30 '[ -s "$exported" ]' || fail "the CSV export wrote no $exported: $(ls "$work")"
(cd "$work" && "$wine_run" "$cli_exe" show survey.txt --format csv -o from-cli.csv) >/dev/null 2>&1 ||
  fail "vexor-cli.exe show -o failed"
cmp "$exported" "$work/from-cli.csv" || fail "the CSV export and vexor-cli.exe differ"
head -c 3 "$exported" | cmp -s - <(printf '\xef\xbb\xbf') || fail "the CSV export has no byte-order mark"
grep -q "^blocked,.*failed: http-403 on page 1" "$exported" || fail "the CSV export lacks a failure: $(cat "$exported")"
echo "csv export: the same $(wc -c <"$exported") bytes as vexor-cli.exe:"
tail -c +4 "$exported"

# 設定(&S), then ブラウザのウィンドウを表示(&V): the choice goes to [NETWORK] at once.
focus "$main_window"
xdotool key --clearmodifiers alt+s
sleep 0.5
xdotool key v
wait_for 10 'grep -qa "BrowserWindow=1" "$work/vexor.ini"' || fail "the browser window item wrote no BrowserWindow=1"

# Closing writes the settings.
"$wine_run" taskkill /im vexor.exe >/dev/null 2>&1 || true
wait_for 30 '! kill -0 "$program_pid" 2>/dev/null' || fail "vexor.exe did not end after WM_CLOSE"
program_pid=

folder=$(winepath -w "$work" 2>/dev/null)
python3 - "$work/vexor.ini" "$folder" <<'PY' || fail "wrong settings file"
import sys
path, folder = sys.argv[1], sys.argv[2]
text = open(path, "rb").read().decode("cp932").replace("\r\n", "\n")
sections, current = {}, None
for line in text.split("\n"):
    if line.startswith("["):
        current = sections.setdefault(line.strip("[]"), {})
    elif "=" in line:
        key, value = line.split("=", 1)
        current[key] = value
window = sections["WINDOW"]
# No settings before: a 640 x 480 window centred on the 1024 x 768 screen.
assert (window["left"], window["top"], window["right"], window["bottom"]) == ("192", "144", "832", "624"), window
assert sections["ENGINE"]["last"].lower() == (folder.rstrip("\\") + "\\engine\\nuq.eng").lower(), sections["ENGINE"]
assert sections["SEARCH"]["last"] == "survey.txt", sections["SEARCH"]
assert sections["NETWORK"] == {"UserAgent": "vexor-e2e/1.0 (Wine)", "BrowserWindow": "1"}, sections["NETWORK"]
print("settings:", sections)
PY

echo "wine_gui_e2e: passed; screenshots in $shots"
