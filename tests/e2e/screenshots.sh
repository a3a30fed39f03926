#!/usr/bin/env bash
# Screenshots of the real window under Wine: the main window on a sample
# document, then each popup of the menu bar opened from the keyboard.
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
wine "$build/lork2.exe" "$work/sample.txt" &
pid=$!
lork2_wait_window '-LORK2$' >/dev/null || { echo "the main window did not appear" >&2; exit 1; }
import -window root "$shots/main-window.png"

names=(file edit align misc search codepages font help)
# Each popup afresh: F10 selects the bar, Right moves along it, Down opens.
for i in "${!names[@]}"; do
  xdotool key F10
  sleep 0.2
  for _ in $(seq 1 "$i"); do xdotool key Right; done
  xdotool key Down
  sleep 0.6
  import -window root "$shots/menu-$i-${names[$i]}.png"
  xdotool key Escape Escape
  sleep 0.3
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
