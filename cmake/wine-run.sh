#!/bin/sh
# Runs a Windows program under Wine, only ever in the private prefix the caller names.
if [ -z "$WINEPREFIX" ]; then
    echo "wine-run.sh: WINEPREFIX is not set; refusing to use ~/.wine" >&2
    exit 125
fi
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
