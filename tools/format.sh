#!/usr/bin/env bash
# Formats the C++ sources (src/, tests/, bench/) with clang-format and the
# repository's .clang-format.
#
#   tools/format.sh            rewrites every file that differs
#   tools/format.sh --check    changes nothing; lists each file that differs
#                              and fails if there is one (run by ./test as
#                              the format_check test)
#   tools/format.sh [--check] ROOT   the tree at ROOT instead of this one
set -euo pipefail
check=0
if [ "${1:-}" = --check ]; then
  check=1
  shift
fi
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
  echo "format: clang-format is not installed (Debian package clang-format)" >&2
  exit 2
fi
cd "$root"
mapfile -t files < <(find src tests bench -name node_modules -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no C++ sources under $root"
  exit 0
fi
if [ $check -eq 0 ]; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 32 -P 2 "$format" -i --style=file
  echo "format: ${#files[@]} files formatted"
  exit 0
fi
# --dry-run names every place that differs; one line per file is enough.
different=$(printf '%s\0' "${files[@]}" | xargs -0 -n 32 -P 2 "$format" --dry-run --style=file 2>&1 |
  grep -oE '^[^:]+\.(cpp|h):[0-9]+:[0-9]+: (warning|error)' | cut -d: -f1 | sort -u || true)
if [ -n "$different" ]; then
  echo "format: these files differ from .clang-format (tools/format.sh rewrites them):" >&2
  echo "$different" >&2
  exit 1
fi
echo "format: ${#files[@]} files match .clang-format"
