# Starts Xvfb on a free display and, for each Windows architecture asked for, a persistent
# wineserver over that build's Wine prefix; stops them all when the calling script exits
# (sourced, not run).
#   start_wine_session 64 [32]
source "$(dirname "${BASH_SOURCE[0]}")/arch.sh"

start_wine_session() {
  WINE_SESSION_BITS=("$@")
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  trap stop_wine_session EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  # The prefixes are independent: prepare them side by side.
  local bits pids=()
  for bits in "$@"; do
    prepare_wine_prefix "$bits" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || true; done
}

# prepare_wine_prefix BITS: the prefix (created once), its wineserver, its services, its settings.
prepare_wine_prefix() (
  wine_arch_env "$1"
  create_wine_prefix
  wineserver -p 2>/dev/null || true
  # Start Wine's background services now, away from any test's output pipes: a service that
  # inherited a pipe would keep CTest waiting for it to close.
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
  # Xvfb runs no window manager: unmanaged windows spare Wine its wait for one whenever a shown
  # window is destroyed (seconds per test otherwise).
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
)

stop_wine_session() {
  local bits
  for bits in "${WINE_SESSION_BITS[@]}"; do
    (wine_arch_env "$bits" && wineserver -k >/dev/null 2>&1) || true
  done
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}
