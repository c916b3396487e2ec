#!/bin/bash
# usage: scripts/wine/picture-message-box.sh missing-library|missing-entry-point [PNG]
# Photographs a message box of the program as Wine draws it on a virtual display; writes
# docs/BOX.png by default. missing-library: no ODBC installer library can be loaded.
# missing-entry-point: the system's installer library lacks SQLConfigDataSource (the tests'
# stand-in of that kind), the program running from C:\Program Files\vornakdsn.
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/lib.sh
. scripts/lib.sh
box=${1:?usage: picture-message-box.sh missing-library|missing-entry-point [PNG]}
picture=${2:-docs/$box.png}

scripts/install-dependencies.sh
if ! command -v import >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick
fi
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn standin_no_entry_point >/dev/null

export WINEPREFIX=$PWD/build/picture-prefix WINEARCH=win32 WINEDEBUG=-all
system32=$WINEPREFIX/drive_c/windows/system32
case "$box" in
missing-library)
    # The installer library is switched off, so that no copy of it can be loaded.
    export WINEDLLOVERRIDES=odbccp32=d
    ;;
missing-entry-point)
    # Only files on disk serve as the installer library: the stand-in in the system folder.
    export WINEDLLOVERRIDES=odbccp32=n
    ;;
*)
    die 2 "no box named $box"
    ;;
esac
wine_settings
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'scripts/wine/prefix.sh stop; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
scripts/wine/prefix.sh start

folder="$WINEPREFIX/drive_c/Program Files/vornakdsn"
mkdir -p "$folder"
cp build/vornakdsn.exe "$folder/"
rm -f "$system32/odbccp32.dll"
[ "$box" = missing-library ] || cp build/standins/standin_no_entry_point.dll "$system32/odbccp32.dll"

# A Wine desktop of its own draws the box with its caption and frame, as Windows does.
wine explorer /desktop=vornakdsn,1000x240 'C:\Program Files\vornakdsn\vornakdsn.exe' \
    'C:\Data\orders.mdb' </dev/null >/dev/null 2>&1 &
sleep 4  # the box takes a second or two to appear
import -display "$display" -window root -trim +repage -trim +repage "$picture"
echo "wrote $picture"
