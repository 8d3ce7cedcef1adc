# shellcheck shell=bash
# A real desktop for a test script, sourced: Xvfb on a free display, a D-Bus
# session with the accessibility bus, and the openbox window manager.
#
#   desktop_session_need NAME TOOL...   exit 77 (skipped) naming a missing piece
#   desktop_session_start NAME WORK     start it all; exports DISPLAY, HOME,
#                                       XDG_RUNTIME_DIR, XDG_CONFIG_HOME and
#                                       DBUS_SESSION_BUS_ADDRESS (all under WORK)
#   desktop_session_stop                end what was started (for the EXIT trap)

desktop_session_pids=()
desktop_session_dbus=""
desktop_session_launcher=/usr/libexec/at-spi-bus-launcher

desktop_session_need() {
  local name=$1 tool
  shift
  for tool in Xvfb openbox dbus-daemon wmctrl xdotool "$@"; do
    command -v "$tool" >/dev/null || { echo "$name: $tool is missing; skipped"; exit 77; }
  done
  [ -x "$desktop_session_launcher" ] || { echo "$name: at-spi-bus-launcher (at-spi2-core) is missing; skipped"; exit 77; }
  /usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "$name: pyatspi (python3-pyatspi) is missing; skipped"; exit 77; }
}

desktop_session_start() {
  local name=$1 work=$2 bus wm
  # Xvfb picks a free display and names it once it accepts clients.
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  desktop_session_pids+=("$!")
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "$name: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY

  mkdir -m 700 "$work/run"
  export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config HOME=$work
  bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || { echo "$name: no D-Bus session"; exit 1; }
  DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | sed -n 1p)
  export DBUS_SESSION_BUS_ADDRESS
  desktop_session_dbus=$(echo "$bus" | sed -n 2p)
  "$desktop_session_launcher" --launch-immediately >"$work/atspi.log" 2>&1 &
  desktop_session_pids+=("$!")
  # The window manager, started again when it gives up early (a loaded machine
  # can be slow to let a second client onto a new display).
  for _ in 1 2 3; do
    openbox >>"$work/openbox.log" 2>&1 &
    wm=$!
    desktop_session_pids+=("$wm")
    for _ in $(seq 200); do
      wmctrl -m >/dev/null 2>&1 && return 0
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
    sleep 0.5
  done
}

desktop_session_stop() {
  local pid
  for pid in "${desktop_session_pids[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$desktop_session_dbus" ] && kill "$desktop_session_dbus" 2>/dev/null
  wait 2>/dev/null
}
