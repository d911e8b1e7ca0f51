#!/usr/bin/env bash
# The layer check passes on the tree as it is, and fails on a copy of its
# layer order and sources with one include planted that points up.
set -euo pipefail
root=$1
check=$root/tools/check_layers.sh
"$check" "$root"

plant=$(mktemp -d)
trap 'rm -rf "$plant"' EXIT
mkdir -p "$plant/docs" "$plant/src/fileio" "$plant/src/app"
cp "$root/docs/architecture.md" "$plant/docs/"
printf '#include "fileio/file.h"\n' >"$plant/src/app/fine.cpp"
printf '#include "app/startup.h"\n' >"$plant/src/fileio/upward.cpp"
if out=$("$check" "$plant" 2>&1); then
  echo "the check passed a file of the fileio layer including app/startup.h" >&2
  exit 1
fi
grep -q 'fileio/upward.cpp:1: the fileio layer includes app/startup.h' <<<"$out" || {
  echo "unexpected report: $out" >&2
  exit 1
}
echo "planted upward include refused: $out"
