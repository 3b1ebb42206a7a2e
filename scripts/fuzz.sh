#!/usr/bin/env bash
# The longer fuzz run: every target under libFuzzer with ASan and UBSan for the given seconds
# each (default 300). What the fuzzer finds is kept in build/fuzz-corpus/<target>, crashes in
# build/fuzz-crashes. Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
seconds=${1:-300}
targets=(settings helpproject persisted notecodec search)

cmake -S "$root" -B "$build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBJ_SANITIZE=ON \
  -DBJ_LIBFUZZER=ON >/dev/null
ninja -C "$build/fuzz" bj_fuzz_all
if [ ! -x "$build/fuzz/fuzz/libfuzzer/bj_libfuzz_settings" ]; then
  echo "libFuzzer is not available: install clang and libclang-rt-14-dev" >&2
  exit 1
fi

status=0
mkdir -p "$build/fuzz-crashes"
for t in "${targets[@]}"; do
  mkdir -p "$build/fuzz-corpus/$t"
  echo "== fuzzing $t for $seconds s"
  "$build/fuzz/fuzz/libfuzzer/bj_libfuzz_$t" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz-crashes/$t-" \
    "$build/fuzz-corpus/$t" "$root/fuzz/corpus/$t" "$build/fuzz/fuzz/seeds/$t" || status=1
done
exit $status
