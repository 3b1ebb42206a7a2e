#!/usr/bin/env bash
# Installs what is needed, builds BriskJot.exe and starts it under Wine.
# With $DISPLAY it runs there; otherwise on a virtual X server in Wine's
# desktop, and a screenshot shows it running.
#   scripts/start.sh          start (note, settings and help live in $BJ_APP_DIR)
#   scripts/start.sh --stop   end a BriskJot started without a display
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BJ_BUILD:-$root/build}
. "$root/scripts/wine-env.sh"

if [ "${1:-}" = "--stop" ]; then bj_wine_stop; exit 0; fi

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" host win64

have_display=
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  have_display=1
  BJ_DISPLAY=$DISPLAY
fi
bj_wine_ready

# A portable program: it keeps its note, settings and help beside itself.
app=${BJ_APP_DIR:-$BJ_WINE_STATE/app}
bj_as_user mkdir -p "$app"
bj_as_user tee "$app/BriskJot.exe" < "$build/win64/app/BriskJot.exe" >/dev/null
echo "BriskJot runs from $app (its note is $app/BriskJot.txt)"

if [ -n "$have_display" ]; then
  cd "$app" && DISPLAY=$BJ_DISPLAY bj_as_user "$BJ_WINE64" "$app/BriskJot.exe"
  exit 0
fi

cd "$app"
(export DISPLAY=$BJ_DISPLAY; bj_as_user "$BJ_WINE64" "$app/BriskJot.exe" >/dev/null 2>&1 </dev/null 9>&- &)
sleep 4
shot="$build/screenshot.png"
import -window root -display "$BJ_DISPLAY" "$shot"
echo "BriskJot is running on the virtual display $BJ_DISPLAY; screenshot: $shot"
echo "Stop it with: scripts/start.sh --stop"
