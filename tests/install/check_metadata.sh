#!/usr/bin/env bash
# check_metadata.sh DESKTOP METAINFO MANPAGE...: the menu entry and the AppStream
# metadata pass their validators without a remark, and every manual page
# formats without a warning.
set -uo pipefail
desktop=$1 metainfo=$2
shift 2
failed=0

remarks=$(desktop-file-validate "$desktop" 2>&1)
if [ $? -ne 0 ] || [ -n "$remarks" ]; then
  echo "desktop-file-validate $desktop:"; echo "$remarks"; failed=1
fi

# Only the pedantic note about the capital letter of the reverse-DNS id is accepted.
remarks=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1)
status=$?
if [ $status -ne 0 ] || echo "$remarks" | grep -E '^[EWI]:' >/dev/null; then
  echo "appstreamcli validate $metainfo:"; echo "$remarks"; failed=1
fi

for page in "$@"; do
  [ -n "$page" ] || continue
  warnings=$(groff -ww -z -man "$page" 2>&1)
  if [ $? -ne 0 ] || [ -n "$warnings" ]; then
    echo "groff $page:"; echo "$warnings"; failed=1
  fi
done
exit $failed
