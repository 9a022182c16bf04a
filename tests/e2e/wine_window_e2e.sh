#!/usr/bin/env bash
# vexor.exe's main window during a long survey under Wine, against the fake search engine.
#   usage: wine_window_e2e.sh VEXOR_EXE SCREENSHOT_DIR ENGINE_MAKER [ARGS...]
# Run through tests/net/with-fake-engine and tests/e2e/with-xvfb, as wine_gui_e2e.sh is.
#
# A survey of 80 keywords, paced by [NETWORK] PageDelay, started from the command line: the
# status bar counts the keywords and the list follows the keyword in progress (screenshot), and
# the current run's header and a row show their tips (screenshots).
# Closing the window while the survey runs asks first; No keeps the window and the survey
# (screenshot of the question). Esc aborts the survey and leaves the window open, with the end
# of the run in the status bar (screenshot). F5 goes on from there; closing then, answered Yes,
# ends the program with a history that the next start continues, and the settings keep the
# column widths.
set -euo pipefail

exe=$1
shots=$2
shift 2
name=wine_window_e2e
failure_shot=window_failure.png
source "$(dirname "${BASH_SOURCE[0]}")/wine_gui_helpers.sh"

work=$(mktemp -d)
mkdir -p "$shots"
rm -f "$shots/window_failure.png"
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

target=www.target-site.example
control reset >/dev/null || fail "fake engine not reachable through http_proxy=$http_proxy"
cp "$exe" "$work/vexor.exe"
mkdir "$work/engine"
(cd "$work" && "$@") || fail "engine maker failed: $*"
[ -s "$work/engine/nuq.eng" ] || fail "engine maker wrote no engine/nuq.eng"
control reset >/dev/null || fail "fake engine reset failed"
printf '[NETWORK]\r\nPageDelay=60\r\n' >"$work/vexor.ini"
total=80
python3 - "$work/survey.txt" "$target" "$total" <<'PY'
import sys
path, target, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
lines = [target] + [f"キーワード{n:03d}" for n in range(1, count + 1)]
with open(path, "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY

(cd / && exec "$wine_run" "$work/vexor.exe" survey.txt) >"$work/program.out" 2>&1 &
program_pid=$!

history="$work/$target/0.txt"
records() { [ -f "$history" ] && echo $(($(tr -cd '\n' <"$history" | wc -c) - 1)) || echo 0; }
main_window=
wait_for 60 'main_window=$(visible_window "$target")' || fail "main window not found"

# Past the first screenful of rows: the list must have scrolled to follow.
wait_for 240 '[ "$(records)" -ge 30 ]' || fail "the survey did not get to 30 keywords: $(records)"
import -window "$main_window" "$shots/survey_progress.png" || fail "no screenshot of the survey"

# The tips of the current run's header and of a row as the pointer rests on them (kept to be
# looked at).
# Without a window manager the window has no title bar: the menu bar comes first.
eval "$(xdotool getwindowgeometry --shell "$main_window")"
xdotool mousemove $((X + 160)) $((Y + 32))
sleep 2
import -window root "$shots/header_tip.png" || fail "no screenshot of the header tip"
xdotool mousemove $((X + 40)) $((Y + 70))
sleep 2
import -window root "$shots/row_tip.png" || fail "no screenshot of the row tip"
xdotool mousemove $((X + 300)) $((Y + 460))

# Closing while the survey runs asks; No keeps everything going.
"$wine_run" taskkill /im vexor.exe >/dev/null 2>&1 || true
question=
wait_for 20 'question=$(visible_window "^nuqランキング調査$")' || fail "closing during the survey did not ask"
sleep 0.5
import -window "$question" "$shots/close_during_survey.png" || fail "no screenshot of the question"
focus "$question"
xdotool key n
wait_for 10 '! visible_window "^nuqランキング調査$" >/dev/null' || fail "the question did not close on n"
kill -0 "$program_pid" 2>/dev/null || fail "No closed the program"
before=$(records)
wait_for 30 '[ "$(records)" -gt "$before" ]' || fail "the survey stopped after No"

# Esc aborts the survey; the window stays and the history stops growing.
focus "$main_window"
xdotool key Escape
sleep 3
stopped=$(records)
sleep 3
[ "$(records)" = "$stopped" ] || fail "the survey went on after Esc: $stopped, then $(records)"
[ "$stopped" -lt "$total" ] || fail "the survey ended before Esc"
visible_window "$target" >/dev/null || fail "Esc closed the main window"
kill -0 "$program_pid" 2>/dev/null || fail "Esc ended the program"
import -window "$main_window" "$shots/survey_aborted.png" || fail "no screenshot after Esc"
echo "Esc stopped the survey at $stopped of $total keywords"

# F5 goes on from there in the same generation.
focus "$main_window"
xdotool key F5
wait_for 60 '[ "$(records)" -gt "$stopped" ]' || fail "F5 did not go on with the survey"
head -n1 "$history" | grep -q '(nuq)' || fail "the history lost its header"
[ ! -f "$work/$target/1.txt" ] || fail "F5 began a new generation instead of going on"

# Closing during the survey, answered Yes (the default button), ends the program.
"$wine_run" taskkill /im vexor.exe >/dev/null 2>&1 || true
wait_for 20 'question=$(visible_window "^nuqランキング調査$")' || fail "the second close did not ask"
focus "$question"
xdotool key Return
wait_for 30 '! kill -0 "$program_pid" 2>/dev/null' || fail "Yes did not end the program"
program_pid=
left=$(records)
[ "$left" -lt "$total" ] || fail "the survey finished before the close"
grep -q '^columns=120,95,95,95,95,95' <(tr -d '\r' <"$work/vexor.ini") || fail "no column widths in vexor.ini: $(cat "$work/vexor.ini")"
echo "wine_window_e2e: passed ($left of $total keywords kept for the next start); screenshots in $shots"
