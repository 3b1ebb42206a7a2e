#!/usr/bin/env bash
# Installs what is needed, builds all three builds and runs every test:
# native unit tests, Windows tests under Wine, import and size checks.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" host win64 win32
status=0
for b in host win64 win32; do
  echo "== testing $b"
  ctest --test-dir "$build/$b" --output-on-failure --timeout 900 || status=1
done
exit $status
