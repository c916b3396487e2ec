#!/bin/bash
# usage: prefix-template.sh SETUP-DLL TEMPLATE win32|win64
# Makes TEMPLATE, once, the Wine prefix every case of the shell tests starts from: a machine
# with Wine's own ODBC installer and the "Microsoft Access Driver (*.mdb)", SETUP-DLL serving
# as its setup routine. Its server is stopped so that all of it is on disk. Made anew when the
# setup routine or this script changed; never written by a case.
set -euo pipefail
setup_dll=$(realpath "$1")
export WINEPREFIX=$2 WINEARCH=$3 WINEDEBUG=-all
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
# shellcheck source=scripts/lib.sh
. "$scripts/lib.sh"
wine_settings
# shellcheck source=scripts/wine/registry-view.sh
. "$scripts/wine/registry-view.sh"
made_from=$(cat "$setup_dll" "$0" | sha256sum)
if [ "$(cat "$WINEPREFIX/ready" 2>/dev/null)" = "$made_from" ]; then
    exit 0
fi
rm -rf "$WINEPREFIX"
"$scripts/wine/prefix.sh" start
trap '"$scripts/wine/prefix.sh" stop' EXIT
"$scripts/wine/odbc-prefix.sh" "$setup_dll"
# Wine's X11 driver waits for a window manager after each window closes; Xvfb has none.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
"$scripts/wine/prefix.sh" stop
trap - EXIT
echo "$made_from" >"$WINEPREFIX/ready"
