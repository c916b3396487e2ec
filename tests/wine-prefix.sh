#!/bin/sh
# start: creates the test prefix on first use and keeps one wineserver up for the whole run,
# so that each Wine process starts in milliseconds. stop: ends that wineserver.
set -e
if [ -z "$WINEPREFIX" ]; then
    echo "wine-prefix.sh: WINEPREFIX is not set; refusing to use ~/.wine" >&2
    exit 1
fi
case "$1" in
start)
    # Fails only when a server already runs in this prefix, which then serves as well.
    # Wine's own services outlive this script: they must not hold on to ctest's output.
    wineserver --persistent </dev/null >/dev/null 2>&1 || true
    wine wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1
    ;;
stop)
    wineserver --kill || true
    ;;
*)
    echo "usage: wine-prefix.sh start|stop" >&2
    exit 2
    ;;
esac
