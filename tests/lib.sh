# Sourced by the shell tests. Each case runs in a fresh copy of the template prefix that
# prefix-template.sh made, and its checks are tallied; summary prints "N passed, N failed, N
# skipped" and fails the test when any case failed. A case that this host cannot try (no KVM,
# no assembler) is skipped, never counted as passed. Also sets what scripts/wine/registry-view.sh sets.
#
# CASES, where the environment sets it, is a pattern (as bash matches words) of the cases to
# run: "outcomes: of_every_kind", "checks: *". The cases before a wanted one in its prefix still
# run, as its set-up, and only their failures count; a test's sections of cases whose groups
# (the words before the colon) the pattern cannot match are not run (see wanted_section).
#
# The tests that run cases in prefixes source it with their own arguments,
#   SUBJECT LAUNCHER TEMPLATE WORK win32|win64
# (SUBJECT being what they test, LAUNCHER launch.exe beside the other Windows helpers, cases
# below WORK); the others with none.
if [ $# -eq 5 ]; then
    subject=$(realpath "$1")
    launcher=$(realpath "$2")
    tools=$(dirname "$launcher")
    template=$3
    work=$4
    export WINEARCH=$5
fi
tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$(cd "$tests/../scripts" && pwd)
# shellcheck source=scripts/lib.sh
. "$scripts/lib.sh"
# shellcheck source=scripts/wine/registry-view.sh
. "$scripts/wine/registry-view.sh"
export WINEDEBUG=-all
wine_settings
# The project's version and the one after it, as the build has them (ctest sets both).
version=${VORNAKDSN_VERSION-}
next_version=${VORNAKDSN_NEXT_VERSION-}
# Without a display a message box returns at once: a fault cannot leave a test waiting.
unset DISPLAY

failures=0
passed=0
skipped=0
case_failed=no
case_name=

fail() {
    echo "FAIL: $case_name: $*"
    case_failed=yes
}

name_case() {
    case_name=$1
    case_failed=no
}

# wanted CASE: whether CASES asks for the case (all do where it is not set).
wanted() {
    # shellcheck disable=SC2053
    [ -z "${CASES-}" ] || [[ $1 == $CASES ]]
}

# wanted_section GROUP...: whether CASES may ask for a case of one of the GROUPs, whose cases'
# names start with "GROUP: " or are GROUP itself.
wanted_section() {
    local group
    [ -n "${CASES-}" ] || return 0
    for group in "$@"; do
        # shellcheck disable=SC2053
        [[ $group == ${CASES%%: *} ]] && return 0
    done
    return 1
}

# skip WHY: this host cannot try the case.
skip() {
    echo "skip: $case_name: $*"
    case_failed=skipped
}

tally() {
    if ! wanted "$case_name"; then
        # Set-up for a wanted case: only a failure counts.
        set_up_done
    elif [ "$case_failed" = yes ]; then
        failures=$((failures + 1))
    elif [ "$case_failed" = skipped ]; then
        skipped=$((skipped + 1))
    else
        passed=$((passed + 1))
        echo "ok: $case_name"
    fi
}

# set_up_done: ends a set-up that prepares later cases: no case of its own, its failures count.
set_up_done() {
    [ "$case_failed" != yes ] || failures=$((failures + 1))
}

summary() {
    echo "$passed passed, $failures failed, $skipped skipped"
    [ "$failures" -eq 0 ]
}

# begin NAME TEMPLATE WORK: starts the case NAME in a fresh copy of TEMPLATE below WORK.
begin() {
    name_case "$1"
    export WINEPREFIX=$3/$1
    "$tests/prefix-from-template.sh" "$2" || fail "cannot make the prefix from $2"
}

close_prefix() {
    "$scripts/wine/prefix.sh" stop
    rm -rf "$WINEPREFIX"
}

end() {
    close_prefix
    tally
}

# The registry as 32-bit programs see it. reg answers "not there" with status 1, and so it
# may when it could not ask at all: a missing key or value is believed only when a key that
# every prefix has was read just before.
reg_query() {
    wine reg query "$@" "${view[@]}" 2>/dev/null | tr -d '\r'
}

# read_state KEY...: $state, what the registry holds below each KEY (HKLM\... or HKCU\...) as
# 32-bit programs see it, every character as stored, read in one process (a tenth of what reg
# takes for one value): a line for each key, then KEY\NAME=TEXT for each of its string and
# number values (see tools/registry_dump).
state=
read_state() {
    state=$(wine "$tools/registry_dump.exe" "$@" 2>/dev/null | tr -d '\r') ||
        fail "cannot read the registry"
}

# state_value KEY NAME: the value's text in $state; nothing where it is not there.
state_value() {
    line="$1\\$2=" awk 'BEGIN { line = ENVIRON["line"] }
                        index($0, line) == 1 { print substr($0, length(line) + 1); exit }' <<<"$state"
}

# expect_gone KEY [NAME]: $state has neither the key nor, given NAME, that value of it.
expect_gone() {
    local line
    while IFS= read -r line; do
        if [ -n "${2-}" ]; then
            [[ $line == "$1\\$2="* ]] || continue
        else
            [[ $line == "$1" || $line == "$1\\"* ]] || continue
        fi
        fail "$1${2:+ value $2} exists"
        return
    done <<<"$state"
}

# expect_absent KEY [NAME]: neither the key nor, given NAME, that value of it is there. Read in
# the key above it (or the key itself, for a value): a listing of it that lacks the key or value
# tells for certain. Only where that key is not there either is reg asked for the key itself.
expect_absent() {
    local what=$1${2:+ value $2} status=0 key=${1%\\*} listing
    [ -z "${2-}" ] || key=$1
    listing=$(wine reg query "$key" "${view[@]}" 2>/dev/null | tr -d '\r') || status=$?
    if [ "$status" = 0 ] && grep -qixF "HKEY_LOCAL_MACHINE\\${key#HKLM\\}" <<<"$listing"; then
        if [ -n "${2-}" ]; then
            ! awk -v name="$2" '$1 == name { found = 1 } END { exit !found }' <<<"$listing"
        else
            ! grep -qixF "HKEY_LOCAL_MACHINE\\${1#HKLM\\}" <<<"$listing"
        fi || fail "$what exists"
        return
    fi
    status=0
    if ! wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' "${view[@]}" \
        >/dev/null 2>&1; then
        fail "cannot read the registry to look for $what"
        return
    fi
    wine reg query "$1" ${2:+/v "$2"} "${view[@]}" >/dev/null 2>&1 || status=$?
    case $status in
    0) fail "$what exists" ;;
    1) ;;
    *) fail "cannot look for $what: reg ended with $status" ;;
    esac
}

# import_registry TEXT: the keys and values of TEXT, as a .reg file of regedit 5 gives them,
# written into the registry as 32-bit programs see it, in one process.
import_registry() {
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; sed 's/$/\r/' <<<"$1"; } |
        iconv -f UTF-8 -t UTF-16 >"$WINEPREFIX/drive_c/vornakdsn-import.reg"
    wine "$regedit" /s 'C:\vornakdsn-import.reg' >/dev/null 2>&1 || fail "regedit cannot import:
$1"
}

# export_registry KEY FILE: KEY (HKEY_LOCAL_MACHINE\...) with all it holds, as the 32-bit
# regedit exports it.
export_registry() {
    rm -f "$WINEPREFIX/drive_c/vornakdsn-export.reg"
    wine "$regedit" /e 'C:\vornakdsn-export.reg' "$1" >/dev/null 2>&1 &&
        mv "$WINEPREFIX/drive_c/vornakdsn-export.reg" "$2" || fail "regedit cannot export $1"
}

# UTF-8 text as hex, for launch.exe: a shell cannot hand Wine a command line in any code page.
hex() {
    printf '%s' "$1" | od -An -tx1 | tr -d ' \n'
}
