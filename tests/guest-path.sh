#!/bin/bash
# usage: guest-path.sh SOURCE-DIR WORK
# Checks the way into the guest without booting one: this host runs 32-bit code; ./run.sh --vm
# and ./test.sh --vm hand the guest exactly the command they were given, with plain emulation
# where it is asked for, and give back its output and exit status (a stand-in for QEMU, below
# WORK, plays the guest); the guest's side runs a command of any words and records its status.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1")
work=$(mkdir -p "$2" && realpath "$2")
rm -rf "${work:?}"/*

name_case runs_32_bit
"$source_dir/scripts/runs-32-bit.sh" || fail "this host is said not to run 32-bit programs"
tally

# The stand-ins: qemu-img makes the disk; QEMU notes how it was asked to run and what the
# guest was to do, answers on the guest's two output ports and "powers off" with the status
# STAND_IN_STATUS.
mkdir -p "$work/bin"
cat >"$work/bin/qemu-img" <<'STANDIN'
#!/bin/bash
touch "${@: -1}"
STANDIN
cat >"$work/bin/qemu-system-x86_64" <<'STANDIN'
#!/bin/bash
control=$(printf '%s\n' "$@" | sed -n 's/^local,path=\(.*\),mount_tag=control,.*/\1/p')
printf '%s\n' "$@" | grep -x -e 'tcg,thread=multi' -e 'max,-smap,-la57' >"$STAND_IN_NOTES"
tr '\0' '\n' <"$control/command" >>"$STAND_IN_NOTES"
port() { printf '%s\n' "$@" | sed -n "s/^file,id=$1,path=//p"; }
echo "guest output" >"$(port output "$@")"
echo "guest errors" >"$(port errors "$@")"
echo "$STAND_IN_STATUS" >"$control/status"
STANDIN
chmod +x "$work/bin"/*
export PATH=$work/bin:$PATH VORNAKDSN_GUEST_CACHE=$work/cache VORNAKDSN_GUEST_ACCEL=tcg
mkdir -p "$("$source_dir/scripts/guest/image.sh" --folder)"
touch "$("$source_dir/scripts/guest/image.sh" --folder)/ready"

# through STATUS EXPECTED-WORDS COMMAND...
through() {
    local status=0 expected
    expected=$(printf '%s\n' tcg,thread=multi max,-smap,-la57 "${@:3:$2}")
    STAND_IN_STATUS=$1 STAND_IN_NOTES=$work/notes "${@:$(($2 + 3))}" >"$work/output" \
        2>"$work/errors" || status=$?
    [ "$status" = "$1" ] || fail "ended with $status, not $1"
    [ "$(cat "$work/notes")" = "$expected" ] || fail "the guest was asked: $(cat "$work/notes")"
    [ "$(cat "$work/output")" = "guest output" ] || fail "output: $(cat "$work/output")"
    grep -qx "guest errors" "$work/errors" || fail "errors: $(cat "$work/errors")"
}

name_case run_in_guest
through 0 3 ./run.sh --wow64 'C:\Data\Заказы "x".mdb' "$source_dir/run.sh" --vm --wow64 'C:\Data\Заказы "x".mdb'
through 3 1 ./run.sh "$source_dir/run.sh" --vm
tally

name_case test_in_guest
through 1 1 ./test.sh "$source_dir/test.sh" --vm
tally

name_case guest_command
mkdir -p "$work/control"
printf '%s\0' bash -c 'printf "[%s]" "$@"; exit 4' - 'a "b"' '' 'C:\Data\' >"$work/control/command"
printf '%s' "$work" >"$work/control/checkout"
said=$(bash "$source_dir/scripts/guest/inside/command.sh" "$work/control")
[ "$said" = '[a "b"][][C:\Data\]' ] || fail "the command got: $said"
[ "$(cat "$work/control/status")" = 4 ] || fail "status: $(cat "$work/control/status")"
tally

summary
