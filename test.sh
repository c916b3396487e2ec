#!/bin/bash
# usage: ./test.sh [--vm]
# Installs what is missing, builds, and runs every test, the Windows ones under Wine with a
# virtual display for the message boxes. Ends with ctest's summary; non-zero on any failure.
# On a host that cannot run 32-bit x86 programs, or with --vm, runs the tests that need Wine in
# a Debian 12 guest under QEMU (see scripts/guest/run.sh), with all that Wine writes on the
# guest's own disk, where the Wine prefixes that every run starts from are made once and kept;
# the tests that need no Wine run here meanwhile, and their output follows the guest's.
set -euo pipefail
cd "$(dirname "$0")"
guest=yes
if [ "${1-}" != --vm ] && scripts/runs-32-bit.sh; then
    guest=no
    scripts/install-dependencies.sh
else
    scripts/install-dependencies.sh --build
fi
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
[ "$guest" = yes ] ||
    exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" ctest --preset default
# The packages that the guest's tests install, built here first.
here=0
ctest --preset default -R '^packages$' || here=$?
log=$(mktemp)
echo "test.sh: the tests that need no Wine run here meanwhile (their output: $log)" >&2
# At the lowest priority, so that the guest, whose emulated processor every Wine test waits
# on, has the host first.
nice -n 19 ctest --preset default --label-exclude wine --fixture-exclude-setup packages \
    >"$log" 2>&1 &
host=$!
trap 'kill "$host" 2>/dev/null || true; rm -f "$log"' EXIT
guest=0
scripts/guest/run.sh --local build/wine \
    xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    ctest --preset default --label-regex wine --fixture-exclude-any packages || guest=$?
wait "$host" || here=$?
echo "--- the tests that need no Wine, run here:"
cat "$log"
if [ "$here" -ne 0 ] || [ "$guest" -ne 0 ]; then
    echo "test.sh: failed: here with status $here, in the guest with status $guest (above)" >&2
    exit 1
fi
