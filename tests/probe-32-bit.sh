#!/bin/bash
# usage: probe-32-bit.sh SOURCE-DIR WORK
# Checks scripts/runs-32-bit.sh against the kernel, whichever host this is: its answer here is
# what the kernel does with a 32-bit program of another make (assembled below WORK), and where
# 32-bit code is forbidden (without-32-bit.py) it says no, in its one line, with the status that
# this host's refusal gave: the kernel's where it runs no 32-bit code, the filter's elsewhere.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
probe=$(realpath "$1")/scripts/runs-32-bit.sh
work=$(mkdir -p "$2" && realpath "$2")

# answers KERNEL-STATUS COMMAND...: the probe, run by COMMAND, says yes (status 0, nothing)
# where the kernel ran a 32-bit program, which then exits with 7; otherwise no, naming the
# status the kernel gave.
answers() {
    local said status=0
    said=$("${@:2}" "$probe" 2>&1) || status=$?
    if [ "$1" = 7 ]; then
        [ "$status" = 0 ] && [ -z "$said" ] || fail "said no ($status): $said"
        return
    fi
    [ "$status" = 1 ] || fail "ended with $status, not 1: $said"
    [ "$said" = "this host cannot run 32-bit x86 programs, which Wine needs (its kernel refused one: status $1): running in a Debian 12 guest under QEMU instead" ] ||
        fail "said: $said"
}

# ran [COMMAND...]: the status the 32-bit program assembled below ends with, run by a shell
# (under COMMAND), as the probe runs its own.
ran() {
    local status=0
    "$@" bash -c '"$0"' "$work/exit7" 2>/dev/null || status=$?
    echo "$status"
}

name_case this_host
assembled=no
if printf '.globl _start\n_start: movl $1, %%eax\nmovl $7, %%ebx\nint $0x80\n' |
    as --32 -o "$work/exit7.o" 2>/dev/null && ld -m elf_i386 -o "$work/exit7" "$work/exit7.o"; then
    assembled=yes
    answers "$(ran)" env
else
    skip "no assembler and linker for 32-bit x86 here"
fi
tally

# Where 32-bit code is forbidden, the probe says no, whichever way this host refuses: a kernel
# without IA-32 emulation fails the exec (126), the filter kills the first system call (159).
name_case forbidden
forbid=$(dirname "$0")/without-32-bit.py
if [ "$assembled" = yes ]; then
    refused=$(ran "$forbid")
    [ "$refused" != 7 ] || fail "a 32-bit program ran where it is forbidden"
    answers "$refused" "$forbid"
else
    said=$("$forbid" "$probe" 2>&1)
    refused=$(sed -n 's/.*its kernel refused one: status \([0-9]*\)).*/\1/p' <<<"$said")
    case $refused in
    126 | 159) answers "$refused" "$forbid" ;;
    *) fail "said: $said" ;;
    esac
fi
tally

summary
