#!/usr/bin/env bash
# tools/format.sh on a small tree of its own: --check names a file laid out
# otherwise than .clang-format says and fails; the rewrite makes it pass and
# touches no file that was already right.
set -euo pipefail
root=$1
format=$root/tools/format.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src/render" "$tree/tests/render" "$tree/bench"
cp "$root/.clang-format" "$tree/"
printf 'int  Twice( int x ){return 2*x;}\n' >"$tree/src/render/untidy.cpp"
printf 'int Half(int x) { return x / 2; }\n' >"$tree/tests/render/tidy.cpp"
cp -p "$tree/tests/render/tidy.cpp" "$tree/tidy.before"

if out=$("$format" --check "$tree" 2>&1); then
  echo "--check passed an untidy file: $out" >&2
  exit 1
fi
grep -qx 'src/render/untidy.cpp' <<<"$out" || {
  echo "--check did not name src/render/untidy.cpp: $out" >&2
  exit 1
}
grep -q tidy.cpp <<<"${out//untidy.cpp/}" && {
  echo "--check named a tidy file: $out" >&2
  exit 1
}
"$format" "$tree" >/dev/null
[ "$(cat "$tree/src/render/untidy.cpp")" = 'int Twice(int x) { return 2 * x; }' ] || {
  echo "unexpected layout: $(cat "$tree/src/render/untidy.cpp")" >&2
  exit 1
}
cmp -s "$tree/tests/render/tidy.cpp" "$tree/tidy.before" || {
  echo "the rewrite changed a tidy file" >&2
  exit 1
}
"$format" --check "$tree"
