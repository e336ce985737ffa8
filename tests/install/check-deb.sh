#!/usr/bin/env bash
# Builds the Debian package from the build folder (what `make deb` does after building) and
# checks it: its name, its declared dependencies, and that its files unpacked into a scratch
# root are exactly what `cmake --install` lays out under /usr.
# Usage: check-deb.sh BUILD_DIR VERSION   (skipped when cpack, dpkg-deb or dpkg-shlibdeps is missing)
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool missing"; exit 0; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

version=$2
arch=$(dpkg --print-architecture)
deb=$build/quillon_${version}_${arch}.deb
rm -f "$deb"
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail cpack; }
[ -f "$deb" ] || fail "no $(basename "$deb")"

dpkg-deb -I "$deb" | tee "$work/info"
depends=$(sed -n 's/^ Depends: //p' "$work/info")
for p in libqt6core6 libqt6widgets6 libqt6webenginewidgets6 libqt6webenginecore6-bin \
         libqt6webengine6-data libtidy5deb1 libc6 libstdc++6; do
  sed 's/, /\n/g; s/ ([^)]*)//g' <<<"$depends" | grep -qxF "$p" || fail "Depends lacks $p: $depends"
done

dpkg -x "$deb" "$work/root"
DESTDIR=$work/installed cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/root" && find . -type f | sort) >"$work/deb.list"
(cd "$work/installed" && find . -type f | sort) >"$work/install.list"
diff "$work/install.list" "$work/deb.list" || fail "the package's files differ from the install"
for f in $(grep -v '^./usr/bin/' "$work/deb.list"); do
  cmp -s "$work/root/$f" "$work/installed/$f" || fail "$f differs"
done
echo "package $(basename "$deb") checked"
