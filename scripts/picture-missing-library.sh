#!/bin/bash
# usage: scripts/picture-missing-library.sh [PNG]
# Photographs the message box that the program shows when no ODBC installer library can be
# loaded, as Wine draws it on a virtual display; writes docs/missing-library.png by default.
set -euo pipefail
cd "$(dirname "$0")/.."
picture=${1:-docs/missing-library.png}

scripts/install-dependencies.sh
if ! command -v import >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick
fi
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn >/dev/null

export WINEPREFIX=$PWD/build/picture-prefix WINEARCH=win32 WINEDEBUG=-all
# The installer library is switched off, so that no copy of it can be loaded.
export WINEDLLOVERRIDES='odbccp32=d;mscoree=;mshtml='
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'scripts/wine-prefix.sh stop; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
scripts/wine-prefix.sh start

# A Wine desktop of its own draws the box with its caption and frame, as Windows does.
wine explorer /desktop=vornakdsn,560x200 build/vornakdsn.exe 'C:\Data\orders.mdb' \
    </dev/null >/dev/null 2>&1 &
sleep 4  # the box takes a second or two to appear
import -display "$display" -window root -trim +repage -trim +repage "$picture"
echo "wrote $picture"
