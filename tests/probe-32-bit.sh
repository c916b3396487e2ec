#!/bin/bash
# usage: probe-32-bit.sh SOURCE-DIR WORK
# Checks scripts/runs-32-bit.sh against the kernel, whichever host this is: its answer here is
# what the kernel does with a 32-bit program of another make (assembled below WORK), and where
# 32-bit code is forbidden (without-32-bit.py) it says no, in its one line.
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

name_case this_host
if printf '.globl _start\n_start: movl $1, %%eax\nmovl $7, %%ebx\nint $0x80\n' |
    as --32 -o "$work/exit7.o" 2>/dev/null && ld -m elf_i386 -o "$work/exit7" "$work/exit7.o"; then
    status=0
    { "$work/exit7"; } 2>/dev/null || status=$?
    answers "$status" env
else
    skip "no assembler and linker for 32-bit x86 here"
fi
tally

name_case forbidden
# SIGSYS, the filter's answer to a 32-bit system call.
answers 159 "$(dirname "$0")/without-32-bit.py"
tally

summary
