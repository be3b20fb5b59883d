# Debian 12 source packages for the sysroots (sourced by web_sysroot.sh and
# windows_sysroot.sh). apt-get source runs with a private apt state under the
# caller's build folder and its own deb-src line, so the system's apt
# configuration is left untouched. A package is downloaded and unpacked into
# a temporary folder that is renamed into place only once complete: an
# interrupted fetch leaves nothing a later build could take as finished.
#
#   sources_init ROOT      apt state in ROOT/apt, sources in ROOT/src
#   fetch_source PKG VER   prints the unpacked source folder of PKG

sources_init() {
  SOURCES_ROOT=$1
  local apt="$SOURCES_ROOT/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$SOURCES_ROOT/src"
  cat > "$apt/parts/bookworm-src.sources" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
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
