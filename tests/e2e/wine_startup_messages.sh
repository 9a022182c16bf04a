#!/usr/bin/env bash
# vexor.exe's start-up messages under Wine come up over its main window and are owned by it.
#   usage: wine_startup_messages.sh VEXOR_EXE SCREENSHOT_DIR
# Run through tests/e2e/with-xvfb.
#
# vexor.ini names an engine file and a survey file that are both missing: the start-up load
# reports the engine, then the survey file, each in a message box. When the first box appears
# the main window stands (screenshot), and each box is a transient (owned) window of the main
# window. That the window is painted before the first box is tests/win32/main_window_test.cpp's.
set -euo pipefail

exe=$1
shots=$2
name=wine_startup_messages
failure_shot=startup_failure.png
source "$(dirname "${BASH_SOURCE[0]}")/wine_gui_helpers.sh"

work=$(mktemp -d)
mkdir -p "$shots"
rm -f "$shots/$failure_shot"
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cp "$exe" "$work/vexor.exe"
mkdir "$work/engine"
printf '[ENGINE]\r\nlast=engine\\missing.eng\r\n[SEARCH]\r\nlast=missing-survey.txt\r\n' >"$work/vexor.ini"
(cd "$work" && exec "$wine_run" vexor.exe) >"$work/program.out" 2>&1 &
program_pid=$!

# Both the window and the box are titled with the program's name; the box is the smaller one.
windows() { xdotool search --onlyvisible --name '^nuqランキング調査$' 2>/dev/null; }
area() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo $((WIDTH * HEIGHT)); }
box_other_than() { for id in $(windows); do [ "$id" != "$1" ] && echo "$id"; done | head -n1; }
main_window=
wait_for 60 '[ "$(windows | wc -l)" -ge 2 ]' || fail "no main window with a start-up message"
for id in $(windows); do
  if [ -z "$main_window" ] || [ "$(area "$id")" -gt "$(area "$main_window")" ]; then main_window=$id; fi
done
import -window root "$shots/startup_message.png" || fail "no screenshot of the start-up message"

owner_of() { xprop -id "$1" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p'; }
for message in engine survey; do
  box=
  wait_for 20 'box=$(box_other_than "$main_window")' || fail "no $message message"
  owner=$(owner_of "$box")
  [ "$((${owner:-0}))" -eq "$main_window" ] ||
    fail "the $message message is not owned by the main window (owner: ${owner:-none})"
  focus "$box"
  xdotool key --window "$box" Return
  wait_for 20 '[ "$(box_other_than "$main_window")" != "$box" ]' || fail "the $message message stays"
done
echo "$name: passed"
