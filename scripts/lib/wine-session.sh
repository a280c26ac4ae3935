# Zorvik's Windows programs under Wine, for scripts that source this file (scripts/demo
# --windows, tests/e2e/windows_demo_test.sh): 64-bit Wine alone (this machine runs no 32-bit
# code, and wine32 would make the `wine` wrapper pick a 32-bit loader), a Wine prefix of our own,
# and a virtual X display with Wine's server on it.
#
#   wine_packages                 installs what the functions below need (Debian packages)
#   wine_prefix DIR DPI           uses DIR as the Wine prefix (made when missing), DPI dots per inch
#   wine_session_start WORK       a virtual display (1024x768) and Wine's server and system
#                                 programs on it; WORK keeps the display's messages
#   wine_session_end              Wine's programs ended, then the display
#   wine64 PROGRAM.exe ARGS...    runs a Windows program
#   $wine_loader                  Wine's 64-bit loader itself (to start a program in the
#                                 background and keep its process number)
#   windows_path PATH             the Windows name of a Linux path (Z:\...)
#
# The prefix gets Wine's own fonts. Registry values of the prefix: no crash dialog (a crash must
# end the program, not wait on a dialog nobody sees); Managed=N, because no window manager runs on
# the virtual display and Wine would wait on it for every window it hides; LogPixels, the DPI the
# window lays itself out at.

wine_loader=/usr/lib/wine/wine64

wine_packages() {
  # fonts-wine: Wine's own fonts, "MS Sans Serif" among them, which Zorvik's window asks for.
  "$(dirname "${BASH_SOURCE[0]}")/../install-packages" wine wine64 fonts-wine xvfb xauth
  [ -x "$wine_loader" ] || wine_loader=$(command -v wine64)
}

wine64() { "$wine_loader" "$@"; }

windows_path() {
  local path=${1//\//\\}
  printf 'Z:%s' "$path"
}

wine_prefix() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko: their installers would ask on a dialog.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local dpi=$2
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine64 wineboot --init >/dev/null 2>&1
  fi
  # Wine as Debian builds it does not look where fonts-wine puts Wine's own fonts; copied into
  # the prefix's Fonts folder (where Windows keeps the fonts programs may ask for) they are found.
  # Without them "MS Sans Serif" and the title bar's buttons are drawn with whatever font
  # fontconfig offers.
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  [ -f "$fonts/sserife.fon" ] || cp /usr/share/wine/fonts/* "$fonts/"
  # A server started without a display cannot make windows later: this one ends before the
  # session starts its own.
  if ! grep -q "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" "$WINEPREFIX/user.reg" 2>/dev/null ||
    ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"; then
    wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
  fi >/dev/null 2>&1
  wineserver -w
}

wine_session_start() {
  local work=$1
  rm -f "$work/display"
  # Xvfb picks a free display and writes its number once clients may connect.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
  wine_xvfb_pid=$!
  local _
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$wine_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    cat "$work/xvfb.err" >&2
    echo "no virtual display" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$work/display")"
  # Wine's server and its system programs start first and on their own: started by a program of
  # ours they would keep its output open.
  wineserver -p5 </dev/null >/dev/null 2>&1
  wine64 wineboot </dev/null >/dev/null 2>&1
}

wine_session_end() {
  [ -n "${wine_xvfb_pid:-}" ] || return 0
  # Every Wine program ends before the display does; one left running after a failure (a
  # program the scripted user could not close) is ended after a minute.
  timeout 60 wineserver -w || wineserver -k
  kill "$wine_xvfb_pid" 2>/dev/null || true
  wait "$wine_xvfb_pid" 2>/dev/null || true
  wine_xvfb_pid=""
}
