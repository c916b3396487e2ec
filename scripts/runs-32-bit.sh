#!/bin/bash
# usage: scripts/runs-32-bit.sh
# Exits 0 when this host runs 32-bit x86 programs, as Wine's 32-bit half needs. Otherwise says
# so in one line, with what ./run.sh and ./test.sh do instead, and exits 1. Asks the kernel by
# running a 96-byte static i386 program that exits with 42: a kernel without IA-32 emulation
# (or booted with ia32_emulation=0), WSL 1 and some sandboxes refuse it.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
probe=$(mktemp build/runs-32-bit.XXXXXX)
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment at 0x08048000, then: mov eax, 1; mov ebx, 42; int 0x80.
printf '%b' \
    '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' \
    '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00' \
    '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
status=0
# Braced, so that the shell's own report of a program killed by a signal goes nowhere too.
{ "$probe"; } 2>/dev/null || status=$?
[ "$status" -ne 42 ] || exit 0
echo "this host cannot run 32-bit x86 programs, which Wine needs (its kernel refused one:" \
     "status $status): running in a Debian 12 guest under QEMU instead" >&2
exit 1
