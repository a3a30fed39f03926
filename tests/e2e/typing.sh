#!/usr/bin/env bash
# Real keystrokes through the X server: type Latin and Russian text into a
# document shown in CP866 and one shown in KOI8-R, save with Ctrl+S, close
# with Escape, and check the bytes on disk.
#   tests/e2e/typing.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build dir}
. "$here/../../scripts/lib.sh"
lork2_ensure_prefix
lork2_ensure_display
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT

# type_and_save NAME INITIAL-BYTES EXPECTED-TYPED-BYTES (printf formats)
type_and_save() {
  local name=$1 initial=$2 typed=$3
  printf "$initial" > "$work/$name"
  wine "$build/lork2.exe" "$work/$name" &
  pid=$!
  lork2_wait_window "^\\[$name\\]-LORK2\$" >/dev/null ||
    { echo "$name: the main window did not appear" >&2; return 1; }
  xdotool key ctrl+End
  xdotool type --delay 50 'Hi'
  xdotool key Return
  xdotool type --delay 80 'ok мир'
  sleep 0.5
  xdotool key ctrl+s
  sleep 1
  xdotool key Escape
  if ! lork2_wait_exit "$pid"; then
    echo "$name: the editor did not close after saving" >&2
    return 1
  fi
  local rc=0
  wait "$pid" || rc=$?
  pid=""
  [ "$rc" = 0 ] || { echo "$name: exit code $rc" >&2; return 1; }
  local expected actual
  expected=$(printf "$initial$typed" | od -An -tx1)
  actual=$(od -An -tx1 < "$work/$name")
  if [ "$expected" != "$actual" ]; then
    printf '%s: bytes on disk differ\n expected %s\n actual   %s\n' "$name" "$expected" "$actual" >&2
    return 1
  fi
  echo "$name: typed, saved and closed"
}

# CP866 box drawing and Russian text make the guess OEM; the letters typed in
# 1251 are stored as their CP866 bytes.
type_and_save oem.txt \
  '\xc9\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xbb\r\n\xba \x8f\xe0\xa8\xa2\xa5\xe2 \xac\xa8\xe0 \xba\r\n\xc8\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xbc\r\n' \
  'Hi\r\nok \xac\xa8\xe0'
# Capitalised KOI8-R words make the guess KOI8-R.
type_and_save koi8.txt \
  '\xf0\xd2\xc9\xd7\xc5\xd4, \xed\xc9\xd2!\r\n' \
  'Hi\r\nok \xcd\xc9\xd2'
