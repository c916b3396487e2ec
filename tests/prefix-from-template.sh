#!/bin/bash
# usage: prefix-from-template.sh TEMPLATE
# Makes the Wine prefix that WINEPREFIX names a fresh copy of TEMPLATE (see
# prefix-template.sh), whatever an earlier run left there, and keeps a wineserver up for it.
# The system folders, most of a prefix, are shared with the template as hard links: a test
# that replaces a file there deletes it first, which leaves the template's own.
set -euo pipefail
template=$1
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
tar -C "$template" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
    --exclude=./ready -cf - . | tar -C "$WINEPREFIX" -xf -
for folder in system32 syswow64; do
    [ ! -d "$template/drive_c/windows/$folder" ] ||
        cp -al "$template/drive_c/windows/$folder" "$WINEPREFIX/drive_c/windows/"
done
"$(dirname "$0")/../scripts/wine/prefix.sh" start
