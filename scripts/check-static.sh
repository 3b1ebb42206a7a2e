#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy) over the program's sources: the portable ones through the host
# build's compile commands, the Windows ones through the win64 build's, parsed by clang as
# x86_64-w64-mingw32 against the MinGW headers; then cppcheck over the portable ones.
#   scripts/check-static.sh [host] [win64]   (default: both; the builds must be configured)
# Tests, benchmarks and fuzzers are not checked.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
builds=("$@")
[ "${#builds[@]}" -gt 0 ] || builds=(host win64)

sources() {  # build dir: the program's own translation units in its compile commands
  python3 - "$1/compile_commands.json" "$root" <<'PY'
import json, sys
root = sys.argv[2] + "/"
skip = ("tests/", "bench/", "fuzz/", "build/")
files = {e["file"] for e in json.load(open(sys.argv[1]))}
ours = (f for f in files if f.startswith(root) and not f[len(root):].startswith(skip))
print("\n".join(sorted(f for f in ours if f.endswith((".c", ".cpp")))))
PY
}

status=0
for b in "${builds[@]}"; do
  # On a configured build this only writes the compile commands; nothing is rebuilt.
  cmake -B "$build/$b" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  extra=()
  if [ "$b" != host ]; then
    cxx=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))[0]["command"].split()[0])' \
      "$build/$b/compile_commands.json")
    target=$("$cxx" -dumpmachine)
    extra=(--extra-arg-before=--target="$target")
    # The C++ library and Windows headers the MinGW compiler uses; not GCC's own intrinsics
    # headers, which clang cannot parse (it brings its own).
    while read -r dir; do
      dir=$(realpath -m "$dir")
      case $dir in */gcc/*/include | */include-fixed) continue ;; esac
      extra+=(--extra-arg=-isystem"$dir")
    done < <("$cxx" -xc++ -E -v - </dev/null 2>&1 | sed -n '/^#include <\.\.\.>/,/^End of/s/^ //p')
  fi
  mapfile -t files < <(sources "$build/$b")
  echo "== clang-tidy: ${#files[@]} sources of $b"
  # xargs fails when any clang-tidy did; the findings are on stdout, the counts on stderr.
  printf '%s\n' "${files[@]}" |
    xargs -n 4 -P "$(nproc)" clang-tidy-14 -p "$build/$b" --quiet "${extra[@]}" 2>/dev/null ||
    status=1
done

echo "== cppcheck: portable sources"
mapfile -t portable < <(sources "$build/host")
cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ --enable=warning,performance,portability \
  --inline-suppr -I "$root" "${portable[@]}" || status=1
exit $status
