#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Wine, on the
# project's virtual display: scripts/screenshot.sh [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
out=${1:-$root/docs}
. "$root/scripts/wine-env.sh"
bj_wine_ready
bj_wine_stop
bj_start_wineserver

run=$(bj_as_user mktemp -d "$BJ_WINE_STATE/run/shot.XXXXXX")
bj_as_user tee "$run/BriskJot.exe" < "$build/win64/app/BriskJot.exe" >/dev/null
printf 'Call Anna about the budget, Tue 10:00\r\nBuy: milk, coffee, batteries\r\n\r\nIdea: keep the note beside the exe,\r\nso it travels on the USB stick.\r\n' |
  bj_as_user tee "$run/BriskJot.txt" >/dev/null
(cd "$run"; export DISPLAY=$BJ_DISPLAY; bj_as_user "$BJ_WINE64" "$run/BriskJot.exe" >/dev/null 2>&1 </dev/null 9>&- &)
for _ in $(seq 1 100); do
  DISPLAY=$BJ_DISPLAY xdotool search --name '^BriskJot$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
mkdir -p "$out"
import -window root -display "$BJ_DISPLAY" "$out/screenshot-note.png"
# The tray menu, opened with a right click on the icon at the right end of the taskbar.
DISPLAY=$BJ_DISPLAY xdotool mousemove 1012 757 click 3
sleep 1
import -window root -display "$BJ_DISPLAY" "$out/screenshot-traymenu.png"
# "&About..." from the open menu.
DISPLAY=$BJ_DISPLAY xdotool key a
sleep 1
import -window root -display "$BJ_DISPLAY" "$out/screenshot-about.png"
DISPLAY=$BJ_DISPLAY xdotool key Escape
bj_wine_stop
rm -rf "$run"
echo "screenshots in $out"
