#!/usr/bin/env bash
# Builds what the benchmarks need and prints one table of ratios: the native benchmarks
# (search, help file extraction), BriskJot against a minimal tray program under Wine, and the
# sizes of both exes against their limits.
#   scripts/bench.sh [--rounds=N] [--idle-seconds=S] [--only=GROUP]   (arguments go to bj_bench_win)
# The Windows benchmarks use a Wine server of their own (BJ_WINE_STATE, BJ_DISPLAY), so a
# BriskJot that a test left running elsewhere cannot hold the single-instance mutex.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
export BJ_WINE_STATE=${BJ_WINE_STATE:-/tmp/briskjot-wine-bench}
export BJ_DISPLAY=${BJ_DISPLAY:-:94}

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  [ -f "$build/$dir/build.ninja" ] && return 0
  cmake -S "$root" -B "$build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
configure host
cmake --build "$build/host" --target bj_bench bj_author
configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DBJ_HOST_BUILD="$build/host"
cmake --build "$build/win64" --target BriskJot bj_bench_win bj_tray_minimal bj_note_minimal
configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DBJ_HOST_BUILD="$build/host"
cmake --build "$build/win32" --target BriskJot bj_bench_win bj_tray_minimal

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== native benchmarks" >&2
"$build/host/bench/bj_bench" >"$work/native.txt"
echo "== Windows benchmarks under Wine" >&2
# To a file, not a pipe: the persistent Wine server would keep a pipe open.
BJ_WINE_COPY="$build/win64/app/BriskJot.exe:$build/win64/bench/win/bj_tray_minimal.exe:$build/win64/bench/win/bj_note_minimal.exe" \
  "$root/scripts/wine-run" "$build/win64/bench/win/bj_bench_win.exe" "$@" >"$work/win.txt"
# The 32-bit exe under 32-bit Wine: the rows where the build makes a difference.
if why=$("$root/scripts/probe-32bit.sh"); then
  echo "== i686 start-up and memory under 32-bit Wine" >&2
  BJ_WINE_COPY="$build/win32/app/BriskJot.exe:$build/win32/bench/win/bj_tray_minimal.exe" \
    "$root/scripts/wine-run" "$build/win32/bench/win/bj_bench_win.exe" --start-up-only=1 "$@" \
    >>"$work/win.txt"
else
  echo "i686 benchmarks skipped: $why" >&2
fi

size_row() {  # name, exe, limit in KiB
  local kib
  kib=$(( ($(stat -c %s "$2") + 1023) / 1024 ))
  awk -v n="$1" -v b="$3" -v o="$kib" 'BEGIN {
    printf "%-44s %14.0f %14.0f %8.2f %8s\n", n, b, o, o / b, (o <= b ? "1.00" : "1.00 !") }'
}

printf "\n%-44s %14s %14s %8s %8s\n" benchmark baseline briskjot ratio target
# The native runner ends with its own table; take its rows.
sed -n '/^benchmark  /,$p' "$work/native.txt" | tail -n +2 | sed 's/^/native\//' |
  awk '{ name = $1 " " $2; $1 = $2 = ""; split($0, f, " ");
         printf "%-44s %14s %14s %8s %8s\n", name, f[1], f[2], f[3], f[4] (f[5] ? " " f[5] : "") }'
cat "$work/win.txt"
size_row "size/BriskJot.exe x86_64 (limit) [KiB]" "$build/win64/app/BriskJot.exe" "$("$root/scripts/exe-size-limit.sh" x86_64)"
size_row "size/BriskJot.exe i686 (limit) [KiB]" "$build/win32/app/BriskJot.exe" "$("$root/scripts/exe-size-limit.sh" i686)"
