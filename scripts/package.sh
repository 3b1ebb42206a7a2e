#!/usr/bin/env bash
# Builds both release exes and packs each with a short readme:
#   scripts/package.sh [DIST_DIR]   (default dist/)
#   -> BriskJot-<version>-win32.zip (i686), BriskJot-<version>-win64.zip (x86_64), SHA256SUMS
# The version is the project version in CMakeLists.txt, the one the exes carry.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
dist=${1:-$root/dist}

version=$(sed -n 's/^project(BriskJot VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no project version in CMakeLists.txt" >&2; exit 1; }

BJ_TARGETS=BriskJot "$root/scripts/build.sh" host win32 win64 >&2

readme() {  # the Windows it is for
  # CR LF: the readme is opened with Notepad.
  sed 's/$/\r/' <<TEXT
BriskJot $version
==============

This is the build for $1.

BriskJot is a small notepad that lives in the notification area of the
taskbar. Click its tray icon to show or hide an always-on-top window just
above the tray, jot down a note, and with AutoSave on the note is kept as you
type. Right-click the icon for the menu: Find, Print, Clear Clipboard, the
options, Help and Exit.

Portable: BriskJot needs no installation and writes nothing outside its own
folder (except the optional Run value below). Put BriskJot.exe in a folder
you can write to, for example on a USB stick; the note (BriskJot.txt), the
settings (BriskJot.ini) and the help file (BriskJot.chm, written out on first
use) all live beside the exe.

Starting with Windows: tick "Start With Windows" in the tray menu. BriskJot
then adds a value named BriskJot under the current user's Run key of the
registry; untick it to remove the value. Untick "Show On StartUp" to have it
start hidden in the tray.

To remove BriskJot, untick "Start With Windows", choose Exit and delete the
folder.

BriskJot is freeware, provided "as is" and without warranty of any kind.
TEXT
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$dist"
zips=()
for flavour in win32 win64; do
  exe=$build/$flavour/app/BriskJot.exe
  [ -f "$exe" ] || { echo "package: missing $exe" >&2; exit 1; }
  case $flavour in
    win32) windows="32-bit and 64-bit Windows" ;;
    win64) windows="64-bit Windows" ;;
  esac
  mkdir "$stage/$flavour"
  cp "$exe" "$stage/$flavour/BriskJot.exe"
  readme "$windows" >"$stage/$flavour/ReadMe.txt"
  zip=BriskJot-$version-$flavour.zip
  rm -f "$dist/$zip"
  (cd "$stage/$flavour" && zip -q -X "$dist/$zip" BriskJot.exe ReadMe.txt)
  zips+=("$zip")
done
(cd "$dist" && sha256sum "${zips[@]}" >SHA256SUMS)
for zip in "${zips[@]}"; do echo "$dist/$zip"; done
echo "$dist/SHA256SUMS"
