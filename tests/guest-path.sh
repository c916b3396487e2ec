#!/bin/bash
# usage: guest-path.sh SOURCE-DIR WORK
# Checks the way into the guest without booting one: ./run.sh --vm and scripts/guest/run.sh
# hand the guest exactly the command they were given, with plain emulation where it is asked
# for and KVM where it serves, and give back its output and exit status (a stand-in for QEMU,
# below WORK, plays the guest), with the guest's own disk where asked; on a host whose kernel
# refuses 32-bit code, ./run.sh and ./test.sh take that way by themselves; the boot ends
# cleanly, and Ctrl-C and SIGTERM end it all at once, leaving no verdict on KVM; a guest whose
# packages are not all unpacked is not kept; a second build of the guest waits for the first;
# the guest's key follows every file that goes into it; the guest's side runs a command of any
# words with the caller's settings and records its status.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1")
work=$(mkdir -p "$2" && realpath "$2")
rm -rf "${work:?}"/*

# The stand-ins: qemu-img makes the disk; QEMU notes how it was asked to run and what the
# guest was to do with which settings, answers on the guest's two output ports after
# STAND_IN_SECONDS, and "powers off" with the status STAND_IN_STATUS.
mkdir -p "$work/bin"
cat >"$work/bin/qemu-img" <<'STANDIN'
#!/bin/bash
touch "${@: -1}"
STANDIN
cat >"$work/bin/qemu-system-x86_64" <<'STANDIN'
#!/bin/bash
echo $$ >"$STAND_IN_NOTES.pid"
control=$(printf '%s\n' "$@" | sed -n 's/^local,path=\(.*\),mount_tag=control,.*/\1/p')
printf '%s\n' "$@" | grep -A1 -x -e -accel -e -cpu | grep -v -e '^-' >"$STAND_IN_NOTES"
if [ -s "$control/local" ]; then
    echo "$(cat "$control/local") on $(printf '%s\n' "$@" | grep -o '[^/]*\.img,.*')" \
        >>"$STAND_IN_NOTES"
fi
tr '\0' '\n' <"$control/command" >>"$STAND_IN_NOTES"
tr '\0' '\n' <"$control/settings" | grep '^CTEST_PARALLEL_LEVEL=' >>"$STAND_IN_NOTES"
sleep "${STAND_IN_SECONDS:-0}"
port() { printf '%s\n' "$@" | sed -n "s/^file,id=$1,path=//p"; }
echo "guest output" >"$(port output "$@")"
echo "guest errors" >"$(port errors "$@")"
echo "$STAND_IN_STATUS" >"$control/status"
STANDIN
chmod +x "$work/bin"/*
export PATH=$work/bin:$PATH VORNAKDSN_GUEST_CACHE=$work/cache VORNAKDSN_GUEST_ACCEL=tcg
export STAND_IN_NOTES=$work/notes CTEST_PARALLEL_LEVEL=3
guest=$("$source_dir/scripts/guest/image.sh" --folder)
mkdir -p "$guest"
touch "$guest/ready"
tcg='tcg,thread=multi
max,-smap,-la57'

# through STATUS EXPECTED-NOTES COMMAND...
through() {
    local status=0
    STAND_IN_STATUS=$1 "${@:3}" >"$work/output" 2>"$work/errors" || status=$?
    [ "$status" = "$1" ] || fail "ended with $status, not $1"
    [ "$(cat "$work/notes")" = "$2" ] || fail "the guest was asked: $(cat "$work/notes")"
    [ "$(cat "$work/output")" = "guest output" ] || fail "output: $(cat "$work/output")"
    grep -qx "guest errors" "$work/errors" || fail "errors: $(cat "$work/errors")"
}

name_case run_in_guest
through 0 "$tcg
build/wine on own.img,if=virtio,format=raw,discard=unmap
scripts/wine/run-program.sh
--wow64
C:\\Data\\Заказы \"x\".mdb
CTEST_PARALLEL_LEVEL=3" "$source_dir/run.sh" --vm --wow64 'C:\Data\Заказы "x".mdb'
through 3 "$tcg
build/wine on own.img,if=virtio,format=raw,discard=unmap
scripts/wine/run-program.sh
CTEST_PARALLEL_LEVEL=3" "$source_dir/run.sh" --vm
through 0 "$tcg
build/wine on own.img,if=virtio,format=raw,discard=unmap
ctest
CTEST_PARALLEL_LEVEL=3" "$source_dir/scripts/guest/run.sh" --local build/wine ctest
tally

# Where the kernel refuses 32-bit code, ./run.sh says so and takes the guest's way by itself;
# so does ./test.sh for the tests that run under Wine, running the others here meanwhile.
name_case no_32_bit_host
without_32_bit=$tests/without-32-bit.py
through 0 "$tcg
build/wine on own.img,if=virtio,format=raw,discard=unmap
scripts/wine/run-program.sh
CTEST_PARALLEL_LEVEL=3" "$without_32_bit" "$source_dir/run.sh"
grep -q '^this host cannot run 32-bit x86 programs' "$work/errors" || fail "did not say why"
printf '#!/bin/sh\necho "$*" >>"$STAND_IN_NOTES.here"\n' >"$work/bin/ctest"
chmod +x "$work/bin/ctest"
status=0
STAND_IN_STATUS=0 "$without_32_bit" "$source_dir/test.sh" >/dev/null 2>&1 || status=$?
[ "$status" = 0 ] || fail "./test.sh ended with $status"
# It asks ctest here which tests there are (-N), then runs those that need no Wine.
[ "$(grep -v -- ' -N ' "$work/notes.here" | sort)" = "--preset default --label-exclude wine --fixture-exclude-setup packages
--preset default -R ^packages$" ] || fail "ctest here was asked: $(cat "$work/notes.here")"
grep -qx 'build/wine on own.img,.*' "$work/notes" && grep -qx -- --label-regex "$work/notes" ||
    fail "the guest was asked: $(cat "$work/notes")"
rm "$work/bin/ctest"
tally

# KVM, tried once for this host: the trial's guest runs the 32-bit probe, the run uses KVM.
name_case kvm
if [ ! -r /dev/kvm ] || [ ! -w /dev/kvm ]; then
    skip "no /dev/kvm here to try"
else
    through 0 "kvm
host
ctest
CTEST_PARALLEL_LEVEL=3" env -u VORNAKDSN_GUEST_ACCEL "$source_dir/scripts/guest/run.sh" ctest
    grep -qx "$(cat /etc/machine-id) $(uname -r) yes" "$work/cache/kvm" ||
        fail "the verdict kept is: $(cat "$work/cache/kvm")"
fi
tally

# The boot itself ends with the guest's power-off, its pipes gone.
name_case boot_status
mkdir -p "$work/control"
status=0
STAND_IN_STATUS=0 "$source_dir/scripts/guest/boot.sh" "$guest" "$work/disk.qcow2" \
    "$work/control" tcg 60 true >/dev/null 2>&1 || status=$?
[ "$status" = 0 ] || fail "ended with $status after the guest powered off"
[ -z "$(find "$work/control" -type p)" ] || fail "left its pipes"
tally

# interrupted SIGNAL STATUS: the signal, as a terminal sends Ctrl-C to its foreground
# processes, during the trial of KVM where there is one: all must end within seconds, and
# no verdict be kept.
interrupted() {
    name_case "interrupted_by_$1"
    rm -f "$work/cache/kvm" "$work/notes.pid"
    local status=0 started=$SECONDS
    # A shell starts what it puts in the background with Ctrl-C ignored; a terminal's does not.
    STAND_IN_STATUS=0 STAND_IN_SECONDS=60 setsid perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' \
        env -u VORNAKDSN_GUEST_ACCEL "$source_dir/scripts/guest/run.sh" ctest >/dev/null 2>&1 &
    local session=$!
    for _ in $(seq 100); do [ -s "$work/notes.pid" ] && break; sleep 0.1; done
    kill "-$1" -- "-$session"
    wait "$session" || status=$?
    [ "$status" = "$2" ] || fail "ended with $status, not $2"
    [ $((SECONDS - started)) -lt 20 ] || fail "took $((SECONDS - started)) s to end"
    ! kill -0 "$(cat "$work/notes.pid")" 2>/dev/null || fail "QEMU still runs"
    [ ! -s "$work/cache/kvm" ] || fail "kept a verdict: $(cat "$work/cache/kvm")"
    tally
}
interrupted INT 130
interrupted TERM 143

# A guest whose package step failed is kept only when every package is at least unpacked (a
# host without 32-bit code cannot set up some), never when one was not even fetched.
name_case packages_unpacked
mkdir -p "$work/dpkg"
printf 'Package: %s\nStatus: install ok %s\nArchitecture: all\nVersion: 1\n\n' wine unpacked \
    cmake installed >"$work/dpkg/status"
"$source_dir/scripts/guest/unpacked.sh" "$work/dpkg" wine cmake 2>/dev/null ||
    fail "refused packages that are unpacked"
said=$("$source_dir/scripts/guest/unpacked.sh" "$work/dpkg" wine xvfb cmake 2>&1) &&
    fail "took a missing package for unpacked"
[[ $said == "guest/unpacked.sh: xvfb is not unpacked in the guest (not there)"* ]] ||
    fail "said: $said"
tally

# A second build waits for the first and takes its guest, building nothing itself.
name_case image_lock
printf '#!/bin/sh\ntouch "$STAND_IN_NOTES.built"\nexit 1\n' >"$work/bin/debootstrap"
chmod +x "$work/bin/debootstrap"
rm "$guest/ready"
exec 7>"$work/cache/lock"
flock 7
"$source_dir/scripts/guest/image.sh" >"$work/output" 2>"$work/errors" 7>&- &
second=$!
for _ in $(seq 100); do grep -q waiting "$work/errors" && break; sleep 0.1; done
grep -qx "guest image: waiting for another build of the guest" "$work/errors" ||
    fail "said: $(cat "$work/errors")"
touch "$guest/ready"
exec 7>&-
status=0
wait "$second" || status=$?
[ "$status" = 0 ] && [ "$(cat "$work/output")" = "$guest" ] || fail "ended $status: $(cat "$work/output")"
[ ! -e "$work/notes.built" ] || fail "built a guest of its own"
tally

# Whatever goes into the guest names it: scripts/lib.sh does, sourced by the install script.
name_case image_key
mkdir -p "$work/copy"
cp -r "$source_dir/scripts" "$work/copy/"
before=$("$work/copy/scripts/guest/image.sh" --folder)
echo '#' >>"$work/copy/scripts/lib.sh"
[ "$("$work/copy/scripts/guest/image.sh" --folder)" != "$before" ] ||
    fail "a change to scripts/lib.sh keeps the guest"
tally

name_case guest_command
printf '%s\0' bash -c 'printf "[%s]" "$@" "$CTEST_OUTPUT_ON_FAILURE"; exit 4' - 'a "b"' '' \
    'C:\Data\' >"$work/control/command"
printf '%s\0' CTEST_OUTPUT_ON_FAILURE=1 >"$work/control/settings"
printf '%s' "$work" >"$work/control/checkout"
said=$(bash "$source_dir/scripts/guest/inside/command.sh" "$work/control")
[ "$said" = '[a "b"][][C:\Data\][1]' ] || fail "the command got: $said"
[ "$(cat "$work/control/status")" = 4 ] || fail "status: $(cat "$work/control/status")"
tally

summary
