#!/usr/bin/env bash
# Makes packaging/windows/zyntrax.ico, the exe's icon: the show's badge from
# make_pictures --icons at 16, 24, 32, 48, 64 and 256 pixels, each stored as
# PNG inside the icon file (as Windows Vista and later read them).
#   tools/windows_icon.sh <make_pictures> [output.ico]
set -euo pipefail
make_pictures=$1
out=${2:-"$(dirname "$0")/../packaging/windows/zyntrax.ico"}
sizes=(16 24 32 48 64 256)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$make_pictures" --icons "$tmp" "${sizes[@]}"
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
{
  le16 0; le16 1; le16 ${#sizes[@]}   # reserved, type 1 (icon), image count
  offset=$((6 + 16 * ${#sizes[@]}))
  for s in "${sizes[@]}"; do
    bytes=$(stat -c %s "$tmp/zyntrax-$s.png")
    side=$((s == 256 ? 0 : s))          # 0 stands for 256
    printf "\\x$(printf %02x $side)\\x$(printf %02x $side)\\x00\\x00"
    le16 1; le16 32; le32 "$bytes"; le32 "$offset"
    offset=$((offset + bytes))
  done
  for s in "${sizes[@]}"; do cat "$tmp/zyntrax-$s.png"; done
} > "$out.part"
mv "$out.part" "$out"
