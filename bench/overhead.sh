#!/bin/bash
# usage: bench/overhead.sh [RUNS]
# Times RUNS runs of the tool against RUNS runs of the least program that does the same job
# (linked to the installer library), interleaved, under Wine with a persistent wineserver.
# Two cases: one installer copy found (the system copy), and two copies compared (a second
# copy beside the programs). Prints both medians and their ratio for each case; then the
# same for the least program linked to the user library too, which the tool needs for its
# message boxes and whose start-up under Wine costs more than everything else the tool does.
# All of it twice: on 32-bit Windows, and on 64-bit Windows, where both programs run under
# WoW64 and the system copy lies in the 32-bit system directory.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-100}

scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn least_program least_program_user32 standin_versioned \
    -j "$(nproc)" >/dev/null

# Milliseconds, to the microsecond, that one run of a program takes.
time_run() {
    local start end
    start=$(date +%s%N)
    wine "C:\\bench\\$1" 'C:\Data\orders.mdb' >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(((end - start) / 1000))"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m / 1000 }'
}

measure() {
    local label="$windows $1" baseline=$2 tool=() least=() i
    for ((i = 0; i < 5; i++)); do time_run vornakdsn.exe >/dev/null; time_run "$baseline" >/dev/null; done
    for ((i = 0; i < runs; i++)); do
        # Alternate which program goes first, so neither always follows the other.
        if ((i % 2)); then
            tool+=("$(time_run vornakdsn.exe)"); least+=("$(time_run "$baseline")")
        else
            least+=("$(time_run "$baseline")"); tool+=("$(time_run vornakdsn.exe)")
        fi
    done
    local tool_median least_median
    tool_median=$(printf '%s\n' "${tool[@]}" | median)
    least_median=$(printf '%s\n' "${least[@]}" | median)
    printf '%-19s %-22s %8s ms %8s ms %7s\n' "$label" "${baseline%.exe}" "$tool_median" \
        "$least_median" "$(awk -v a="$tool_median" -v b="$least_median" 'BEGIN { printf "%.3f", a / b }')"
}

# Makes the prefix of WINEARCH the machine measured: the programs in C:\bench and a system
# copy of a real installer library's size, above the size that is moved aside.
prepare() {
    export WINEPREFIX=$PWD/build/bench-prefix-$WINEARCH
    scripts/wine/prefix.sh start
    trap 'scripts/wine/prefix.sh stop' EXIT
    work=$WINEPREFIX/drive_c/bench
    mkdir -p "$work"
    cp build/vornakdsn.exe build/bench/least_program.exe build/bench/least_program_user32.exe "$work/"
    . scripts/wine/registry-view.sh
    local system_copy=$WINEPREFIX/drive_c/windows/$system_folder/odbccp32.dll
    cp build/standins/standin_versioned.dll "$system_copy"
    truncate -s 200000 "$system_copy"
}

export WINEDEBUG=-all WINEDLLOVERRIDES=odbccp32=n
# shellcheck source=scripts/lib.sh
. scripts/lib.sh
wine_settings
unset DISPLAY STANDIN_LOG
printf '%-19s %-22s %11s %11s %7s\n' case "least program" "tool" "least" ratio
for WINEARCH in win32 win64; do
    export WINEARCH
    windows=${WINEARCH/win/}-bit
    prepare
    for baseline in least_program.exe least_program_user32.exe; do
        rm -f "$work/odbccp32.dll"
        measure "one copy" "$baseline"
        cp build/standins/standin_versioned.dll "$work/odbccp32.dll"
        measure "two copies" "$baseline"
    done
    scripts/wine/prefix.sh stop
done
echo "medians of $runs runs each; $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(wine --version)"
