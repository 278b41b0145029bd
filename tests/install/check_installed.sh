#!/usr/bin/env bash
# check_installed.sh PREFIX [INSTALLED_FOR]: checks a Marisole installed under PREFIX (by cmake --install or from the
# Debian package) the way a new user meets it, with HOME and the XDG folders in a scratch folder:
# the files of the layout, the desktop entry, scene file type and AppStream metadata, and the
# installed program itself (--version, a batch render from the installed data, desktop start-ups
# under the offscreen platform that keep their settings in the user's folder and read them back,
# and one whose settings folder cannot be written).
set -euo pipefail
prefix="$(cd "$1" && pwd)"
# The prefix the files were made for: PREFIX itself, or /usr for a package unpacked elsewhere.
installed_for="${2:-$prefix}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
program="$prefix/bin/marisole"
share="$prefix/share"
id=jp.halvern.Marisole

echo "== layout"
for f in bin/marisole bin/im share/marisole/disk1.vd share/marisole/disk1.VDH share/marisole/disk2.vd \
         share/marisole/disk2.VDH share/marisole/drive.dat share/marisole/OvalithHelp.HTML \
         share/marisole/TEXTURE/eye_01a.bmp share/marisole/BACKGROUND/bg_01.jpg share/marisole/IMAGE/bg_04.jpg \
         "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" share/mime/packages/marisole-scene.xml; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$program" ] || fail "the program is not executable"
# drive.dat names folders of the installed data (under the prefix the files were made for), not of
# the build.
grep -qF "$installed_for/share/marisole/disk1/|$installed_for/share/marisole/disk2/|" "$share/marisole/drive.dat" \
  || fail "drive.dat: $(cat "$share/marisole/drive.dat")"
for size in 16 32 48 64 128 256; do
  icon="$share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$icon" ] || fail "no $size-pixel icon"
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the $size-pixel icon is $w x $h"
done

echo "== desktop entry, scene file type, AppStream"
desktop="$share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=marisole %f' "$desktop" || fail "the entry does not pass the file to the program"
grep -qx 'Name=Marisole' "$desktop" && grep -q '^Name\[ja\]=.' "$desktop" || fail "names"
grep -qx 'MimeType=application/x-marisole-scene;' "$desktop" || fail "the entry does not take scene files"
mime="$share/mime/packages/marisole-scene.xml"
xmllint --noout "$mime" || fail "the MIME XML does not parse"
xpath() { xmllint --xpath "string(//*[local-name()='mime-type'][@type='application/x-marisole-scene']$1)" "$mime"; }
[ "$(xpath "/*[local-name()='glob']/@pattern")" = "*.mrs" ] || fail "the MIME type does not name *.mrs"
[ "$(xpath "/*[local-name()='magic']/*[local-name()='match']/@value")" = 'MRSCENE\x1a' ] || fail "magic"
mkdir -p "$work/mime/packages" && cp "$mime" "$work/mime/packages/"
update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database refuses the MIME XML"
grep -q "application/x-marisole-scene" "$work/mime/magic" || fail "no magic entry in the compiled database"
# The compiled rule holds the signature's eight bytes, the last one 0x1A.
LC_ALL=C grep -q $'\x08MRSCENE\x1a' "$work/mime/magic" || fail "the magic is not the scene file's signature"
grep -q "application/x-marisole-scene" "$work/mime/globs2" || fail "no glob in the compiled database"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

echo "== the installed program"
[ "$("$program" --version)" = "Version:1.00 (Build:751)" ] || fail "--version"
"$program" --render "$work/stand.bmp" --pose-set STAND.OBJ --width 80 --height 60 >"$work/render.log" 2>&1 \
  || fail "batch render of a pose set of the installed data: $(cat "$work/render.log")"
# 54 header bytes and 60 rows of 240 bytes; the figure makes some of them not black.
[ "$(stat -c %s "$work/stand.bmp")" = 14454 ] || fail "the rendered picture has the wrong size"
[ "$(tail -c +55 "$work/stand.bmp" | tr -d '\0' | wc -c)" -gt 0 ] || fail "the rendered picture is black"

# Starts the desktop program, waits until it holds its single-instance lock and its window is up,
# then ends it with SIGTERM as a logout does. Its exit status is the function's; stderr goes to $1.
start_and_end() {
  local log="$1" pid status=0
  "$program" --no-splash 2>"$log" >/dev/null &
  pid=$!
  for _ in $(seq 100); do
    compgen -G "$XDG_RUNTIME_DIR/*.lock" >/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  sleep 2
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" || status=$?
  return "$status"
}

profile="$XDG_CONFIG_HOME/marisole/profile.dat"
start_and_end "$work/first.log" || fail "the first start did not end cleanly on SIGTERM ($?): $(cat "$work/first.log")"
[ -s "$profile" ] || fail "the settings did not land in the user's folder"
[ ! -e "$prefix/bin/profile.dat" ] && [ ! -e "$share/marisole/profile.dat" ] || fail "settings written beside the program"
# A scene without changes leaves no recovery copy behind.
[ ! -e "$XDG_DATA_HOME/marisole/recovery.mrs" ] || fail "a recovery copy was written for an unchanged scene"

# A value only the user's file holds survives the next start: the file is read back.
{ printf '\x47\x2B\x9C\x3F\xD0\x81\x6A\x4E\x9B\x25\x6C\x1E\x0A\x7D\x4F\x93\x01\x00'
  printf '\x0dinstall/check\x0bread-back-1'; } >"$profile"
start_and_end "$work/second.log" || fail "the second start did not end cleanly: $(cat "$work/second.log")"
grep -q "read-back-1" "$profile" || fail "the user's settings were not read back"
[ "$(stat -c %s "$profile")" -gt 44 ] || fail "the second start added none of its own settings"

# A settings folder that cannot be written (a plain file stands where it should be, which stops
# root too): the program runs and ends as usual and says so once.
export XDG_CONFIG_HOME="$work/blocked"
touch "$XDG_CONFIG_HOME"
start_and_end "$work/blocked.log" || fail "with an unwritable settings folder the program did not end cleanly"
[ "$(grep -c "settings could not be saved" "$work/blocked.log")" = 1 ] \
  || fail "the failed save is not reported exactly once: $(cat "$work/blocked.log")"
echo "installed program checked: $prefix"
