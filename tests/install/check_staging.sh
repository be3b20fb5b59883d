#!/usr/bin/env bash
# check_staging.sh BUILD STAGE VERSION CAPTURE: installs the build tree into
# STAGE (DESTDIR, prefix /usr) and checks that it holds exactly the expected
# files with the right modes, that the icons are PNGs of their folder's size,
# and that the menu entry, the metadata and the icons agree with each other.
# CAPTURE is 1 when the build has zyntrax-capture.
set -uo pipefail
build=$1 stage=$2 version=$3 capture=$4
failed=0
fail() { echo "$*"; failed=1; }

sizes="16 32 48 64 128 256"
expected_files() {
  echo usr/bin/zyntrax
  echo usr/share/applications/org.zorlaworx.Zyntrax.desktop
  echo usr/share/metainfo/org.zorlaworx.Zyntrax.metainfo.xml
  echo usr/share/man/man6/zyntrax.6.gz
  for s in $sizes; do echo "usr/share/icons/hicolor/${s}x${s}/apps/zyntrax.png"; done
  if [ "$capture" = 1 ]; then
    echo usr/bin/zyntrax-capture
    echo usr/share/man/man1/zyntrax-capture.1.gz
  fi
}

rm -rf "$stage"
mkdir -p "$(dirname "$stage")"
if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1; then
  cat "$stage.log"; exit 1
fi

actual=$(cd "$stage" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
expected=$(expected_files | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  fail "installed files differ from the expected list (< expected, > installed):"
  diff <(echo "$expected") <(echo "$actual")
fi

while read -r f; do
  [ -e "$stage/$f" ] || continue
  mode=$(stat -c %a "$stage/$f")
  case $f in
    usr/bin/*) want=755 ;;
    *) want=644 ;;
  esac
  [ "$mode" = "$want" ] || fail "$f has mode $mode, not $want"
done <<<"$expected"

for s in $sizes; do
  icon=$stage/usr/share/icons/hicolor/${s}x${s}/apps/zyntrax.png
  [ -e "$icon" ] || continue
  kind=$(file -b "$icon")
  case $kind in
    "PNG image data, $s x $s, 8-bit/color RGBA"*) ;;
    *) fail "icon ${s}x${s}: $kind" ;;
  esac
done

# The menu entry starts an installed program and names the installed icon.
entry=$stage/usr/share/applications/org.zorlaworx.Zyntrax.desktop
if [ -e "$entry" ]; then
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  icon_name=$(sed -n 's/^Icon=//p' "$entry")
  [ -n "$exec_name" ] && [ -x "$stage/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
  [ -e "$stage/usr/share/icons/hicolor/48x48/apps/$icon_name.png" ] || fail "Icon=$icon_name is not an installed icon"
fi

# AppStream checks the metadata, the menu entry it launches and the icons together.
remarks=$(appstreamcli validate-tree --no-net --no-color "$stage/usr" 2>&1) ||
  fail "appstreamcli validate-tree: $remarks"
for page in "$stage"/usr/share/man/man*/*.gz; do
  [ -e "$page" ] || continue
  warnings=$(gzip -dc "$page" | groff -ww -z -man 2>&1)
  [ $? -eq 0 ] && [ -z "$warnings" ] || fail "$page: $warnings"
done

if [ "$capture" = 1 ] && [ -x "$stage/usr/bin/zyntrax-capture" ]; then
  shown=$("$stage/usr/bin/zyntrax-capture" --version 2>&1)
  [ "$shown" = "zyntrax-capture $version" ] || fail "zyntrax-capture --version says: $shown"
fi
exit $failed
