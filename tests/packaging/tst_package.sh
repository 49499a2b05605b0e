#!/usr/bin/env bash
# Builds the .deb from a built tree, installs it into a throwaway root, runs it, removes it.
# Usage: tst_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$work/out/nimbrel_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $deb"

[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6quick6 libicu72 qml6-module-qtquick-controls; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$' || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"

# apt resolves Depends against this Debian release as a fresh machine would.
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get cannot install the package"; }
grep -q "^Inst nimbrel " "$work/apt.log" || fail "apt-get would not install nimbrel"

# A throwaway root whose package database holds only the dependencies, as installed here, so
# dpkg checks Depends for real; the programs then run on this machine's libraries.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/available"
names=$(sed -e 's/([^)]*)//g' -e 's/[ ,]\+/\n/g' <<<"$depends" | grep . | sort -u)
# A virtual name (qt6-base-abi) is met by the installed package that provides it.
provided=$(dpkg-query -W -f '${binary:Package} ${Provides}\n' | sed 's/([^)]*)//g')
for name in $names; do
  dpkg-query -s "$name" >/dev/null 2>&1 && continue
  provider=$(awk -v n="$name" '{for (i = 2; i <= NF; i++) {p = $i; sub(",", "", p); if (p == n) print $1}}' <<<"$provided" | head -1)
  [[ -n $provider ]] || fail "nothing installed here provides $name"
  names=$(printf '%s\n' $names "$provider" | grep -vx "$name" | sort -u)
done
# shellcheck disable=SC2086
dpkg-query -s $names >"$root/var/lib/dpkg/status" || fail "a dependency is not installed here"
# shellcheck disable=SC2086
for package in $(dpkg-query -W -f '${binary:Package}\n' $names); do
  touch "$root/var/lib/dpkg/info/$package.list"
done
dpkg --root="$root" --install "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg --install"; }
dpkg-query --admindir="$root/var/lib/dpkg" -W -f '${Status}' nimbrel | grep -q "install ok installed" ||
  fail "nimbrel is not installed"
[[ $("$root/usr/bin/nimbrelctl" --version) == "nimbrelctl $version" ]] ||
  fail "the installed nimbrelctl does not run"
[[ -x $root/usr/bin/nimbrel ]] || fail "no /usr/bin/nimbrel"

dpkg --root="$root" --purge nimbrel >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg --purge"; }
left=$(find "$root" -path "$root/var/lib/dpkg" -prune -o ! -type d -print)
[[ -z $left ]] || fail "left behind: $left"
echo "ok"
