#!/usr/bin/env bash
# cmake --install into a scratch prefix: the layout, and the installed programs run from there.
# Usage: install_test.sh BUILD_FOLDER
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$1" --prefix "$prefix" >/dev/null
[ -x "$prefix/lib/albavox/albavox" ] || fail "lib/albavox/albavox"
[ -f "$prefix/lib/albavox/MPEGDLL.DLL" ] || fail "lib/albavox/MPEGDLL.DLL"
[ "$(readlink "$prefix/bin/albavox")" = ../lib/albavox/albavox ] || fail "bin/albavox is not a relative link"
[ "$("$prefix/bin/albavox" --version)" = "albavox 2.0" ] || fail "installed albavox --version"
for size in 16 24 32 48 64 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/albavox.png" ] || fail "icon ${size}x${size}"
done
zcat "$prefix/share/man/man1/albavox.1.gz" | grep -q '^\.TH ALBAVOX 1' || fail "albavox(1)"
# The decoder library found through the installed layout, not the build folder.
music=$prefix/compilation
mkdir -p "$music/Album"
"$prefix/bin/albaindex" --with-decoder "$music"
cmp -s "$music/MPEGDLL.DLL" "$prefix/lib/albavox/MPEGDLL.DLL" || fail "albaindex --with-decoder"
echo "install ok"
