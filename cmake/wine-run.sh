#!/bin/sh
# Runs a Windows program under Wine, only ever in the private prefix the caller names, of the
# architecture the caller names (32-bit Windows unless told otherwise).
if [ -z "$WINEPREFIX" ]; then
    echo "wine-run.sh: WINEPREFIX is not set; refusing to use ~/.wine" >&2
    exit 125
fi
export WINEARCH="${WINEARCH:-win32}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
