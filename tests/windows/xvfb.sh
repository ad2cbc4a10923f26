# An X server of one's own for the Windows dialogs under Wine (Wine makes
# no window without a display). Sourced by tests/windows/run.sh.
#   xvfb_start DIR  starts Xvfb on a display number no other server has (it
#                   picks the first free one itself), with its screen in
#                   DIR/Xvfb_screen0 for screenshots; exports DISPLAY and
#                   XVFB_SCREEN. Fails, saying why, when it has not started
#                   within 10 seconds.
#   xvfb_stop       ends it.
xvfb_start() {
  mkdir -p "$1"
  rm -f "$1/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -fbdir "$1" -nolisten tcp 3>"$1/display" >"$1/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$1/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! [ -s "$1/display" ]; then
    echo "Xvfb has not started: $(cat "$1/xvfb.log")"
    xvfb_stop
    return 1
  fi
  DISPLAY=:$(cat "$1/display")
  XVFB_SCREEN=$1/Xvfb_screen0
  export DISPLAY XVFB_SCREEN
}

xvfb_stop() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
