#!/usr/bin/env bash
# Fails when the sources break the layer rules of docs/architecture.md.
#
# The layers and their order are read from the line of docs/architecture.md
# that begins with "**Layer order**": each `name` on it is a folder under
# src/, lowest first. A file's layer is the first folder of its path below
# src/ (or below tests/ or bench/, for the tests and benchmarks of a layer).
#
# Every source file under src/, tests/ and bench/:
# - includes our headers as "layer/file.h" between quotes, never between angle
#   brackets and never by a relative path ("../x.h");
# - includes only its own layer and the layers below it;
# - includes Qt only in src/platform/qt and tests/gui, and headers of
#   platform/qt only there and in src/app/main.cpp, which picks the backend;
# - results is an island: it includes only itself, and nothing includes it.
# A test folder named after a layer may include that layer and those below
# it, tests/support, and app (the program it starts, to run its layer in);
# tests/support the layers up to lang; the other test and benchmark folders
# (gui, install, ...) any layer but results.
# Every target_link_libraries of src/*/CMakeLists.txt links only libraries
# of its own layer and of the layers below it (kio_<layer>, kio_qt being the
# platform's desktop backend); each layer's library is made by
# kio_layer_library, which names its own folder.
#
#   tools/check_layers.sh [ROOT]     ROOT defaults to the repository
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
order_line=$(grep -m1 '^\*\*Layer order\*\*' "$root/docs/architecture.md" || true)
if [ -z "$order_line" ]; then
  echo "check_layers: no **Layer order** line in docs/architecture.md" >&2
  exit 2
fi
mapfile -t layers < <(grep -o '`[a-z_]*`' <<<"$order_line" | tr -d '`')
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
if [ -z "${rank[results]+x}" ] || [ -z "${rank[app]+x}" ]; then
  echo "check_layers: the layer order names no app or no results layer" >&2
  exit 2
fi
top=${rank[app]}  # the highest layer of kio; results stands beside it

status=0
fail() {
  echo "$1" >&2
  status=1
}

# src/<layer>/ is in the order.
for dir in "$root"/src/*/; do
  own=${dir%/}
  own=${own##*/}
  [ -n "${rank[$own]+x}" ] || fail "src/$own: the folder is not in the layer order"
done

# Includes: one awk over every include line grep finds (a bash loop over
# them is slow, and the check runs many times in its own test). Each file
# is classified by its path into `own` (its layer, for the messages),
# `limit` (the highest rank it may include; -2: its own layer and those
# below, and app), `island` (1: only its own layer) and `qt` (1: may include
# Qt and platform/qt; 2: platform/qt only).
grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("[^"]*/|<[^>]*/|<[Qq])' --include='*.h' --include='*.cpp' \
  --include='*.hpp' --include='*.cc' --exclude-dir=node_modules "$root/src" "$root/tests" "$root/bench" 2>/dev/null |
  awk -v root="$root" -v order="${layers[*]}" '
function classify(rel,    area, rest, dir) {
  area = rel; sub(/\/.*/, "", area)
  rest = rel; sub(/^[^\/]*\//, "", rest)
  dir = rest; sub(/\/.*/, "", dir)
  own = dir; limit = -1; island = 0; qt = 0
  if (dir == rest) dir = ""  # a file at the top of tests/ or bench/
  if (area == "src") {
    # A folder outside the order is reported once, before.
    limit = (dir in rank) ? rank[dir] : top
    if (rest ~ /^platform\/qt\//) qt = 1
    else if (rest == "app/main.cpp") qt = 2  # platform/qt, not Qt itself
  } else if (area == "tests" || area == "bench") {
    if (dir == "support") {
      limit = ("lang" in rank) ? rank["lang"] : 0
    } else if (dir != "" && (dir in rank)) {
      limit = rank[dir]
      # A layer'"'"'s tests may start the whole program to run it in.
      if (area == "tests" && dir != "results" && limit < top) limit = -2
    } else {
      own = (dir != "") ? dir : area
      limit = top
    }
    if (area "/" dir == "tests/gui") qt = 1
  }
  if (dir == "results") island = 1
}
function allowed(t) {
  if (island) return t == "results"
  if (t == "results") return 0
  if (limit == -2) return rank[t] <= rank[own] || t == "app"
  return rank[t] <= limit
}
function fail(message) {
  print message > "/dev/stderr"
  status = 1
}
# The text between OPENER right after "#include" and the next CLOSER, or "".
function included(text, opener, closer,    at) {
  if (!match(text, /#[[:space:]]*include[[:space:]]*/)) return ""
  text = substr(text, RSTART + RLENGTH)
  if (substr(text, 1, 1) != opener) return ""
  text = substr(text, 2)
  at = index(text, closer)
  return at ? substr(text, 1, at - 1) : ""
}
BEGIN {
  n = split(order, names, " ")
  for (i = 1; i <= n; i++) rank[names[i]] = i - 1
  top = rank["app"]  # the highest layer of kio; results stands beside it
}
{
  hit = $0
  at = index(hit, ":"); file = substr(hit, 1, at - 1); hit = substr(hit, at + 1)
  at = index(hit, ":"); line = substr(hit, 1, at - 1); text = substr(hit, at + 1)
  rel = file
  if (index(rel, root "/") == 1) rel = substr(rel, length(root) + 2)
  if (rel != prev) { classify(rel); prev = rel }
  where = rel ":" line
  header = included(text, "<", ">")
  if (header != "" || text ~ /#[[:space:]]*include[[:space:]]*<>/) {
    target = header; sub(/\/.*/, "", target)
    if (target != header && (target in rank)) {
      fail(where ": our header <" header "> is included between angle brackets; write \"" header "\"")
      next
    }
    if (header ~ /^(Qt[A-Za-z]*\/|Q[A-Z])/ || header ~ /^q[a-z_]*\.h$/) {
      if (qt != 1) fail(where ": Qt header <" header "> outside the desktop backend (src/platform/qt)")
    }
    next
  }
  header = included(text, "\"", "\"")
  if (header == "") next
  if (("/" header "/") ~ /\/\.\.?\//) {
    fail(where ": relative include \"" header "\"; write it from src/ as \"layer/file.h\"")
    next
  }
  target = header; sub(/\/.*/, "", target)
  if (target == header) next  # a header beside the file
  if (!(target in rank)) next  # not one of ours
  if (header ~ /^platform\/qt\// && qt == 0) {
    fail(where ": " header " is the desktop backend; only src/platform/qt, src/app/main.cpp and tests/gui include it")
    next
  }
  if (!allowed(target)) {
    if (target == "results" || island)
      fail(where ": " header " crosses between results and the rest of kio, which share no code")
    else
      fail(where ": the " own " layer includes " header " from the " target " layer above it")
  }
}
END { exit status }' || status=1

# Links: one target_link_libraries call at a time, joined over its lines.
# (Bash alone: the check runs many times in its own test.)
call_re='(target_link_libraries|kio_layer_library)[[:space:]]*\(([^)]*)\)(.*)'
while IFS= read -r cmakelists; do
  rel=${cmakelists#"$root/"}
  rest=${rel#src/}
  own=${rest%%/*}
  [ -n "${rank[$own]+x}" ] || continue
  text=""
  while IFS= read -r cmake_line || [ -n "$cmake_line" ]; do text+=" ${cmake_line%%#*}"; done <"$cmakelists"
  # The layer's library is made by the function that gives it its include
  # root: without it, no other library would find its headers.
  if [ "$rel" = "src/$own/CMakeLists.txt" ] && ! [[ $text =~ kio_layer_library[[:space:]]*\([[:space:]]*$own[[:space:]] ]]; then
    fail "$rel: the $own layer's library is made by kio_layer_library($own ...) (cmake/KioLayers.cmake)"
  fi
  while [[ $text =~ $call_re ]]; do
    command=${BASH_REMATCH[1]}
    read -r -a words <<<"${BASH_REMATCH[2]}"
    text=${BASH_REMATCH[3]}
    if [ "$command" = kio_layer_library ]; then
      [ "${words[0]}" = "$own" ] ||
        fail "$rel: kio_layer_library(${words[0]}) in the folder of the $own layer"
      continue
    fi
    target=${words[0]}
    for lib in "${words[@]:1}"; do
      [[ $lib == kio_* ]] || continue
      layer=${lib#kio_}
      [ "$layer" = qt ] && layer=platform
      if [ -z "${rank[$layer]+x}" ]; then
        fail "$rel: $target links $lib, which is no layer's library"
      elif [ "$own" = results ] || [ "$layer" = results ]; then
        [ "$own" = "$layer" ] || fail "$rel: $target links $lib across results and the rest of kio"
      elif [ "${rank[$layer]}" -gt "${rank[$own]}" ]; then
        fail "$rel: $target of the $own layer links $lib from the $layer layer above it"
      fi
    done
  done
done < <(find "$root/src" -name CMakeLists.txt | sort)

[ $status -eq 0 ] && echo "layers: every include and link points down (${layers[*]})"
exit $status
