#!/usr/bin/env bash
# probe-32bit.sh: succeeds when this machine runs 32-bit x86 programs. Some kernels are built
# without that support, whatever their version says, so a tiny program is made and run.
# On failure it prints the reason on stdout.
set -uo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# exit(42) by the 32-bit system call: nothing but the kernel's 32-bit support is needed.
printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/p.s"
if ! as --32 -o "$dir/p.o" "$dir/p.s" 2>/dev/null || ! ld -m elf_i386 -o "$dir/p" "$dir/p.o" 2>/dev/null; then
  echo "cannot make a 32-bit probe program (binutils missing?)"
  exit 1
fi
"$dir/p" 2>/dev/null
status=$?
if [ "$status" -ne 42 ]; then
  echo "this kernel does not run 32-bit programs (probe exit status $status)"
  exit 1
fi
