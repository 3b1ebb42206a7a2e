#!/usr/bin/env bash
# Runs the fault-injection tests under Wine with what only root can set up: a small
# filesystem for the full-disk case. Without root that case is skipped, never failed.
#   scripts/faults.sh E2E_TESTS.exe BriskJot.exe [gtest arguments...]
# Defaults: every Faults test, 100 kills (BJ_FAULT_KILLS, BJ_FAULT_SEED to repeat a run).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 E2E_TESTS.exe BriskJot.exe [gtest arguments...]" >&2; exit 2; }
tests=$1 program=$2; shift 2
[ $# -gt 0 ] || set -- --gtest_filter='Faults.*'

disk=
cleanup() {
  if [ -n "$disk" ]; then umount "$disk" 2>/dev/null || true; rmdir "$disk" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ "$(id -u)" -eq 0 ]; then
  disk=$(mktemp -d /tmp/bj-fulldisk.XXXXXX)
  # Room for the exe and a small note; the test fills the rest.
  if mount -t tmpfs -o size=2m,mode=1777 tmpfs "$disk"; then
    export BJ_FULL_DISK=$disk
  else
    echo "faults: cannot mount a small filesystem; the full-disk case is skipped" >&2
    rmdir "$disk"; disk=
  fi
else
  echo "faults: not root; the full-disk case is skipped" >&2
fi

export BJ_FAULT_KILLS=${BJ_FAULT_KILLS:-100}
BJ_WINE_COPY=$program "$here/wine-run" "$tests" "$@"
