#!/usr/bin/env bash
# The packages of scripts/package: the Debian package's control fields and
# files, lintian and the AppStream metadata, then installed with dpkg and used
# by a new user with an empty home (tests/package/as-user.sh), then removed;
# the Windows zips unpacked; the 64-bit installer installed, used and
# uninstalled in a Wine prefix of its own (tests/package/installer.sh), the
# 32-bit one looked at.
#   tests/package/check.sh
# Needs root (dpkg, useradd); run by scripts/test after scripts/package.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dist=$root/build/dist
user=lork2-pkgtest

fail() {
  echo "package test: $*" >&2
  exit 1
}

if [ "$(id -u)" -ne 0 ]; then
  echo "package test: skipped, it installs a package and adds a user and so needs root"
  exit 0
fi

version=$("$root/build/native/lork2-text" --version)
version=${version#lork2-text }
deb=$dist/lork2_${version}_amd64.deb
[ -f "$deb" ] || fail "$deb is missing"

work=$(mktemp -d /tmp/lork2-package-test.XXXXXX)
chmod 0755 "$work"
installed=0
created_user=0
cleanup() {
  # The user's script ends its own X server and Wine server before it returns.
  if [ "$created_user" = 1 ]; then userdel "$user" || true; fi
  if [ "$installed" = 1 ]; then dpkg -r lork2 >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- control fields and files
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lork2 ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), lork2-text says $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = editors ] || fail "Section is $(field Section)"
[[ $(field Installed-Size) =~ ^[0-9]+$ ]] || fail "Installed-Size is $(field Installed-Size)"
[[ $(field Maintainer) =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer is $(field Maintainer)"
depends=$(field Depends)
for want in 'wine (>= 8.0~)' 'wine64 (>= 8.0~)' fonts-wine fonts-liberation 'locales | locales-all' 'libc6 (>= ' \
  'libstdc++6 (>= '; do
  [[ $depends == *"$want"* ]] || fail "Depends lacks '$want': $depends"
done

expected_files=$(
  cat <<'EOF'
-rwxr-xr-x root/root ./usr/bin/lork2
-rwxr-xr-x root/root ./usr/bin/lork2-text
-rw-r--r-- root/root ./usr/lib/lork2/lork2.exe
-rw-r--r-- root/root ./usr/lib/lork2/lork2.html
-rw-r--r-- root/root ./usr/share/applications/org.lork2.Lork2.desktop
-rw-r--r-- root/root ./usr/share/doc/lork2/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/lork2/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/lork2.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/lork2.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/lork2.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/lork2.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/lork2.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/64x64/apps/lork2.png
-rw-r--r-- root/root ./usr/share/man/man1/lork2-text.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/lork2.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/org.lork2.Lork2.metainfo.xml
EOF
)
# Lintian overrides are shipped only when packaging/ has some.
[ -f "$root/packaging/lintian-overrides" ] && expected_files+=$'\n-rw-r--r-- root/root ./usr/share/lintian/overrides/lork2'
actual_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | LC_ALL=C sort -k3)
if [ "$actual_files" != "$(LC_ALL=C sort -k3 <<<"$expected_files")" ]; then
  diff <(LC_ALL=C sort -k3 <<<"$expected_files") <(echo "$actual_files") >&2 || true
  fail "the package's files differ from the expected list"
fi

dpkg-deb -x "$deb" "$work/tree"
for side in 16 32 48 64 128 256; do
  got=$(identify -format '%wx%h %m' "$work/tree/usr/share/icons/hicolor/${side}x$side/apps/lork2.png")
  [ "$got" = "${side}x$side PNG" ] || fail "icon ${side}x$side reads as '$got'"
done
file -b "$work/tree/usr/lib/lork2/lork2.exe" | grep -q 'PE32+ executable (GUI) x86-64' ||
  fail "lork2.exe is not a 64-bit Windows program: $(file -b "$work/tree/usr/lib/lork2/lork2.exe")"
# The version resource of the program carries the same version (UTF-16).
strings -el "$work/tree/usr/lib/lork2/lork2.exe" | grep -qx "$version" ||
  fail "lork2.exe has no version string $version"
echo "package: control fields, $(wc -l <<<"$actual_files") files, icons and version $version as expected"

# --- lintian: no error and no warning; each override says why it fits.
lintian_out=$work/lintian.txt
lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$lintian_out" 2>&1 ||
  { cat "$lintian_out" >&2; fail "lintian reports errors or warnings"; }
! grep -q '^[EW]:' "$lintian_out" || { cat "$lintian_out" >&2; fail "lintian reports errors or warnings"; }
overrides=$work/tree/usr/share/lintian/overrides/lork2
override_count=0
if [ -f "$overrides" ]; then
  comment=""
  while IFS= read -r line; do
    [[ -z $line || $line == \#* ]] && { comment=$line; continue; }
    [[ $comment == \#* ]] || fail "the lintian override '$line' has no comment saying why"
    comment=""
    override_count=$((override_count + 1))
  done <"$overrides"
fi
# The licence: the copyright file is machine-readable and carries LICENSE's text.
copyright=$work/tree/usr/share/doc/lork2/copyright
head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
licence_words() { tr -s ' \n.' '\n\n\n' | grep -v '^$'; }
[ "$(sed -n '/^ Permission/,$p' "$copyright" | licence_words)" = "$(sed -n '/^Permission/,$p' "$root/LICENSE" | licence_words)" ] ||
  fail "the copyright file's licence text is not LICENSE's"
zcat "$work/tree/usr/share/doc/lork2/changelog.gz" | head -n1 | grep -q "^lork2 ($version) " ||
  fail "the changelog's first entry is not $version"

# --- AppStream: valid, and in step with the desktop entry and the version.
metainfo=$work/tree/usr/share/metainfo/org.lork2.Lork2.metainfo.xml
desktop=$work/tree/usr/share/applications/org.lork2.Lork2.desktop
appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt" >&2; fail "appstreamcli validate failed"; }
grep -q '<launchable type="desktop-id">org.lork2.Lork2.desktop</launchable>' "$metainfo" ||
  fail "the metadata does not launch org.lork2.Lork2.desktop"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" || fail "the metadata has no release $version"
mime_desktop=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | grep -v '^$' | LC_ALL=C sort)
mime_meta=$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$metainfo" | LC_ALL=C sort)
[ -n "$mime_desktop" ] && [ "$mime_desktop" = "$mime_meta" ] ||
  fail "the metadata's media types (${mime_meta//$'\n'/ }) are not the desktop entry's (${mime_desktop//$'\n'/ })"
for want in '<summary xml:lang="ru">' '<project_license>MIT</project_license>' '<content_rating type="oars-1.1"' \
  '<metadata_license>'; do
  grep -qF "$want" "$metainfo" || fail "the metadata lacks $want"
done
echo "package: lintian reports no error and no warning ($override_count overrides); AppStream metadata valid"

# --- installed, used by a new user, removed
dpkg_install() {
  local out
  for _ in $(seq 1 60); do
    if out=$(dpkg -i "$1" 2>&1); then return 0; fi
    # Another installation holds the package database: wait for it.
    if [[ $out == *"lock"* ]]; then sleep 2; continue; fi
    echo "$out" >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq -o DPkg::Lock::Timeout=300 >/dev/null
    return $?
  done
  return 1
}
if dpkg-query -W -f='${Status}' lork2 2>/dev/null | grep -q 'ok installed'; then
  echo "package: note: lork2 was installed on this machine; it is reinstalled and removed by this test"
fi
installed=1
dpkg_install "$deb" || fail "dpkg -i failed"
[ "$(dpkg-query -W -f='${Status} ${Version}' lork2)" = "install ok installed $version" ] ||
  fail "lork2 is not installed: $(dpkg-query -W -f='${Status} ${Version}' lork2)"

if id "$user" >/dev/null 2>&1; then
  fail "a user $user exists already; remove it (userdel $user)"
fi
home=$work/home
useradd --no-create-home --home-dir "$home" --shell /bin/bash --user-group "$user"
created_user=1
mkdir -m 0700 "$home"
chown "$user:" "$home"
install -m 0644 "$root/tests/package/as-user.sh" "$work/as-user.sh"
runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/bash \
  PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 bash "$work/as-user.sh" "$version" ||
  fail "the installed package did not work for a new user"

dpkg -r lork2 >/dev/null
installed=0
for f in /usr/bin/lork2 /usr/bin/lork2-text /usr/lib/lork2 /usr/share/applications/org.lork2.Lork2.desktop \
  /usr/share/metainfo/org.lork2.Lork2.metainfo.xml /usr/share/doc/lork2; do
  [ ! -e "$f" ] || fail "$f is left after removing the package"
done
echo "package: installed, used by a new user and removed"

# --- the Windows zips
for arch in win64 win32; do
  zip=$dist/lork2-$version-$arch.zip
  [ -f "$zip" ] || fail "$zip is missing"
  folder=lork2-$version-$arch
  list=$(unzip -Z1 "$zip" | LC_ALL=C sort)
  want=$(printf '%s\n' "$folder/" "$folder/LICENSE.txt" "$folder/README.txt" "$folder/lork2-text.exe" "$folder/lork2.exe" "$folder/lork2.html" |
    LC_ALL=C sort)
  [ "$list" = "$want" ] || fail "$zip holds: ${list//$'\n'/ }"
  unzip -q "$zip" -d "$work/$arch"
  case $arch in
    win64) kind='PE32+ executable (GUI) x86-64' cli='PE32+ executable (console) x86-64' ;;
    win32) kind='PE32 executable (GUI) Intel 80386' cli='PE32 executable (console) Intel 80386' ;;
  esac
  file -b "$work/$arch/$folder/lork2.exe" | grep -q "^$kind" || fail "$arch lork2.exe: $(file -b "$work/$arch/$folder/lork2.exe")"
  file -b "$work/$arch/$folder/lork2-text.exe" | grep -q "^$cli" ||
    fail "$arch lork2-text.exe: $(file -b "$work/$arch/$folder/lork2-text.exe")"
  strings -el "$work/$arch/$folder/lork2.exe" | grep -qx "$version" || fail "$arch lork2.exe has no version $version"
  readme=$work/$arch/$folder/README.txt
  # Windows-1251 with CR LF: every line ends in CR, and the Russian half reads back.
  [ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || fail "$arch README.txt has lines without CR LF"
  text=$(iconv -f CP1251 -t UTF-8 "$readme")
  [[ $text == *"LORK2 $version, $arch"* && $text == *"редактор текстов"* && $text != *@*@* ]] ||
    fail "$arch README.txt reads wrong"
  licence=$work/$arch/$folder/LICENSE.txt
  [ "$(tr -d '\r' <"$licence")" = "$(cat "$root/LICENSE")" ] && [ "$(grep -c $'\r$' "$licence")" = "$(wc -l <"$licence")" ] ||
    fail "$arch LICENSE.txt is not LICENSE with CR LF"
done
echo "package: the Windows zips hold the two programs, the read-me and the licence"

# --- the installers
bash "$root/tests/package/installer.sh" "$version" "$work" || fail "the Windows installer test failed"
