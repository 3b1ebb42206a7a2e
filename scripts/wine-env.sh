# Sourced by the scripts that run Windows programs under Wine.
# Wine runs as an unprivileged user when we are root: as root Wine cannot
# enforce read-only files, and the tests depend on that.

BJ_WINE_STATE=${BJ_WINE_STATE:-/tmp/briskjot-wine}
# BJ_WINE_DPI=192 runs in a prefix of its own whose screen has that DPI (Wine reads it from the
# prefix's registry when a program starts).
[ -z "${BJ_WINE_DPI:-}" ] || BJ_WINE_STATE=$BJ_WINE_STATE-dpi$BJ_WINE_DPI
BJ_DISPLAY=${BJ_DISPLAY:-:87}
BJ_WINE64=/usr/lib/wine/wine64
BJ_WINE32=/usr/lib/wine/wine
BJ_WINESERVER=/usr/lib/wine/wineserver

export WINEPREFIX="$BJ_WINE_STATE/prefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

bj_as_user() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups \
      env HOME="$BJ_WINE_STATE/home" USER=nobody LOGNAME=nobody "$@"
  else
    env HOME="$BJ_WINE_STATE/home" "$@"
  fi
}

bj_prepare_state() {
  mkdir -p "$BJ_WINE_STATE"
  # Wine creates a prefix only inside a folder its user owns.
  [ "$(id -u)" -ne 0 ] || chown 65534:65534 "$BJ_WINE_STATE"
  bj_as_user mkdir -p "$BJ_WINE_STATE/home" "$BJ_WINE_STATE/run"
}

bj_display_up() {
  [ -S "/tmp/.X11-unix/X${BJ_DISPLAY#:}" ] && DISPLAY=$BJ_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1
}

# A virtual X server of our own, 1024 x 768, so the default geometry is the same everywhere.
bj_start_display() {
  bj_display_up && return 0
  rm -f "/tmp/.X${BJ_DISPLAY#:}-lock" "/tmp/.X11-unix/X${BJ_DISPLAY#:}"
  # fd 9 is the set-up lock: a server that kept it would hold it forever.
  setsid Xvfb "$BJ_DISPLAY" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 </dev/null 9>&- &
  for _ in $(seq 1 100); do bj_display_up && return 0; sleep 0.1; done
  echo "wine-env: Xvfb on $BJ_DISPLAY did not start" >&2
  return 1
}

# The loader for a Windows program: the 32-bit one for an i686 exe, in the same prefix.
bj_loader() {  # exe
  local at machine
  at=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' ')
  if [ "$machine" = 014c ]; then echo "$BJ_WINE32"; else echo "$BJ_WINE64"; fi
}

bj_reg() { DISPLAY=$BJ_DISPLAY bj_as_user "$BJ_WINE64" reg add "$@" /f >/dev/null 2>&1; }

# The prefix is made once: Wine's desktop with a taskbar (it has a notification
# area and keeps exit codes) and no window-manager stalls.
bj_prepare_prefix() {
  # A prefix made before the 32-bit Wine was installed lacks its 32-bit half: its syswow64
  # folder is there, but empty.
  if [ -f "$WINEPREFIX/.bj-ready" ] && [ -x "$BJ_WINE32" ] &&
    [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    # A persistent server would never let the wait below end; without its time stamp the
    # same Wine version updates the prefix all the same.
    bj_as_user "$BJ_WINESERVER" -k >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX/.update-timestamp"
    DISPLAY=$BJ_DISPLAY bj_as_user "$BJ_WINE64" wineboot -u >/dev/null 2>&1
    bj_as_user "$BJ_WINESERVER" -w
    rm -rf "$WINEPREFIX/wineserver"
  fi
  [ -f "$WINEPREFIX/.bj-ready" ] && return 0
  DISPLAY=$BJ_DISPLAY bj_as_user "$BJ_WINE64" wineboot -i >/dev/null 2>&1
  bj_as_user "$BJ_WINESERVER" -w
  bj_reg 'HKCU\Software\Wine\Explorer' /v Desktop /d shell
  bj_reg 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768
  bj_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  [ -z "${BJ_WINE_DPI:-}" ] || bj_reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$BJ_WINE_DPI"
  bj_as_user "$BJ_WINESERVER" -w
  rm -rf "$WINEPREFIX/wineserver"
  bj_as_user touch "$WINEPREFIX/.bj-ready"
}

# A persistent server makes each program start take a fraction of a second.
bj_start_wineserver() {
  bj_as_user "$BJ_WINESERVER" -p >/dev/null 2>&1 9>&- || true
}

bj_wine_ready() {
  (
    flock 9
    bj_prepare_state && bj_start_display && bj_prepare_prefix && bj_start_wineserver
  ) 9>"/tmp/briskjot-wine.lock"
}

bj_wine_stop() {
  bj_as_user "$BJ_WINESERVER" -k >/dev/null 2>&1 || true
}
