#!/usr/bin/env bash
# The program on screens of 96, 144 and 192 dots per inch, set as a desktop
# sets them (LogPixels) in a Wine prefix of its own: the in-process tests of
# the bars run at each, and the main window, the "Кодировки" popup and the
# toolbar's customise dialog are saved as build/screenshots/dpi-N-*.png for a
# person to look at; each picture must differ from the one at 96.
#   tests/e2e/high_dpi.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build dir}
export LORK2_WINEPREFIX=$here/../../build/dpi-prefix
. "$here/../../scripts/lib.sh"
lork2_ensure_prefix
lork2_ensure_display
shots=$LORK2_ROOT/build/screenshots
mkdir -p "$shots"
work=$(mktemp -d)
pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "high dpi: $*" >&2; exit 1; }
printf '\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0!\r\n\xdd\xf2\xee LORK2.\r\n' >"$work/sample.txt"

# A new user's settings but for the window's place: 900 x 600 at the top left.
fresh_settings() {
  wine reg delete 'HKCU\Software\Tamo\Lork2c' /f >/dev/null 2>&1 || true
  printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Tamo\Lork2c]' \
    '"DEF"=hex:2c,00,00,00,00,00,00,00,01,00,00,00,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,00,00,00,00,00,00,00,00,84,03,00,00,58,02,00,00' \
    '' >"$work/place.reg"
  wine regedit /S "$work/place.reg" >/dev/null 2>&1
}

shoot() { import -window root "$shots/dpi-$1-$2.png"; }

for dpi in 96 144 192; do
  # A new Wine server for each: the system's dots per inch are read as it starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  wine "$build/tests/lork2_wine_tests.exe" --gtest_brief=1 --gtest_filter='Bars.*:Customising.*' ||
    fail "the tests of the bars fail at $dpi dpi"

  fresh_settings
  wine "$build/lork2.exe" "$work/sample.txt" &
  pid=$!
  lork2_wait_window '-LORK2$' >/dev/null || fail "no main window at $dpi dpi"
  shoot "$dpi" main
  # "Кодировки", the sixth popup, from the keyboard.
  xdotool key F10
  sleep 0.2
  for _ in 1 2 3 4 5; do xdotool key Right; done
  xdotool key Down
  sleep 0.8
  shoot "$dpi" codepages-menu
  xdotool key Escape Escape
  sleep 0.3
  # "Разное", down to its fifth item, the toolbar's customise dialog.
  xdotool key F10
  sleep 0.2
  for _ in 1 2 3; do xdotool key Right; done
  xdotool key Down
  sleep 0.5
  for _ in 1 2 3 4; do xdotool key Down; done
  xdotool key Return
  sleep 1.5
  shoot "$dpi" customise
  xdotool key Escape
  sleep 0.3
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  if [ "$dpi" != 96 ]; then
    for what in main codepages-menu customise; do
      differ=$(compare -metric AE "$shots/dpi-96-$what.png" "$shots/dpi-$dpi-$what.png" null: 2>&1 || true)
      [ "${differ%%[ .]*}" -ge 1000 ] 2>/dev/null || fail "dpi-$dpi-$what.png looks as at 96 dpi"
    done
  fi
done
echo "high dpi: the bars' tests pass at 96, 144 and 192 dpi; pictures in $shots/dpi-*.png"
