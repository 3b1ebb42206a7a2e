#!/usr/bin/env bash
# Checks the release package as a user gets it: the sums match, and each zip, unpacked into a
# fresh folder under Wine, holds the exe and its readme, and the exe starts from there (its
# window comes up and it writes its settings beside itself).
#   scripts/check-package.sh DIST_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-env.sh"
dist=$1

(cd "$dist" && sha256sum --quiet -c SHA256SUMS)
bj_wine_ready
status=0
for zip in "$dist"/BriskJot-*-win32.zip "$dist"/BriskJot-*-win64.zip; do
  name=$(basename "$zip")
  if [[ $name == *-win32.zip ]] && ! why=$("$here/probe-32bit.sh"); then
    echo "check-package: $name not started, i686 skipped: $why"
    continue
  fi
  folder=$(bj_as_user mktemp -d "$BJ_WINE_STATE/run/package.XXXXXX")
  # The Wine user may not be able to read the build folder: copy through a pipe.
  bj_as_user tee "$folder/$name" <"$zip" >/dev/null
  bj_as_user mkdir "$folder/unpacked"
  bj_as_user unzip -q "$folder/$name" -d "$folder/unpacked"
  app=$folder/unpacked
  if [ "$(cd "$app" && ls | tr '\n' ' ')" != "BriskJot.exe ReadMe.txt " ]; then
    echo "check-package: $name holds: $(cd "$app" && ls | tr '\n' ' ')"
    status=1
    continue
  fi
  loader=$(bj_loader "$app/BriskJot.exe")
  (cd "$app"; export DISPLAY=$BJ_DISPLAY; bj_as_user "$loader" "$app/BriskJot.exe" >/dev/null 2>&1 </dev/null 9>&- &)
  started=
  for _ in $(seq 1 300); do
    if [ -f "$app/BriskJot.ini" ] && DISPLAY=$BJ_DISPLAY xdotool search --name '^BriskJot$' >/dev/null 2>&1; then
      started=1
      break
    fi
    sleep 0.1
  done
  # Ends the program with everything else in this Wine server.
  bj_wine_stop
  if [ -n "$started" ]; then
    echo "check-package: $name unpacked and started"
    rm -rf "$folder"
  else
    echo "check-package: $name did not start from $app"
    status=1
  fi
done
exit $status
