#!/usr/bin/env bash
# Screenshots of the real window under Wine: the main window on a sample
# document, then each popup of the menu bar opened from the keyboard. Each
# picture is checked for what it must show: the main window its size, an
# editor area in the window colour with the two text lines at its top and
# nothing below them; each popup a change against the plain window.
#   tests/e2e/screenshots.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build dir}
. "$here/../../scripts/lib.sh"
lork2_ensure_prefix
lork2_ensure_display
shots="$LORK2_ROOT/build/screenshots"
mkdir -p "$shots"
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

# A sample in 1251: Russian text, so the guess keeps ANSI.
printf '\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0!\r\n\xdd\xf2\xee LORK2.\r\n' > "$work/sample.txt"
fail() { echo "screenshot check: $*" >&2; exit 1; }

# check_main_window PNG X Y WIDTH HEIGHT: the window's part of a screen shot.
check_main_window() {
  local png=$1 x=$2 y=$3 w=$4 h=$5
  local size
  size=$(identify -format '%wx%h' "$png")
  [ "$size" = "$(xdpyinfo | awk '/dimensions:/ {print $2}')" ] || fail "$png is $size, not the screen's size"
  [ "$w" -ge 300 ] && [ "$h" -ge 200 ] || fail "the window is only ${w}x${h}"
  convert "$png" -crop "${w}x${h}+${x}+${y}" +repage "$work/window.png"
  local colours
  colours=$(identify -format '%k' "$work/window.png")
  [ "$colours" -ge 8 ] || fail "the window shows only $colours colours"
  # The share of pure white (the window colour) in each row of the window,
  # left of the vertical scroll bar.
  convert "$work/window.png" -crop "$((w - 40))x${h}+0+0" +repage -fill black +opaque white -colorspace gray -scale "1x${h}!" \
    -depth 16 txt:- | awk -F'[(),]' 'NR > 1 {print $3 / 65535}' > "$work/rows.txt"
  # The editor: the longest run of rows that are mostly window colour; its
  # text rows are those with marks in them, all in the run's first 60 rows.
  awk -v h="$h" '
    { share[NR] = $1 }
    END {
      best = 0; run = 0
      for (i = 1; i <= NR; i++) {
        if (share[i] >= 0.8) { run++; if (run > best) { best = run; end = i } } else run = 0
      }
      if (best < 100) { print "no editor area (longest white run " best " rows)"; exit 1 }
      start = end - best + 1; top = 0
      for (i = start; i <= end; i++) if (share[i] > top) top = share[i]
      text = 0; last = 0
      for (i = start; i <= end; i++) if (share[i] < top - 0.005) { text++; last = i - start }
      if (text < 8) { print "no text in the editor (" text " rows with marks)"; exit 1 }
      if (last > 60) { print "marks " last " rows below the editor top, under the two lines"; exit 1 }
    }' "$work/rows.txt" || fail "main window, as said above"
}

wine "$build/lork2.exe" "$work/sample.txt" &
pid=$!
wid=$(lork2_wait_window '-LORK2$') || { echo "the main window did not appear" >&2; exit 1; }
import -window root "$shots/main-window.png"
eval "$(xdotool getwindowgeometry --shell "$wid")"
check_main_window "$shots/main-window.png" "$X" "$Y" "$WIDTH" "$HEIGHT"

names=(file edit align misc search codepages font help)
# Each popup afresh: F10 selects the bar, Right moves along it, Down opens.
for i in "${!names[@]}"; do
  xdotool key F10
  sleep 0.2
  for _ in $(seq 1 "$i"); do xdotool key Right; done
  xdotool key Down
  sleep 0.6
  shot="$shots/menu-$i-${names[$i]}.png"
  import -window root "$shot"
  xdotool key Escape Escape
  sleep 0.3
  # The open popup changes a good part of the screen against the plain window.
  changed=$(compare -metric AE "$shots/main-window.png" "$shot" null: 2>&1 || true)
  changed=${changed%% *}
  [ "${changed%.*}" -ge 2000 ] 2>/dev/null || fail "$shot: only ${changed} pixels differ from the plain window"
  [ -z "${previous:-}" ] || {
    differ=$(compare -metric AE "$previous" "$shot" null: 2>&1 || true)
    differ=${differ%% *}
    [ "${differ%.*}" -ge 1000 ] 2>/dev/null || fail "$shot shows the same as $previous"
  }
  previous=$shot
done
xdotool key Escape
set +e
if ! lork2_wait_exit "$pid"; then
  echo "the editor did not close on Escape" >&2
  exit 1
fi
wait "$pid"
rc=$?
echo "screenshots in $shots; editor exit code $rc"
exit $rc
