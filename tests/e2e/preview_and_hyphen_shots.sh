#!/usr/bin/env bash
# Screenshots of the real window for two things a test cannot see whole:
# a line of seven blanks, a 1251 soft hyphen (0xAD) and "abc" (the blanks
# must keep their place), and the print preview as it first opens (the
# whole page inside the window). Writes build/screenshots/hyphen.png and
# preview.png; fails when the window or the preview does not appear.
#   tests/e2e/preview_and_hyphen_shots.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build dir}
. "$here/../../scripts/lib.sh"
lork2_ensure_prefix
lork2_ensure_display
# The test command has a print server running already; alone, start one.
[ -n "${CUPS_SERVER:-}" ] && [ -S "$CUPS_SERVER" ] || lork2_ensure_printer || true
shots="$LORK2_ROOT/build/screenshots"
mkdir -p "$shots"
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; lork2_stop_printer; rm -rf "$work"' EXIT

# Russian text keeps the guess at 1251.
{
  printf '       \xadabc\r\n'
  printf '\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0!\r\n'
  for i in $(seq 1 80); do printf '%s \xf1\xf2\xf0\xee\xea\xe0\r\n' "$i"; done
} > "$work/hyphen.txt"
wine "$build/lork2.exe" "$work/hyphen.txt" &
pid=$!
lork2_wait_window '^\[hyphen.txt\]-LORK2$' >/dev/null || { echo "the main window did not appear" >&2; exit 1; }
import -window root "$shots/hyphen.png"

# "Разное" (the fourth popup), "Предварительный просмотр..." (its eighth item).
xdotool key F10
sleep 0.3
xdotool key Right Right Right Down
sleep 0.5
for _ in $(seq 1 7); do xdotool key Down; sleep 0.1; done
import -window root "$shots/preview-menu.png"
xdotool key Return
preview=$(lork2_wait_window '^Просмотр: ') || { echo "the preview did not appear" >&2; exit 1; }
sleep 2
import -window root "$shots/preview.png"
xdotool key Escape
sleep 0.5
xdotool key Escape
lork2_wait_exit "$pid" || { echo "the editor did not close" >&2; exit 1; }
pid=""
echo "screenshots in $shots: hyphen.png preview.png"
