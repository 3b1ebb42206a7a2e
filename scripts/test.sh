#!/usr/bin/env bash
# Installs what is needed, builds all three builds and runs every test: native unit tests,
# the Windows tests of both exes under Wine (the i686 ones under 32-bit Wine), import and size
# checks, the release package unpacked and started, clang-tidy, cppcheck and the clang-format
# check.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" host win64 win32
status=0
echo "== static checks"
"$root/scripts/check-static.sh" || status=1
echo "== format"
"$root/scripts/check-format.sh" || status=1
for b in host win64 win32; do
  echo "== testing $b"
  skip=()
  if [ "$b" = win32 ] && ! why=$("$root/scripts/probe-32bit.sh"); then
    # Said once, plainly; CTest does not count them at all.
    echo "i686 suites skipped: $why"
    skip=(-LE wine32)
  fi
  ctest --test-dir "$build/$b" --output-on-failure --timeout 900 "${skip[@]}" || status=1
done
echo "== testing the release package"
{ "$root/scripts/package.sh" "$build/dist" >/dev/null && "$root/scripts/check-package.sh" "$build/dist"; } ||
  status=1
# Native code again under AddressSanitizer and UBSan, with the short fuzz runs.
echo "== testing host-asan"
{ cmake -S "$root" -B "$build/host-asan" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBJ_SANITIZE=ON >/dev/null &&
  ninja -C "$build/host-asan" bj_unit_tests bj_fuzz_all &&
  ctest --test-dir "$build/host-asan" -R '^(unit|fuzz_.*)$' --output-on-failure --timeout 900; } ||
  status=1
exit $status
