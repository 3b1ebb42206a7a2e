#!/usr/bin/env bash
# The size limit of BriskJot.exe in KiB, by the exe's machine; with an exe and no more, checks it:
#   exe-size-limit.sh i686|x86_64          prints the limit
#   exe-size-limit.sh --check BriskJot.exe fails when the exe is over its limit
set -euo pipefail
limit() { case $1 in i686) echo 420 ;; x86_64) echo 600 ;; *) echo "unknown machine: $1" >&2; exit 2 ;; esac; }
if [ "$1" != --check ]; then limit "$1"; exit 0; fi
exe=$2
# The PE header's machine field: 014c is i686, 8664 x86_64.
offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j"$offset" -N6 "$exe" | awk '{print $3}')
case $machine in 014c) arch=i686 ;; 8664) arch=x86_64 ;; *) echo "not a PE exe: $exe" >&2; exit 2 ;; esac
size=$(stat -c %s "$exe")
max=$(( $(limit "$arch") * 1024 ))
echo "BriskJot.exe $arch: $((size / 1024)) KiB of $((max / 1024)) KiB"
[ "$size" -le "$max" ]
