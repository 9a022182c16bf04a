# Shell helpers shared by the Wine window tests. Source it after setting $name (the test's name
# in failures), $shots (the screenshot folder) and $failure_shot (the screenshot kept when a
# check fails).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
wine_run="$root/cmake/wine-run"
export WINEPREFIX="$VEXOR_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

fail() {
  echo "$name: $*" >&2
  [ -n "${DISPLAY:-}" ] && mkdir -p "$shots" && import -window root "$shots/$failure_shot" 2>/dev/null
  exit 1
}

# Polls a condition (a shell command) every half second for at most $1 seconds.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 2))
  for _ in $(seq "$tries"); do
    if eval "$@"; then return 0; fi
    sleep 0.5
  done
  return 1
}

# The first visible window whose title matches the pattern, on standard output; fails when none.
visible_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
  [ -n "$id" ] && echo "$id"
}

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

# A request to the fake engine's control host, through the proxy like every other request; the
# answer goes to standard output.
control() {
  python3 -c 'import sys, urllib.request; sys.stdout.write(urllib.request.urlopen("http://control.test/" + sys.argv[1], timeout=10).read().decode("latin-1"))' "$1"
}
