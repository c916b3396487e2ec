#!/bin/bash
# usage: ./test.sh [--vm] [CTEST-ARGUMENT...]
# Installs what is missing, builds, and runs the tests, the Windows ones under Wine with a
# virtual display for the message boxes; every test, or those that the ctest arguments choose
# (-R NAME, -L LABEL, ...). GTEST_FILTER chooses among a GoogleTest program's cases, CASES
# among a shell test's (see tests/lib.sh). Ends with ctest's summary; non-zero on any failure.
# On a host that cannot run 32-bit x86 programs, or with --vm, runs the tests that need Wine in
# a Debian 12 guest under QEMU (see scripts/guest/run.sh), with all that Wine writes on the
# guest's own disk, where the Wine prefixes that every run starts from are made once and kept;
# the tests that need no Wine run here meanwhile, and their output follows the guest's.
set -euo pipefail
cd "$(dirname "$0")"
guest=yes
vm=no
if [ "${1-}" = --vm ]; then
    vm=yes
    shift
fi
if [ "$vm" = no ] && scripts/runs-32-bit.sh; then
    guest=no
    scripts/install-dependencies.sh
else
    scripts/install-dependencies.sh --build
fi
# PowerShell, where the .NET SDK is, for the recipes' tests; where it is not, they skip.
scripts/install-powershell.sh build/powershell || [ $? = 3 ]
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
[ "$guest" = yes ] || exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    ctest --preset default "$@"
# How many of the chosen tests a selection holds.
chosen() {
    ctest --preset default -N "$@" | sed -n 's/^Total Tests: //p'
}
# The packages that the guest's tests install, built here first where they are to run.
here=0
if [ "$(chosen --label-regex wine -R 'msi_package|recipe_runs' "$@")" != 0 ]; then
    ctest --preset default -R '^packages$' || here=$?
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
host=
if [ "$(chosen --label-exclude wine "$@")" != 0 ]; then
    echo "test.sh: the tests that need no Wine run here meanwhile (their output: $log)" >&2
    # At the lowest priority, so that the guest, whose emulated processor every Wine test
    # waits on, has the host first.
    nice -n 19 ctest --preset default --label-exclude wine --fixture-exclude-setup packages "$@" \
        >"$log" 2>&1 &
    host=$!
    trap 'kill "$host" 2>/dev/null || true; rm -f "$log"' EXIT
fi
guest=0
if [ "$(chosen --label-regex wine "$@")" != 0 ]; then
    # Only the command's words reach the guest: the case filters go as words of env.
    filters=()
    for name in GTEST_FILTER CASES; do
        [ -z "${!name+set}" ] || filters+=("$name=${!name}")
    done
    scripts/guest/run.sh --local build/wine env "${filters[@]}" \
        xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
        ctest --preset default --label-regex wine --fixture-exclude-any packages "$@" || guest=$?
fi
if [ -n "$host" ]; then
    wait "$host" || here=$?
    echo "--- the tests that need no Wine, run here:"
    cat "$log"
fi
if [ "$here" -ne 0 ] || [ "$guest" -ne 0 ]; then
    echo "test.sh: failed: here with status $here, in the guest with status $guest (above)" >&2
    exit 1
fi
