#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Nimbrel needs.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git clang-format
  # Qt and coroutines
  qt6-base-dev qt6-base-private-dev qt6-declarative-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtqml-workerscript qml6-module-qtquick-templates
  qcoro-qt6-dev
  qt6-declarative-dev-tools qml6-module-qtqml  # the format test's qmllint, and QtQml's types for it
  libqt6svg6  # the qsvg image plugin that draws the symbols
  # engine: locale, desktop entries, X11
  libicu-dev libglib2.0-dev libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-res0-dev
  libxcb-xinput-dev  # the tray panel hears every click outside it, whoever holds the pointer
  # apps on a call: PipeWire's client library, and a daemon and pw-record for the tests
  libpipewire-0.3-dev pipewire pipewire-bin
  # tests and benchmarks: a real X server, a window manager, client apps, a session bus
  xvfb openbox x11-utils xdotool dbus dbus-x11 python3 python3-gi gir1.2-gtk-3.0
  util-linux procps smem adwaita-icon-theme hicolor-icon-theme fonts-dejavu-core
  # login item tests: desktop-entry checks and launchers
  desktop-file-utils dex libglib2.0-bin
  # install and package: the icon drawn at build time, metadata checks, man page, completions,
  # the .deb (dpkg-shlibdeps)
  librsvg2-bin appstream man-db bash-completion zsh dpkg-dev file
  # tray program tests: an XEmbed tray and the accessibility bus
  trayer at-spi2-core python3-pyatspi
  # the real trays the tray item is tested in: XFCE's panel under its window manager (and the
  # settings daemon it reads its layout from), tint2, and the screenshots the moon is measured in
  xfce4-panel xfwm4 xfconf tint2 imagemagick
  kwin-x11  # KDE's X11 window manager, under which the panel's window cases run again
  gnome-shell gnome-shell-extension-appindicator  # GNOME's top bar with its tray extension
  xserver-xorg-video-dummy  # two monitors that Qt sees as two screens: Xorg's dummy driver
  # Wayland: the client library and protocols, a headless sway with Xwayland, Wayland clients
  libwayland-dev wayland-protocols sway xwayland x11-xserver-utils foot qt6-wayland wtype
  grim  # screenshots of the sway tests' screen: where the panel shows
  waybar  # the bar sway users put their tray in
  mutter  # GNOME's compositor, run headless by the GNOME app-unit tests
  plasma-wayland-protocols kwin-wayland  # KDE Plasma: its window-list protocol, KWin for the tests
  # adversarial X clients and a window manager without a client list
  python3-xlib twm
  # update check: OpenSSL for HTTPS, and the tests' throwaway certificate
  openssl
  # scripts/stress-test.sh: keeps a core busy while the suite runs
  stress-ng
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
