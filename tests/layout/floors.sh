#!/usr/bin/env bash
# The program's floors, bottom first: core < base < editor < codepage,
# document, search, print < dialogs < app. Every include of a program file
# names a file of its own floor or of a floor below it (the features of one
# floor do not include each other), and nothing under core/ includes a
# header of the window system. Prints each offending include; exits 1 when
# there is one.
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2

floor() {
  case "$1" in
    core/*) echo 0 ;;
    base/*) echo 1 ;;
    editor/*) echo 2 ;;
    codepage/* | document/* | search/* | print/*) echo 3 ;;
    dialogs/*) echo 4 ;;
    app/*) echo 5 ;;
    *) echo - ;;
  esac
}

bad=0
files=$(find core base editor codepage document search print dialogs app -name '*.cpp' -o -name '*.h' | sort)
for file in $files; do
  from=$(floor "$file")
  from_dir=${file%%/*}
  while IFS= read -r target; do
    [ -n "$target" ] || continue
    to=$(floor "$target")
    [ "$to" = - ] && continue
    to_dir=${target%%/*}
    if [ "$to" -gt "$from" ] || { [ "$to" -eq "$from" ] && [ "$to" -eq 3 ] && [ "$to_dir" != "$from_dir" ]; }; then
      echo "$file includes $target, which is not below it"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

# The window-free floor includes no window-system header and no header of a
# floor above it (checked above).
win=$(grep -lE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|windowsx|commctrl|commdlg|richedit|richole|shellapi|shlobj|winspool|mmsystem|winuser|wingdi|winbase)\.h>' $(find core -name '*.cpp' -o -name '*.h'))
for file in $win; do
  echo "$file includes a window-system header, and core/ is window-free"
  bad=1
done
exit $bad
