#!/usr/bin/env bash
# Installs every Debian package that building, testing and running BriskJot needs.
# Idempotent: packages already present are left alone.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

packages=(
  cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32
  libz-mingw-w64-dev
  zlib1g-dev wine wine64 xvfb xdotool imagemagick fp-utils fonts-wine
  binutils binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 zip unzip util-linux procps python3
  clang libclang-rt-14-dev clang-format-14 clang-tidy-14 cppcheck
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

install_packages() {  # packages...
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_packages "${packages[@]}"
# The 32-bit Wine runs the i686 tests, where the kernel runs 32-bit code (probed with the
# binutils installed above).
if why=$("$here/probe-32bit.sh"); then
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  install_packages wine32:i386
else
  echo "install-deps: no 32-bit Wine, the i686 tests will be skipped: $why" >&2
fi
