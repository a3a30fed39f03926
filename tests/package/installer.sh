#!/usr/bin/env bash
# The Windows installers of scripts/package, run by tests/package/check.sh:
#   installer.sh VERSION WORK
# The 64-bit one in a Wine prefix of its own, made afresh under
# build/installer-prefix: installed silently (/S), its files, Start-menu
# shortcut and uninstall entry checked in the 64-bit views, the installed
# editor started on a file and closed, then uninstalled silently and
# everything it installed found gone, the user's settings kept. This Wine has
# no 32-bit side, so the 32-bit installer is only looked at: its files (7z
# opens NSIS installers), its kind and its version resource.
set -euo pipefail
version=${1:?version}
work=${2:?work folder}
root=$(cd "$(dirname "$0")/../.." && pwd)
dist=$root/build/dist

fail() {
  echo "installer test: $*" >&2
  exit 1
}

# The zips hold exactly the files the installers must put in place.
for arch in win64 win32; do
  [ -d "$work/$arch/lork2-$version-$arch" ] || unzip -q "$dist/lork2-$version-$arch.zip" -d "$work/$arch"
done

# --- what both installers hold
for arch in win64 win32; do
  setup=$dist/lork2-$version-setup-$arch.exe
  [ -f "$setup" ] || fail "$setup is missing"
  case $arch in
    win64) kind='PE32+ executable (GUI) x86-64' ;;
    win32) kind='PE32 executable (GUI) Intel 80386' ;;
  esac
  file -b "$setup" | grep -q "^$kind" || fail "$arch installer: $(file -b "$setup")"
  strings -el "$setup" | grep -qx "LORK2 $version setup ($arch)" || fail "$arch installer has no version resource"
  rm -rf "$work/setup-$arch"
  7z x -y -o"$work/setup-$arch" "$setup" >/dev/null || fail "7z cannot open the $arch installer"
  held=$(cd "$work/setup-$arch" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
  [ "$held" = "LICENSE.txt README.txt lork2-text.exe lork2.exe lork2.html uninstall.exe " ] ||
    fail "the $arch installer holds: $held"
  for f in lork2.exe lork2-text.exe README.txt LICENSE.txt lork2.html; do
    cmp -s "$work/setup-$arch/$f" "$work/$arch/lork2-$version-$arch/$f" || fail "the $arch installer's $f is not the zip's"
  done
  file -b "$work/setup-$arch/uninstall.exe" | grep -q "^$kind" ||
    fail "$arch uninstaller: $(file -b "$work/setup-$arch/uninstall.exe")"
done
echo "installer: both installers hold the zip's four files and an uninstaller of their kind"

# --- the 64-bit installer in a fresh prefix
export LORK2_WINEPREFIX=$root/build/installer-prefix
# shellcheck source=../../scripts/lib.sh
. "$root/scripts/lib.sh"
# No menu entries or file types of Wine's own on this machine.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
editor=""
cleanup() {
  [ -z "$editor" ] || kill "$editor" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  lork2_stop_display
  rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
}
trap cleanup EXIT
rm -rf "$WINEPREFIX"
start=$(date +%s)
lork2_ensure_prefix
lork2_ensure_display
echo "installer: a fresh Wine prefix took $(($(date +%s) - start)) s"

drive=$WINEPREFIX/drive_c
dir="$drive/Program Files/LORK2"
link="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/LORK2.lnk"
key='Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\LORK2'

# The values of a registry key as wineserver saved them: reg_key FILE KEY.
reg_key() {
  wineserver -w
  want="[$2]" awk 'index($0, ENVIRON["want"]) == 1 { on = 1; next } /^\[/ { on = 0 } on && /^"/' "$1"
}
classes_before=$(wineserver -w; grep -c '^\[Software\\\\Classes' "$WINEPREFIX/system.reg" || true)

wine "$dist/lork2-$version-setup-win64.exe" /S || fail "the silent install ended with status $?"
wineserver -w
for f in lork2.exe lork2-text.exe README.txt LICENSE.txt lork2.html uninstall.exe; do
  [ -f "$dir/$f" ] || fail "C:\\Program Files\\LORK2\\$f is missing after the install"
done
cmp -s "$dir/lork2.exe" "$work/win64/lork2-$version-win64/lork2.exe" || fail "the installed lork2.exe is not the zip's"
[ ! -e "$drive/Program Files (x86)/LORK2" ] || fail "the 64-bit installer wrote into Program Files (x86)"
[ -f "$link" ] || fail "no Start-menu shortcut $link"
strings -el "$link" | grep -qiF 'C:\Program Files\LORK2\lork2.exe' ||
  strings "$link" | grep -qiF 'C:\Program Files\LORK2\lork2.exe' || fail "the shortcut does not point at lork2.exe"

entry=$(reg_key "$WINEPREFIX/system.reg" "$key")
[ -n "$entry" ] || fail "no uninstall entry HKLM\\$key in the 64-bit view"
! grep -q '^\[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\LORK2\]' \
  "$WINEPREFIX/system.reg" || fail "the uninstall entry is in the 32-bit view"
for want in '"DisplayName"="LORK2"' "\"DisplayVersion\"=\"$version\"" '"Publisher"="LORK2 developers"' \
  '"DisplayIcon"="C:\\Program Files\\LORK2\\lork2.exe,0"' \
  '"UninstallString"="\"C:\\Program Files\\LORK2\\uninstall.exe\""'; do
  grep -qixF "$want" <<<"$entry" || fail "the uninstall entry lacks $want: $entry"
done
size=$(sed -n 's/^"EstimatedSize"=dword:\([0-9a-f]*\)$/\1/p' <<<"$entry")
kb=$(du -sk --apparent-size "$work/win64/lork2-$version-win64" | cut -f1)
[ -n "$size" ] && [ "$((16#$size))" = "$kb" ] || fail "EstimatedSize is '$size', the files take $kb KB"
# No file associations: the classes are as the fresh prefix had them.
[ "$(grep -c '^\[Software\\\\Classes' "$WINEPREFIX/system.reg" || true)" = "$classes_before" ] ||
  fail "the installer changed the file classes"
! grep -qi 'lork2' <(awk '/^\[Software\\\\Classes/ { on = 1; print; next } /^\[/ { on = 0 } on' "$WINEPREFIX/system.reg") ||
  fail "the installer registered file types"
echo "installer: installed silently: files, shortcut and the 64-bit uninstall entry as expected"

# The installed editor on a file: its window, Escape, status 0.
name='установлен.txt'
printf '\xcf\xf0\xe8\xe2\xe5\xf2\r\n' >"$work/$name"
wine "C:\\Program Files\\LORK2\\lork2.exe" "$work/$name" &
editor=$!
wid=$(lork2_wait_window "^\\[$name\\]-LORK2\$") || fail "no window titled [$name]-LORK2"
xdotool key Escape
lork2_wait_exit "$editor" || fail "the installed editor did not close on Escape"
rc=0
wait "$editor" || rc=$?
editor=""
[ "$rc" = 0 ] || fail "the installed editor ended with status $rc"
wineserver -w
settings='Software\\Tamo\\Lork2c'
[ -n "$(reg_key "$WINEPREFIX/user.reg" "$settings")" ] || fail "the editor kept no settings under HKCU\\$settings"

# Silent uninstall: the uninstaller copies itself away and runs from there;
# wineserver -w waits for it.
wine "$dir/uninstall.exe" /S || fail "the silent uninstall ended with status $?"
wineserver -w
[ ! -e "$dir" ] || fail "C:\\Program Files\\LORK2 is left after the uninstall: $(ls -A "$dir" | tr '\n' ' ')"
[ ! -e "$link" ] || fail "the Start-menu shortcut is left after the uninstall"
[ -z "$(reg_key "$WINEPREFIX/system.reg" "$key")" ] && ! grep -qF "[$key]" "$WINEPREFIX/system.reg" ||
  fail "the uninstall entry is left after the uninstall"
[ -n "$(reg_key "$WINEPREFIX/user.reg" "$settings")" ] || fail "the uninstaller removed the user's settings"
echo "installer: the installed editor opened a file and closed with 0; uninstalled silently, settings kept"
