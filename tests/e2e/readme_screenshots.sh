#!/usr/bin/env bash
# The README's pictures in docs/ are current: scripts/screenshots takes them
# afresh from this build, and each kept picture has the size of its fresh
# one and, like it, is not blank (many colours, not one flat tone).
#   tests/e2e/readme_screenshots.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:?build dir}
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT

fail() {
  echo "README screenshots: $*" >&2
  exit 1
}

LORK2_EXE=$build/lork2.exe "$root/scripts/screenshots" "$fresh" >/dev/null
# Colours and the spread of the grey levels: a blank or one-colour picture
# has few colours and a spread near 0.
not_blank() {
  local colours spread
  colours=$(identify -format '%k' "$1")
  spread=$(convert "$1" -colorspace Gray -format '%[fx:int(1000*standard_deviation)]' info:)
  [ "$colours" -ge 8 ] && [ "$spread" -ge 50 ] || fail "$1 looks blank ($colours colours, spread $spread/1000)"
}
for shot in main-window find-dialog; do
  kept=$root/docs/$shot.png
  [ -f "$kept" ] || fail "docs/$shot.png is missing; run scripts/screenshots"
  not_blank "$fresh/$shot.png"
  not_blank "$kept"
  size_kept=$(identify -format '%wx%h' "$kept")
  size_fresh=$(identify -format '%wx%h' "$fresh/$shot.png")
  [ "$size_kept" = "$size_fresh" ] ||
    fail "docs/$shot.png is $size_kept, the program now shows $size_fresh; run scripts/screenshots"
  bytes=$(stat -c %s "$kept")
  [ "$bytes" -le 65536 ] || fail "docs/$shot.png has $bytes bytes; the README's pictures stay small"
  differ=$(compare -metric AE "$kept" "$fresh/$shot.png" null: 2>&1 || true)
  echo "docs/$shot.png: $size_kept, $bytes bytes, $differ pixels differ from a fresh picture"
done
