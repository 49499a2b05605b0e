#!/usr/bin/env bash
# Draws the README's pictures: the panel in both themes and in German (nimbrel-preview), the program's own
# window snapshots (--snapshot-windows, into docs/snapshots) and the tray panel opened over a
# small desktop (its own Xvfb, openbox and trayer, with a few stand-in apps).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
out=docs
mkdir -p "$out"
build/Nimbrel/nimbrel-preview "$out/panel-light.png"
build/Nimbrel/nimbrel-preview --dark "$out/panel-dark.png"
LANGUAGE= LC_ALL= LC_MESSAGES= LANG=de_DE.UTF-8 build/Nimbrel/nimbrel-preview "$out/panel-german.png"

source scripts/private-desktop.sh
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME/nimbrel"

# Stand-in apps with desktop entries, so the panel shows names and icons as for real ones.
while IFS='|' read -r id name icon; do
  printf '[Desktop Entry]\nType=Application\nName=%s\nIcon=%s\nExec=true\nStartupWMClass=%s\n' \
    "$name" "$icon" "$id" >"$XDG_DATA_HOME/applications/$id.desktop"
  /usr/bin/python3 scripts/screenshot/app.py "$id" "$name" &
  desktop_pids+=($!)
done <<'APPS'
org.example.Editor|Text Editor|accessories-text-editor
org.example.Terminal|Terminal|utilities-terminal
org.example.Files|Files|system-file-manager
org.example.Music|Music|audio-x-generic
APPS

build/Nimbrel/nimbrel --snapshot-windows "$PWD/$out/snapshots"

# No tutorial: the picture shows a user who has seen it.
printf '[General]\nTutorialSeen=true\nLoginItemDecided=true\n' \
  >"$XDG_CONFIG_HOME/nimbrel/dev.corvane.Nimbrel.conf"
sleep 2
build/Nimbrel/nimbrel &
desktop_pids+=($!)
sleep 3
# The moon is the tray's only icon: the right end of trayer's panel.
tray=$(xdotool search --classname panel | head -n1)
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + WIDTH - 12)) $((Y + HEIGHT / 2)) click 1
sleep 2
/usr/bin/python3 scripts/screenshot/grab.py "$out/desktop.png"
echo "screenshot: wrote $out/panel-light.png, $out/panel-dark.png, $out/panel-german.png," \
  "$out/desktop.png and $out/snapshots/"
