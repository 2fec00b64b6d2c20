#!/usr/bin/env bash
# The Debian package unpacked into a scratch folder: its files, its dependencies, and the unpacked
# programs run from there: albavox --version, albaindex --with-decoder on a compilation, and
# albavox started on it with the desktop entry's command line and driven over MPRIS.
# Usage: deb_test.sh PACKAGE_FOLDER
set -euo pipefail
deb=$(ls "$1"/albavox_*.deb)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for f in usr/lib/albavox/albavox usr/lib/albavox/MPEGDLL.DLL usr/bin/albaindex usr/bin/mp3report \
         usr/share/man/man1/albavox.1.gz usr/share/man/man1/albaindex.1.gz usr/share/man/man1/mp3report.1.gz \
         usr/share/applications/org.albavox.Albavox.desktop usr/share/metainfo/org.albavox.Albavox.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/albavox.svg usr/share/icons/hicolor/48x48/apps/albavox.png; do
  [ -f "$root/$f" ] || fail "$f missing from the package"
done
[ "$(readlink "$root/usr/bin/albavox")" = ../lib/albavox/albavox ] || fail "usr/bin/albavox is not a link to the private folder"
file_type=$(head -c 24 "$root/usr/share/icons/hicolor/48x48/apps/albavox.png" | od -An -tx1 | tr -d ' \n')
[ "${file_type:32:16}" = 0000003000000030 ] || fail "the 48x48 icon is not 48 x 48 ($file_type)"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6dbus6 libmpg123-0 libasound2 libjpeg62-turbo qt6-qpa-plugins; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

[ "$("$root/usr/bin/albavox" --version)" = "albavox 2.0" ] || fail "albavox --version"
set +e
"$root/usr/bin/albavox" "$scratch/nowhere" 2>"$scratch/err"
code=$?
set -e
[ $code -eq 2 ] || fail "a missing folder ends with $code, not 2"
grep -q "no such folder" "$scratch/err" || fail "a missing folder is not named: $(cat "$scratch/err")"
"$root/usr/bin/mp3report" --help >/dev/null || fail "mp3report --help"

# A compilation of one album with one tagged song (a second of silence).
music=$scratch/Compilation
mkdir -p "$music/Alba"
head -c 88200 /dev/zero | lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m m -b 64 \
  --id3v1-only --tt "Mattino" --ta "Orchestra Demo" --tl "Alba" - "$music/Alba/01.mp3"
"$root/usr/bin/albaindex" --title "Demo" --with-decoder "$music" || fail "albaindex --with-decoder"
[ -f "$music/ALBUMS.INF" ] || fail "no ALBUMS.INF written"
cmp -s "$music/MPEGDLL.DLL" "$root/usr/lib/albavox/MPEGDLL.DLL" || fail "the compilation's MPEGDLL.DLL is not the installed one"

# The desktop entry's command line with the folder in place of %f, on a private session bus.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/org.albavox.Albavox.desktop")
command=${exec_line//%f/$music}
[ "$command" = "albavox $music" ] || fail "unexpected Exec line: $exec_line"
cd "$scratch"
PATH=$root/usr/bin:$PATH QT_QPA_PLATFORM=offscreen dbus-run-session -- bash -c '
  set -u
  '"$command"' &
  pid=$!
  get() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.albavox /org/mpris/MediaPlayer2 \
      org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:"$1" 2>/dev/null
  }
  for i in $(seq 100); do get PlaybackStatus >/dev/null && break; sleep 0.1; done
  get PlaybackStatus | grep -q "\"Stopped\"" || { echo "FAIL: no player on the bus" >&2; kill $pid; exit 1; }
  get Metadata | grep -A1 "xesam:title" | grep -q "\"Mattino\"" || { echo "FAIL: title not offered" >&2; get Metadata >&2; kill $pid; exit 1; }
  get CanPlay | grep -q "boolean true" || { echo "FAIL: cannot play" >&2; kill $pid; exit 1; }
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.albavox /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Quit >/dev/null
  for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "FAIL: Quit did not end the program" >&2; kill $pid; exit 1; fi
  wait $pid
' || fail "albavox over MPRIS"
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes"
