# Debian 12 source packages for the sysroots, and the libraries both build the
# same way (sourced by web_sysroot.sh and windows_sysroot.sh). apt-get source
# runs with a private apt state under the caller's build folder and its own
# deb-src line for the mirror the system uses, so the system's apt
# configuration is left untouched. A package is downloaded and unpacked into
# a temporary folder that is renamed into place only once complete: an
# interrupted fetch leaves nothing a later build could take as finished.
#
#   sources_init ROOT      apt state in ROOT/apt, sources in ROOT/src
#   fetch_source PKG VER   prints the unpacked source folder of PKG
#   build_ogg_vorbis NAME CC AR SYSROOT [VORBIS_FLAGS]
#                          libogg and libvorbis from their few C files

# The Debian mirror the system's apt already uses for bookworm (or
# ZYNTRAX_DEBIAN_MIRROR): its deb822 .sources files, then its one-line lists.
system_mirror() {
  if [ -n "${ZYNTRAX_DEBIAN_MIRROR:-}" ]; then echo "$ZYNTRAX_DEBIAN_MIRROR"; return; fi
  local uri
  uri=$(awk 'FNR == 1 || /^$/ { u = "" } /^URIs:/ { u = $2 }
             /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm" && u != "") { print u; exit } }' \
          /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
  [ -n "$uri" ] || uri=$(awk '$1 == "deb" { for (i = 2; i < NF; i++) if ($i ~ /^[a-z]+:\/\// && $(i + 1) == "bookworm") { print $i; exit } }' \
          /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -1)
  echo "$uri"
}

sources_init() {
  SOURCES_ROOT=$1
  local apt="$SOURCES_ROOT/apt" mirror
  mirror=$(system_mirror)
  if [ -z "$mirror" ]; then
    echo "sources: the system's apt sources name no bookworm mirror; set ZYNTRAX_DEBIAN_MIRROR" >&2
    exit 1
  fi
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$SOURCES_ROOT/src"
  cat > "$apt/parts/bookworm-src.sources" <<SRC
Types: deb-src
URIs: $mirror
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  SOURCES_APT=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/parts"
               -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root)
}

fetch_source() {
  local pkg=$1 want=$2 have
  local dir="$SOURCES_ROOT/src/$pkg"
  if [ -d "$dir/unpacked" ]; then echo "$dir/unpacked"; return 0; fi
  # Callers take the folder through $(...), a subshell: the marker file tells
  # later fetches of the same run that the lists are fresh.
  if [ ! -f "$SOURCES_ROOT/apt/updated.$$" ]; then
    apt-get "${SOURCES_APT[@]}" -q update >/dev/null || { echo "sources: apt-get update failed" >&2; return 1; }
    rm -f "$SOURCES_ROOT/apt"/updated.*
    touch "$SOURCES_ROOT/apt/updated.$$"
  fi
  have=$(apt-cache "${SOURCES_APT[@]}" showsrc "$pkg" | sed -n 's/^Version: //p' | head -1)
  if [ -z "$have" ]; then echo "sources: $pkg is not in bookworm main" >&2; return 1; fi
  if [ "$have" != "$want" ]; then
    echo "sources: $pkg $want is no longer in bookworm main, taking $have" >&2
    want=$have
  fi
  rm -rf "$dir" "$SOURCES_ROOT/src/.$pkg".*
  local tmp
  tmp=$(mktemp -d "$SOURCES_ROOT/src/.$pkg.XXXXXX")
  if (cd "$tmp" && apt-get "${SOURCES_APT[@]}" -q source --download-only "$pkg=$want" >/dev/null &&
        dpkg-source --no-check -x ./*.dsc unpacked >/dev/null); then
    mv "$tmp" "$dir"
    echo "$dir/unpacked"
  else
    rm -rf "$tmp"
    echo "sources: fetching $pkg $want failed" >&2
    return 1
  fi
}

# libogg and libvorbis are a few C files each whose build scripts do not
# cross-compile here (libogg's type checks run a test program), so their files
# are compiled directly into SYSROOT/lib, their headers copied beside.
build_ogg_vorbis() {
  local name=$1 cc=$2 ar=$3 sysroot=$4 vflags=${5:-}
  local osrc vsrc
  osrc=$(fetch_source libogg "${versions[libogg]}") || exit 1
  vsrc=$(fetch_source libvorbis "${versions[libvorbis]}") || exit 1
  mkdir -p "$sysroot/include/ogg" "$sysroot/include/vorbis" "$sysroot/lib"
  cp "$osrc/include/ogg/ogg.h" "$osrc/include/ogg/os_types.h" "$sysroot/include/ogg/"
  cat > "$sysroot/include/ogg/config_types.h" <<'TYPES'
#ifndef __CONFIG_TYPES_H__
#define __CONFIG_TYPES_H__
#include <stdint.h>
typedef int16_t ogg_int16_t;
typedef uint16_t ogg_uint16_t;
typedef int32_t ogg_int32_t;
typedef uint32_t ogg_uint32_t;
typedef int64_t ogg_int64_t;
typedef uint64_t ogg_uint64_t;
#endif
TYPES
  cp "$vsrc/include/vorbis/"*.h "$sysroot/include/vorbis/"
  compile_archive "$name" "$cc" "$ar" "$sysroot/lib/libogg.a" "-I$sysroot/include" \
    "$osrc/src/bitwise.c" "$osrc/src/framing.c"
  compile_archive "$name" "$cc" "$ar" "$sysroot/lib/libvorbis.a" "$vflags -I$sysroot/include -I$vsrc/lib" \
    $(for c in mdct smallft block envelope window lsp lpc analysis synthesis psy info floor1 floor0 res0 \
      mapping0 registry codebook sharedbook lookup bitrate vorbisfile; do echo "$vsrc/lib/$c.c"; done)
}

# compile_archive NAME CC AR ARCHIVE FLAGS FILES...: objects and log in
# SOURCES_ROOT/libs/<archive's name>.
compile_archive() {
  local name=$1 cc=$2 ar=$3 archive=$4 flags=$5
  shift 5
  local objects="$SOURCES_ROOT/libs/$(basename "$archive" .a)"
  mkdir -p "$objects"
  : >"$objects.log"
  for c in "$@"; do
    $cc -O2 $flags -c "$c" -o "$objects/$(basename "$c" .c).o" >>"$objects.log" 2>&1 ||
      { echo "$name: building $(basename "$archive") failed, see $objects.log" >&2; exit 1; }
  done
  mkdir -p "$(dirname "$archive")"
  rm -f "$archive"
  $ar rcs "$archive" "$objects/"*.o
}
