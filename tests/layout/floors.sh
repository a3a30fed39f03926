#!/usr/bin/env bash
# The program's floors, bottom first: core < base < editor < codepage,
# document, search, print < dialogs < app. Every include of a program file
# names a file of its own floor or of a floor below it (the features of one
# floor do not include each other), and nothing under core/ includes a
# header of the window system. Prints each offending include; exits 1 when
# there is one.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=${1:-$(cd "$here/../.." && pwd)}
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

# No two files include each other, even through others (a header and its
# .cpp are one file): a circle of includes is a circle of calls waiting.
circles=$(python3 - "$here" $files <<'PY'
import os, re, sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[1])
from calls import circles
files = sys.argv[2:]
units = {os.path.splitext(f)[0] for f in files}
graph = {u: set() for u in units}
for f in files:
    for line in open(f, encoding='utf-8', errors='replace'):
        m = re.match(r'\s*#\s*include\s*"([^"]+)"', line)
        target = m and os.path.splitext(m.group(1))[0]
        if target in units and target != os.path.splitext(f)[0]:
            graph[os.path.splitext(f)[0]].add(target)
for part in circles(graph):
    print(' <-> '.join(part))
PY
)
if [ -n "$circles" ]; then
  echo "these files include each other: $circles"
  bad=1
fi

# Inside the window-free floor, the rooms of the character engine stand in
# the same order: character sets below Unicode and text shaping (which do not
# include each other), the repair above both, and the rooms of the program's
# subsystems (core/app, core/editor, ...) on top.
core_room() {
  case "$1" in
    core/charset/*) echo 0 ;;
    core/unicode/* | core/text/*) echo 1 ;;
    core/codepage/* | core/repair/*) echo 2 ;;
    core/*) echo 3 ;;
    *) echo - ;;
  esac
}
for file in $(find core -name '*.cpp' -o -name '*.h' | sort); do
  from=$(core_room "$file")
  from_dir=$(dirname "$file")
  while IFS= read -r target; do
    to=$(core_room "$target")
    [ "$to" = - ] && continue
    if [ "$to" -gt "$from" ] || { [ "$to" -eq "$from" ] && [ "$to" -lt 3 ] && [ "$(dirname "$target")" != "$from_dir" ]; }; then
      echo "$file includes $target, a room of core/ that is not below it"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\(core\/[^"]*\)".*/\1/p' "$file")
done

# The window-free floor includes no window-system header and no header of a
# floor above it (checked above).
win=$(grep -lE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|windowsx|commctrl|commdlg|richedit|richole|shellapi|shlobj|winspool|mmsystem|winuser|wingdi|winbase)\.h>' $(find core -name '*.cpp' -o -name '*.h'))
for file in $win; do
  echo "$file includes a window-system header, and core/ is window-free"
  bad=1
done
# The editor's state is written by editor/ alone: other folders use the
# operations of editor/editor.h, never the editor's own record or its text
# writers, and send the control no message that changes its text or state.
outside=$(find base codepage document search print dialogs app -name '*.cpp' -o -name '*.h' | sort)
changing='EM_SETMODIFY|EM_REPLACESEL|EM_STREAMIN|EM_SETTEXTEX|WM_SETTEXT|EM_SETSEL|EM_EXSETSEL|EM_UNDO|EM_EMPTYUNDOBUFFER|EM_SETCHARFORMAT|EM_SETPARAFORMAT|EM_SETOPTIONS|EM_SETBKGNDCOLOR|WM_SETREDRAW|EM_LINESCROLL|EM_SETSCROLLPOS|EM_HIDESELECTION|EM_SCROLLCARET|WM_CUT|WM_PASTE|WM_CLEAR|EM_SETREADONLY|EM_EXLIMITTEXT'
for file in $outside; do
  grep -nE "(Send|Post)Message[AW]?\(\s*EditorWindow\(\)\s*,\s*($changing)\b" "$file" |
    sed "s|^|$file:|; s|\$| (a message that changes the editor, sent from outside editor/)|"
  grep -nE '#\s*include\s*"editor/(control|whole_text)\.h"' "$file" |
    sed "s|^|$file:|; s|\$| (the editor's own state, included outside editor/)|"
  grep -nE '\b(RecordUndo|RecordSnapshotOf|ReplaceSelectionBytes|FillWholeText|RedecodeText|SetDecodingForNewText)\s*\(|StreamBytesIn\(\s*EditorWindow\(\)' "$file" |
    sed "s|^|$file:|; s|\$| (the editor's text written from outside editor/)|"
done > /tmp/lork2-editor-owner.$$
if [ -s /tmp/lork2-editor-owner.$$ ]; then
  cat /tmp/lork2-editor-owner.$$
  bad=1
fi
rm -f /tmp/lork2-editor-owner.$$
exit $bad
