#!/usr/bin/env bash
# tools/sources.sh with stand-ins for apt-get, apt-cache and dpkg-source: a
# fetch that fails half-way leaves no source folder behind (a later build
# would take it as complete), a fetch that succeeds leaves the unpacked folder,
# and a folder in place is used without fetching again.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
cat > "$work/bin/apt-get" <<'FAKE'
#!/bin/sh
for a; do case $a in source) : > pkg_1.0.dsc; echo partial > pkg_1.0.tar.xz; [ -n "${FETCH_FAILS:-}" ] && exit 1; exit 0;; esac; done
exit 0
FAKE
printf '#!/bin/sh\necho "Version: 1.0"\n' > "$work/bin/apt-cache"
printf '#!/bin/sh\nmkdir unpacked && touch unpacked/configure\n' > "$work/bin/dpkg-source"
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" ZYNTRAX_DEBIAN_MIRROR=http://mirror.invalid/debian
. "$here/tools/sources.sh"
sources_init "$work/root"
fail() { echo "FAIL: $*" >&2; exit 1; }

FETCH_FAILS=1 fetch_source pkg 1.0 2>/dev/null && fail "a failed fetch reported success"
[ -e "$work/root/src/pkg" ] && fail "a failed fetch left src/pkg behind"
ls -A "$work/root/src" | grep -q . && fail "a failed fetch left a temporary folder: $(ls -A "$work/root/src")"
dir=$(fetch_source pkg 1.0) || fail "the fetch failed"
[ "$dir" = "$work/root/src/pkg/unpacked" ] && [ -f "$dir/configure" ] || fail "no unpacked source at $dir"
printf '#!/bin/sh\nexit 1\n' > "$work/bin/apt-get"
[ "$(fetch_source pkg 1.0)" = "$dir" ] || fail "a complete source was fetched again"
echo "sources: interrupted and complete fetches behave"
