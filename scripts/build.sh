#!/usr/bin/env bash
# Builds everything: the native tools and tests, BriskJot.exe for x86_64 with
# its Windows tests, and the 32-bit release BriskJot.exe.
#   scripts/build.sh [host|win64|win32]...   (default: all three)
# BJ_TARGETS names the targets of the Windows builds to make (default: all of them).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(host win64 win32)

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  [ -f "$build/$dir/build.ninja" ] && return 0
  cmake -S "$root" -B "$build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

for t in "${targets[@]}"; do
  case $t in
    host)  configure host ;;
    win64) configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DBJ_HOST_BUILD="$build/host" ;;
    win32) configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DBJ_HOST_BUILD="$build/host" ;;
    *) echo "unknown build: $t" >&2; exit 2 ;;
  esac
  echo "== building $t"
  if [ "$t" != host ] && [ -n "${BJ_TARGETS:-}" ]; then
    cmake --build "$build/$t" --target $BJ_TARGETS
  else
    cmake --build "$build/$t"
  fi
done
