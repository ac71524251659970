#!/usr/bin/env bash
# Builds the Debian package and checks it from outside: the exact list of files
# it installs (so that no test or helper program slips in), the same list from
# `cmake --install`, its declared dependencies, the desktop entry, the icon
# sizes, the manual page against cm3db's own commands, and the installed
# programs' --version run by an ordinary user.
#   check-package.sh BUILD_DIR CPACK CMAKE VERSION
set -euo pipefail
build="$1" cpack="$2" cmake="$3" version="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$work/pkg" >"$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/pkg/cm3edit_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one cm3edit_*.deb, found: ${debs[*]}"
deb="${debs[0]}"

expected="usr/bin/cm3db
usr/bin/tolvedit
usr/share/applications/tolvedit.desktop
usr/share/doc/cm3edit/LICENSE
usr/share/doc/cm3edit/README.md
usr/share/icons/hicolor/scalable/apps/tolvedit.svg
usr/share/man/man1/cm3db.1.gz
usr/share/man/man1/tolvedit.1.gz"
for size in 16 24 32 48 64 128 256; do
  expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/tolvedit.png"
done
expected="$(sort <<<"$expected")"

# Files only (directories are listed with a trailing slash).
files="$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./||' | grep -v '/$' | sort)"
diff <(echo "$expected") <(echo "$files") >&2 || fail "the package's files differ from the list above (< expected, > packaged)"

"$cmake" --install "$build" --prefix "$work/prefix/usr" >/dev/null
installed="$(cd "$work/prefix" && find . -type f | sed 's|^\./||' | sort)"
diff <(echo "$expected") <(echo "$installed") >&2 || fail "cmake --install puts other files than the package"

[ "$(dpkg-deb -f "$deb" Package)" = cm3edit ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "package version $(dpkg-deb -f "$deb" Version), not $version-1"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
chmod 755 "$work"
desktop-file-validate "$root/usr/share/applications/tolvedit.desktop" || fail "desktop entry"
grep -qx 'Exec=tolvedit' "$root/usr/share/applications/tolvedit.desktop" || fail "desktop entry does not start tolvedit"
grep -qx 'Icon=tolvedit' "$root/usr/share/applications/tolvedit.desktop" || fail "desktop entry does not name the icon"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/tolvedit.png"
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
  [ "$w $h" = "$size $size" ] || fail "$png is ${w}x$h"
done

# The manual page describes every command cm3db has.
page="$(gzip -dc "$root/usr/share/man/man1/cm3db.1.gz")"
commands="$("$root/usr/bin/cm3db" --help | awk '/^Subcommands:/ {on=1; next} on && NF {print $1}')"
[ -n "$commands" ] || fail "cm3db --help lists no commands"
for c in $commands; do
  grep -q "^\.BI \"$c " <<<"$page" || fail "the manual page lacks the command $c"
done

# The installed programs run for an ordinary user, without a display.
as_user=()
if [ "$(id -u)" -eq 0 ]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
for program in cm3db tolvedit; do
  out="$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" "${as_user[@]}" "$root/usr/bin/$program" --version)"
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
done
echo "package $(basename "$deb") checked"
