#!/usr/bin/env bash
# Draws the README's pictures: the panel in both themes (nimbrel-preview), and the tray panel
# opened over a small desktop (its own Xvfb, openbox and trayer, with a few stand-in apps).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
out=docs
mkdir -p "$out"
build/Nimbrel/nimbrel-preview "$out/panel-light.png"
build/Nimbrel/nimbrel-preview --dark "$out/panel-dark.png"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME/nimbrel"
chmod 700 "$XDG_RUNTIME_DIR"
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
openbox --sm-disable &
pids+=($!)
trayer --edge top --align right --widthtype request --height 24 --SetDockType true &
pids+=($!)

# Stand-in apps with desktop entries, so the panel shows names and icons as for real ones.
while IFS='|' read -r id name icon; do
  printf '[Desktop Entry]\nType=Application\nName=%s\nIcon=%s\nExec=true\nStartupWMClass=%s\n' \
    "$name" "$icon" "$id" >"$XDG_DATA_HOME/applications/$id.desktop"
  /usr/bin/python3 scripts/screenshot/app.py "$id" "$name" &
  pids+=($!)
done <<'APPS'
org.example.Editor|Text Editor|accessories-text-editor
org.example.Terminal|Terminal|utilities-terminal
org.example.Files|Files|system-file-manager
org.example.Music|Music|audio-x-generic
APPS

# No tutorial: the picture shows a user who has seen it.
printf '[General]\nTutorialSeen=true\nLoginItemDecided=true\n' \
  >"$XDG_CONFIG_HOME/nimbrel/dev.corvane.Nimbrel.conf"
sleep 2
build/Nimbrel/nimbrel &
pids+=($!)
sleep 3
# The moon is the tray's only icon: the right end of trayer's panel.
tray=$(xdotool search --classname panel | head -n1)
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + WIDTH - 12)) $((Y + HEIGHT / 2)) click 1
sleep 2
/usr/bin/python3 scripts/screenshot/grab.py "$out/desktop.png"
echo "screenshot: wrote $out/panel-light.png, $out/panel-dark.png and $out/desktop.png"
