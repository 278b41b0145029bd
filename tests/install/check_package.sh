#!/usr/bin/env bash
# check_package.sh PACKAGE.deb: checks the Debian package: its control data declares the libraries
# and the Qt platform plugins it needs, its file list holds the program, the data and the desktop
# files, and unpacked into a scratch root it passes check_installed.sh as an installation in /usr.
set -euo pipefail
deb="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-qpa-plugins; do
  grep -q "\b$needed\b" <<<"$depends" || fail "the package does not depend on $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = marisole ] || fail "package name"

dpkg-deb -c "$deb" | awk '{print $NF}' >"$scratch/files"
for f in usr/bin/marisole usr/bin/im usr/share/marisole/disk1.vd usr/share/marisole/disk2.vd \
         usr/share/marisole/drive.dat usr/share/marisole/OvalithHelp.HTML usr/share/marisole/TEXTURE/ \
         usr/share/applications/jp.halvern.Marisole.desktop usr/share/metainfo/jp.halvern.Marisole.metainfo.xml \
         usr/share/mime/packages/marisole-scene.xml usr/share/icons/hicolor/256x256/apps/jp.halvern.Marisole.png; do
  grep -qx "\./$f" "$scratch/files" || fail "the package does not hold $f"
done

dpkg-deb -x "$deb" "$scratch/root"
"$(dirname "$0")/check_installed.sh" "$scratch/root/usr" /usr
echo "package checked: $deb"
