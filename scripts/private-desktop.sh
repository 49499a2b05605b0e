# Sourced by scripts that need a desktop of their own: starts Xvfb (it picks its own display),
# a session bus, openbox and trayer in a throwaway home, and stops them when the script exits.
# Afterwards $work is a scratch folder and DISPLAY, HOME and XDG_CONFIG_HOME point at the desktop.
work=$(mktemp -d)
desktop_pids=()
stop_private_desktop() {
  for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap stop_private_desktop EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
desktop_pids+=($!)
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
eval "$(dbus-launch --sh-syntax)"
desktop_pids+=("$DBUS_SESSION_BUS_PID")
openbox --sm-disable >/dev/null 2>&1 &
desktop_pids+=($!)
trayer --edge top --align right --widthtype request --height 24 --SetDockType true &
desktop_pids+=($!)
sleep 1
