#!/bin/bash
# usage: scripts/wine/prefix.sh start|stop
# start: creates the prefix that WINEPREFIX names (of the architecture WINEARCH names) on
# first use and keeps one wineserver up for it, so that each Wine process starts in
# milliseconds. stop: ends that wineserver.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../lib.sh"
require_prefix
wine_settings
case "${1-}" in
start)
    # The server needs the folder to exist, or it gives up and the first Wine process
    # starts an ordinary one, which ends soon after each process.
    mkdir -p "$WINEPREFIX"
    # Fails only when a server already runs in this prefix, which then serves as well.
    # Wine's own services outlive this script: they must not hold on to the caller's output.
    wineserver --persistent </dev/null >/dev/null 2>&1 || true
    # Wine waits at most 5 minutes for a new prefix's first start, and fails the process
    # when it takes longer, as it may under emulation on a busy host; the start goes on, and
    # a second try finds it further.
    if ! wine wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1 &&
        ! wine wineboot --init </dev/null >>"$WINEPREFIX.log" 2>&1; then
        tail -n 20 "$WINEPREFIX.log" >&2
        die 1 "Wine cannot start the prefix $WINEPREFIX (its log: $WINEPREFIX.log)"
    fi
    ;;
stop)
    wineserver --kill 2>/dev/null || true
    ;;
*)
    die 2 "usage: scripts/wine/prefix.sh start|stop"
    ;;
esac
