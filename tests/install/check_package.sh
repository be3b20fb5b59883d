#!/usr/bin/env bash
# check_package.sh BUILD OUT VERSION STAGE: builds the Debian package of the
# build tree into OUT and checks its control data (name, version, section,
# maintainer, description, the libraries' packages among its dependencies)
# and that it holds the files of the staging install in STAGE, owned by root,
# with the same modes.
set -uo pipefail
build=$1 out=$2 version=$3 stage=$4
failed=0
fail() { echo "$*"; failed=1; }

rm -rf "$out"
mkdir -p "$out"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"; exit 1
fi
debs=("$out"/zyntrax_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -e "${debs[0]}" ] || { echo "expected one zyntrax_*.deb in $out"; ls "$out"; exit 1; }
deb=${debs[0]}
[ "$(basename "$deb")" = "zyntrax_${version}_$(dpkg --print-architecture).deb" ] || fail "package file named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zyntrax ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
description=$(field Description)
[ "$(echo "$description" | wc -l)" -ge 2 ] || fail "Description has no long text: $description"
echo "$description" | awk 'length > 80 { exit 1 }' || fail "Description has lines over 80 columns"

# Dependencies as dpkg-shlibdeps found them for the libraries the show links.
depends=$(field Depends)
names=$(echo "$depends" | tr ',|' '\n\n' | awk '{ print $1 }')
for lib in libc6 libstdc++6 libsdl2-2.0-0 libgtk-3-0 libpng16-16 libvorbisfile3 \
           libfreetype6 libfontconfig1 libgl1 libx11-6; do
  echo "$names" | grep -qxF "$lib" || fail "Depends lacks $lib: $depends"
done

# Same files as the staging install (prefix /usr), root-owned, same modes.
listing=$(dpkg-deb -c "$deb") || { echo "dpkg-deb -c failed"; exit 1; }
packaged=$(echo "$listing" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print substr($1, 2), $2, $6 }' | LC_ALL=C sort -k3)
staged=$(cd "$stage" && find . ! -type d -printf '%M root/root %P\n' | sed 's/^.//' | LC_ALL=C sort -k3)
if [ "$packaged" != "$staged" ]; then
  fail "package files differ from the staging install (< staged, > packaged):"
  diff <(echo "$staged") <(echo "$packaged")
fi
exit $failed
