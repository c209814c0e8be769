# Starts Xvfb on a free display and a persistent wineserver over the build's Wine prefix, and
# stops both when the calling script exits (sourced, not run).
start_wine_session() {
  export WINEPREFIX="$LUMAGROVE_BUILD/wine-prefix" WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  trap stop_wine_session EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
  fi
  wineserver -p 2>/dev/null || true
  # Start Wine's background services now, away from any test's output pipes: a service that
  # inherited a pipe would keep CTest waiting for it to close.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # Xvfb runs no window manager: unmanaged windows spare Wine its wait for one whenever a shown
  # window is destroyed (seconds per test otherwise).
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
}

stop_wine_session() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}
