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
  own=$(basename "$dir")
  [ -n "${rank[$own]+x}" ] || fail "src/$own: the folder is not in the layer order"
done

# The layers a file may include: sets `own` (its layer, for the messages),
# `limit` (the highest rank it may include), `island` (1: only its own
# layer), `qt` (1: may include Qt and platform/qt).
classify() {
  local rel=$1 area=${1%%/*} rest=${1#*/}
  local dir=${rest%%/*}
  own=$dir limit=-1 island=0 qt=0
  [ "$dir" = "$rest" ] && dir=""  # a file at the top of tests/ or bench/
  case $area in
    src)
      # A folder outside the order is reported once, above.
      if [ -n "${rank[$dir]+x}" ]; then limit=${rank[$dir]}; else limit=$top; fi
      case $rest in
        platform/qt/*) qt=1 ;;
        app/main.cpp) qt=2 ;;  # platform/qt, not Qt itself
      esac
      ;;
    tests | bench)
      if [ "$dir" = support ]; then
        limit=${rank[lang]:-0}
      elif [ -n "$dir" ] && [ -n "${rank[$dir]+x}" ]; then
        limit=${rank[$dir]}
        # A layer's tests may start the whole program to run it in.
        if [ "$area" = tests ] && [ "$dir" != results ] && [ "$limit" -lt "$top" ]; then limit=-2; fi
      else
        own=${dir:-$area} limit=$top
      fi
      [ "$area/$dir" = tests/gui ] && qt=1
      ;;
  esac
  [ "$dir" = results ] && island=1
  return 0
}

allowed() {  # allowed TARGET_LAYER
  local t=$1
  if [ $island -eq 1 ]; then [ "$t" = results ]; return; fi
  [ "$t" = results ] && return 1
  if [ "$limit" -eq -2 ]; then
    [ "${rank[$t]}" -le "${rank[$own]}" ] || [ "$t" = app ]
    return
  fi
  [ "${rank[$t]}" -le "$limit" ]
}

prev=""
while IFS= read -r hit; do
  file=${hit%%:*}
  hit=${hit#*:}
  line=${hit%%:*}
  text=${hit#*:}
  rel=${file#"$root/"}
  if [ "$rel" != "$prev" ]; then
    classify "$rel"
    prev=$rel
  fi
  where="$rel:$line"
  if [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]*)\> ]]; then
    header=${BASH_REMATCH[1]}
    target=${header%%/*}
    if [ "$target" != "$header" ] && [ -n "${rank[$target]+x}" ]; then
      fail "$where: our header <$header> is included between angle brackets; write \"$header\""
      continue
    fi
    if [[ $header =~ ^(Qt[A-Za-z]*/|Q[A-Z]|q[a-z_]*\.h$) ]] && [ $qt -ne 1 ]; then
      fail "$where: Qt header <$header> outside the desktop backend (src/platform/qt)"
    fi
    continue
  fi
  [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]*)\" ]] || continue
  header=${BASH_REMATCH[1]}
  case /$header/ in
    */../* | */./*)
      fail "$where: relative include \"$header\"; write it from src/ as \"layer/file.h\""
      continue
      ;;
  esac
  target=${header%%/*}
  [ "$target" = "$header" ] && continue  # a header beside the file
  [ -z "${rank[$target]+x}" ] && continue  # not one of ours
  if [[ $header == platform/qt/* ]] && [ $qt -eq 0 ]; then
    fail "$where: $header is the desktop backend; only src/platform/qt, src/app/main.cpp and tests/gui include it"
    continue
  fi
  if ! allowed "$target"; then
    if [ "$target" = results ] || [ $island -eq 1 ]; then
      fail "$where: $header crosses between results and the rest of kio, which share no code"
    else
      fail "$where: the $own layer includes $header from the $target layer above it"
    fi
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("[^"]*/|<[^>]*/|<[Qq])' --include='*.h' --include='*.cpp' --include='*.hpp' \
  --include='*.cc' --exclude-dir=node_modules "$root/src" "$root/tests" "$root/bench" 2>/dev/null)

# Links: one target_link_libraries call at a time, joined over its lines.
# (Bash alone from here: the check runs many times in its own test.)
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
