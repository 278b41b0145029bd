#!/usr/bin/env bash
# install_and_check.sh BUILD_DIR: installs the build into a scratch prefix with cmake --install and
# checks the installed program there (check_installed.sh).
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
# Every data folder the build made beside the program is installed whole (POSE/ once the content
# generator writes pose files).
for folder in TEXTURE BACKGROUND IMAGE POSE; do
  if [ -d "$build/bin/$folder" ]; then
    diff -r "$build/bin/$folder" "$prefix/share/marisole/$folder" || { echo "FAIL: $folder/ differs" >&2; exit 1; }
  fi
done
for file in disk1.vd disk1.VDH disk2.vd disk2.VDH OvalithHelp.HTML; do
  cmp "$build/bin/$file" "$prefix/share/marisole/$file" || { echo "FAIL: $file differs" >&2; exit 1; }
done
"$(dirname "$0")/check_installed.sh" "$prefix"
