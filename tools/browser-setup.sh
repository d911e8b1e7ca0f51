#!/usr/bin/env bash
# Installs the browser tests' npm packages (playwright-core and axe-core, at
# the versions of tests/browser/package-lock.json) when they are missing or
# older than the lock file. The browser itself is Debian's chromium, which
# tools/setup.sh installs; nothing is downloaded at test time.
set -euo pipefail

dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/browser" && pwd)
lock="$dir/package-lock.json"
stamp="$dir/node_modules/.kio-lock"

if ! command -v npm >/dev/null; then
  echo "browser-setup: npm is missing (tools/setup.sh installs it)" >&2
  exit 1
fi

if [ -f "$stamp" ] && cmp -s "$lock" "$stamp"; then
  exit 0
fi

echo "== Browser tests: npm ci in $dir"
(cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
cp "$lock" "$stamp"
