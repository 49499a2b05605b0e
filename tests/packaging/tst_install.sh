#!/usr/bin/env bash
# Installs a built tree into a throwaway prefix and checks what a desktop, AppStream, man and
# bash make of it. Usage: tst_install.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 id=$3

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/nimbrel
  bin/nimbrelctl
  libexec/nimbrel/nimbrelctl-commands.so
  "share/applications/$id.desktop"
  "share/applications/$id.ctl.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  "share/icons/hicolor/symbolic/apps/$id-symbolic.svg"
  "share/icons/$id-symbolic.svg"
  share/man/man1/nimbrelctl.1.gz
  share/bash-completion/completions/nimbrelctl
  share/zsh/vendor-completions/_nimbrelctl
)
for size in 16 22 24 32 48 64 128 256 512; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[[ $installed == "$wanted" ]] || fail "installed files differ: $(diff <(echo "$wanted") <(echo "$installed") || true)"
for size in 16 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "$size x $size" ||
    fail "the ${size}px icon is not ${size}px"
done

# desktop-file-utils before 0.27 predates the Desktop Entry 1.5 key SingleMainWindow.
desktop=$prefix/share/applications/$id.desktop
problems=$(desktop-file-validate "$desktop" | grep -v 'key "SingleMainWindow"' || true)
[[ -z $problems ]] || fail "desktop-file-validate: $problems"
# KWin trusts a program with its window list only through an entry naming its absolute path.
grep -qx "Exec=$prefix/bin/nimbrel" "$desktop" || fail "the desktop entry does not start nimbrel"
ctl=$prefix/share/applications/$id.ctl.desktop
problems=$(desktop-file-validate "$ctl" || true)
[[ -z $problems ]] || fail "desktop-file-validate: $problems"
grep -qx "Exec=$prefix/bin/nimbrelctl list" "$ctl" || fail "nimbrelctl's entry names another program"
for entry in "$desktop" "$ctl"; do
  grep -qx "X-KDE-Wayland-Interfaces=org_kde_plasma_window_management" "$entry" ||
    fail "$entry does not ask KDE Plasma for its window list"
done
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || appstreamcli validate --no-net "$metainfo" >&2 ||
  fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo launches another desktop entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
[[ $("$prefix/bin/nimbrelctl" --version) == "nimbrelctl $version" ]] || fail "nimbrelctl --version"
# Without a display a command gets as far as the desktop, so its module loaded from the prefix.
listed=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/nimbrelctl" list 2>&1 || true)
grep -q "cannot see the desktop" <<<"$listed" || fail "nimbrelctl list: $listed"

page=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/nimbrelctl.1.gz" 2>"$prefix/man.err")
[[ ! -s $prefix/man.err ]] || fail "man warns: $(cat "$prefix/man.err")"
grep -q "nimbrelctl - list and politely quit" <<<"$page" || fail "man page has no NAME line"
grep -q "^EXIT STATUS" <<<"$page" || fail "man page has no EXIT STATUS"
grep -q "Nimbrel $version" <<<"$page" || fail "man page is not for version $version"

# bash-completion finds the script by itself, through XDG_DATA_DIRS, as it would under /usr.
completed=$(XDG_DATA_DIRS="$prefix/share" bash --norc --noprofile -c '
  . /usr/share/bash-completion/bash_completion
  _completion_loader nimbrelctl
  function=$(complete -p nimbrelctl | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
  COMP_WORDS=(nimbrelctl "$1"); COMP_CWORD=1; COMP_LINE="nimbrelctl $1"; COMP_POINT=${#COMP_LINE}
  "$function" nimbrelctl "$1" nimbrelctl
  echo "${COMPREPLY[*]}"' bash qu)
[[ $completed == quit ]] || fail "bash completes 'nimbrelctl qu' to '$completed'"
zsh -n "$prefix/share/zsh/vendor-completions/_nimbrelctl" || fail "zsh cannot read its completion"
echo "ok"
