#!/usr/bin/env bash
# The layer check passes on the tree as it is, and fails on a copy of the
# tree with each planted violation, one at a time, naming it.
set -euo pipefail
root=$1
check=$root/tools/check_layers.sh
"$check" "$root"

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/docs"
cp "$root/docs/architecture.md" "$copy/docs/"
tar -C "$root" --exclude=node_modules --exclude=fixtures --exclude=seeds -cf - src tests bench | tar -C "$copy" -xf -
"$check" "$copy" >/dev/null || {
  echo "the check fails on the unchanged copy" >&2
  exit 1
}

failures=0
# plant FILE LINE EXPECTED: FILE (below the copy) gets LINE at its end; the
# check must fail with a report holding EXPECTED. FILE is put back after.
plant() {
  local file=$copy/$1 line=$2 expected=$3 saved="" made=""
  [ -e "$file" ] && saved=$(<"$file")
  [ -d "$(dirname "$file")" ] || made=$(dirname "$file")
  mkdir -p "$(dirname "$file")"
  printf '%s\n' "$line" >>"$file"
  local out
  if out=$("$check" "$copy" 2>&1); then
    echo "FAIL: the check passed $1 with: $line" >&2
    failures=$((failures + 1))
  elif ! grep -qF -- "$expected" <<<"$out"; then
    echo "FAIL: $1 with: $line; expected \"$expected\" in: $out" >&2
    failures=$((failures + 1))
  else
    echo "refused: $1: $line -> $out"
  fi
  if [ -n "$saved" ]; then printf '%s\n' "$saved" >"$file"; else rm -f "$file"; fi
  [ -z "$made" ] || rm -rf "$made"
}

plant src/fileio/planted.cpp '#include "app/startup.h"' \
  'src/fileio/planted.cpp:1: the fileio layer includes app/startup.h from the app layer above it'
plant src/fileio/planted.cpp '#include <app/startup.h>' \
  'src/fileio/planted.cpp:1: our header <app/startup.h> is included between angle brackets'
plant src/app/planted.cpp '#include "../app/startup.h"' 'src/app/planted.cpp:1: relative include "../app/startup.h"'
plant src/app/planted.cpp '#include "./startup.h"' 'src/app/planted.cpp:1: relative include "./startup.h"'
plant src/render/planted.cpp '#include <QString>' 'src/render/planted.cpp:1: Qt header <QString>'
plant src/render/planted.cpp '#include <QtWidgets/QWidget>' 'src/render/planted.cpp:1: Qt header <QtWidgets/QWidget>'
plant src/app/authoring_app.cpp '#include <QApplication>' 'Qt header <QApplication>'
plant src/results/planted.cpp '#include "fileio/file.h"' \
  'src/results/planted.cpp:1: fileio/file.h crosses between results and the rest of kio'
plant src/app/planted.cpp '#include "results/store.h"' \
  'src/app/planted.cpp:1: results/store.h crosses between results and the rest of kio'
plant src/platform/planted.cpp '#include "platform/qt/qt_platform.h"' \
  'src/platform/planted.cpp:1: platform/qt/qt_platform.h is the desktop backend'
plant src/gadgets/planted.cpp '#include "platform/platform.h"' 'src/gadgets: the folder is not in the layer order'
plant tests/render/planted_test.cpp '#include "dialogs/document_editor.h"' \
  'tests/render/planted_test.cpp:1: the render layer includes dialogs/document_editor.h from the dialogs layer above it'
plant tests/results/planted_test.cpp '#include "platform/platform.h"' \
  'tests/results/planted_test.cpp:1: platform/platform.h crosses between results and the rest of kio'
plant tests/render/planted_test.cpp '#include <QString>' 'tests/render/planted_test.cpp:1: Qt header <QString>'
plant tests/support/planted.h '#include "render/markup.h"' \
  'tests/support/planted.h:1: the support layer includes render/markup.h from the render layer above it'
plant bench/render/planted_bench.cpp '#include "dialogs/document_editor.h"' \
  'bench/render/planted_bench.cpp:1: the render layer includes dialogs/document_editor.h'
plant src/fileio/CMakeLists.txt 'target_link_libraries(kio_fileio PUBLIC
  kio_app)' 'src/fileio/CMakeLists.txt: kio_fileio of the fileio layer links kio_app from the app layer above it'
plant src/results/CMakeLists.txt 'target_link_libraries(kio_results PRIVATE kio_platform)' \
  'src/results/CMakeLists.txt: kio_results links kio_platform across results and the rest of kio'
plant src/render/CMakeLists.txt 'kio_layer_library(dialogs planted.cpp)' \
  'src/render/CMakeLists.txt: kio_layer_library(dialogs) in the folder of the render layer'

# A layer whose library is made by add_library exports no include root.
cmakelists=$copy/src/render/CMakeLists.txt
cp "$cmakelists" "$copy/saved"
sed -i 's/kio_layer_library(render/add_library(kio_render STATIC/' "$cmakelists"
plant src/render/CMakeLists.txt '' 'src/render/CMakeLists.txt: the render layer'"'"'s library is made by kio_layer_library(render ...)'
cp "$copy/saved" "$cmakelists"

[ $failures -eq 0 ] || exit 1
echo "every planted violation refused"
