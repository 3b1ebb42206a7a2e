#!/usr/bin/env bash
# Fails when a tracked C/C++ file is not as clang-format (with the root .clang-format) writes it,
# and names each such file with the lines it would change.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
status=0
while IFS= read -r -d '' f; do
  if ! clang-format-14 --dry-run --Werror "$f" 2>/dev/null; then
    echo "not clang-format clean: $f"
    clang-format-14 "$f" | diff -u "$f" - | sed -n '3,12p' || true
    status=1
  fi
done < <(git ls-files -z '*.c' '*.cpp' '*.h')
exit $status
