#!/usr/bin/env bash
# Builds the 32-bit release BriskJot.exe and packs it with a short readme:
#   scripts/package.sh   ->  dist/BriskJot-<version>.zip
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}

# The 32-bit build needs the native authoring tool of the host build.
"$root/scripts/build.sh" host win32

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win32/CMakeCache.txt")
[ -n "$version" ] ||
  version=$(sed -n 's/^project(BriskJot VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "no project version found" >&2; exit 1; }

exe=$build/win32/app/BriskJot.exe
[ -f "$exe" ] || { echo "missing $exe" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/BriskJot.exe"
# CR LF: the readme is opened with Notepad.
sed 's/$/\r/' > "$stage/ReadMe.txt" <<TEXT
BriskJot $version
==============

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

mkdir -p "$root/dist"
zip_file=$root/dist/BriskJot-$version.zip
rm -f "$zip_file"
(cd "$stage" && zip -q -X "$zip_file" BriskJot.exe ReadMe.txt)
echo "$zip_file"
