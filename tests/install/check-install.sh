#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks it as a user's desktop would see
# it: the layout, the menu entry and the metainfo by their validators, then the installed
# program started under Xvfb with its install folder read-only: its per-user folder is made and
# seeded, a page given on the command line opens, and a second start keeps what the first wrote
# and replaces nothing the user changed.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
id=example.quillon.Quillon

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# --- the layout
for f in bin/quillon share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/128x128/apps/$id.png share/quillon/help/welcome.out; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/quillon" ] || fail "bin/quillon is not executable"
file "$prefix/share/icons/hicolor/48x48/apps/$id.png" | grep -q '48 x 48' || fail "48 px icon"
file "$prefix/share/icons/hicolor/128x128/apps/$id.png" | grep -q '128 x 128' || fail "128 px icon"
# The program data is every file under data/ plus the dictionaries the build made, and nothing
# the program writes at run time.
diff -rq "$source/data/help" "$prefix/share/quillon/help" || fail "help/ differs from data/help/"
for f in "$build"/quillon/spell/*.dct "$build"/quillon/spell/*.frq; do
  [ -e "$f" ] || continue
  cmp -s "$f" "$prefix/share/quillon/spell/$(basename "$f")" || fail "spell/$(basename "$f")"
done
stray=$(cd "$prefix/share/quillon" && find . -iname '*.ini' -o -name projects -o -name backup \
          -o -name '*.udt' -o -name spell.cfg -o -name 'new.*')
[ -z "$stray" ] || fail "run-time files installed: $stray"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
grep -qx 'Exec=quillon %F' "$prefix/share/applications/$id.desktop" || fail "Exec line"

# --- the installed program, its folder read-only
if [ "${QUILLON_SKIP_START:-}" = 1 ] || ! command -v xvfb-run >/dev/null ||
   ! command -v xdotool >/dev/null; then
  echo "layout checked; xvfb-run or xdotool missing: the start was not tried"
  exit 0
fi
chmod -R a-w "$prefix"
home=$work/home
mkdir -p "$home" "$work/site"
printf '<HTML>\n<BODY>Hello</BODY>\n</HTML>\n' > "$work/site/page.html"
printf 'Home\r\n' > "$work/site/site.out"
printf '%s\r\n' "$work/site/page.html" > "$work/site/site.fil"
touch "$work/stamp"
user=$home/data/quillon

# One start under Xvfb: waits for the main window by its title, then stops the program.
cat > "$work/inside.sh" <<INSIDE
set -euo pipefail
title=\$1; shift
(cd "$work/site" && HOME="$home" XDG_DATA_HOME="$home/data" exec "$prefix/bin/quillon" "\$@" \
   >"$work/out.log" 2>&1) &
pid=\$!
# The start-up banner carries the title too; the main window is the one that fills the screen.
win=
for i in \$(seq 1 180); do
  for w in \$(xdotool search --onlyvisible --name "\$title" 2>/dev/null); do
    # A window may go between the search and this question (a start-up window closing).
    width=\$(xdotool getwindowgeometry --shell "\$w" 2>/dev/null | sed -n 's/^WIDTH=//p') || true
    if [ "\${width:-0}" -ge 1000 ]; then win=\$w; break 2; fi
  done
  sleep 0.5
done
if [ -z "\$win" ]; then
  kill \$pid; cat "$work/out.log" >&2; echo "FAIL: no main window named \$title" >&2; exit 1
fi
echo "window: \$(xdotool getwindowname "\$win") \$(xdotool getwindowgeometry "\$win" | tail -1)"
sleep 1
kill \$pid; wait \$pid 2>/dev/null || true
INSIDE
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/inside.sh" '^Ostra Quillon Pro$' page.html ||
  fail "first start"

[ -d "$user/projects" ] && [ -d "$user/backup" ] || fail "projects/ and backup/ not made"
cmp -s "$prefix/share/quillon/help/welcome.out" "$user/help/welcome.out" || fail "not seeded"
for f in "$prefix"/share/quillon/spell/*; do
  cmp -s "$f" "$user/spell/$(basename "$f")" || fail "spell/$(basename "$f") not seeded"
done
grep -q "^Location=$work/site/" "$user/DEFAULT.INI" || fail "page.html did not open"
[ -z "$(find "$prefix" -newer "$work/stamp")" ] || fail "the program wrote into its install folder"

# The user's changes: a changed help page stays, a removed dictionary comes back.
chmod u+w "$user/help/welcome.fil"
printf 'mine\r\n' > "$user/help/welcome.fil"
rm -f "$user"/spell/*.frq
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/inside.sh" \
  "^Ostra Quillon Pro:  $work/site/site.out\$" site.out || fail "second start"
[ "$(cat "$user/help/welcome.fil")" = "$(printf 'mine\r')" ] || fail "a user's file was replaced"
for f in "$prefix"/share/quillon/spell/*.frq; do
  [ -e "$f" ] || continue
  cmp -s "$f" "$user/spell/$(basename "$f")" || fail "spell/$(basename "$f") not seeded again"
done
grep -q "^Location=$work/site/" "$user/DEFAULT.INI" || fail "the first start's setting was lost"
grep -q "^File1=$work/site/site.out" "$user/OPTIONS.INI" || fail "site.out did not open"
echo "installed program checked"
