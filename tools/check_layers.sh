#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own.
# The layers and their order are read from docs/architecture.md, the line
# that begins with "**Layer order**": each `name` on it is a folder under
# src/, lowest first. A file's layer is the first folder of its path below
# src/; it may include headers of its own layer and of the layers below.
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

status=0
while IFS= read -r file; do
  rel=${file#"$root/src/"}
  own=${rel%%/*}
  if [ -z "${rank[$own]+x}" ]; then
    echo "$rel: folder src/$own is not in the layer order" >&2
    status=1
    continue
  fi
  while IFS= read -r hit; do
    line=${hit%%:*}
    header=${hit#*:}
    header=${header#*\"}
    header=${header%%\"*}
    target=${header%%/*}
    [ "$target" = "$header" ] && continue  # a header beside the file
    [ -z "${rank[$target]+x}" ] && continue  # not one of ours
    if [ "${rank[$target]}" -gt "${rank[$own]}" ]; then
      echo "$rel:$line: the $own layer includes $header from the $target layer above it" >&2
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find "$root/src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
[ $status -eq 0 ] && echo "layers: every include points down (${layers[*]})"
exit $status
