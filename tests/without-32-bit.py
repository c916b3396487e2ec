#!/usr/bin/env python3
# usage: without-32-bit.py COMMAND [ARGUMENT...]
# Runs COMMAND as on an x86-64 host whose kernel cannot run 32-bit x86 code: a seccomp filter,
# inherited by every process COMMAND starts, ends with SIGSYS any process that makes a 32-bit
# system call, as a 32-bit program's first one is. Where no filter can be set (another
# processor, a kernel without seccomp), says so on standard error and runs COMMAND as it is.
#
# A model of such a host, not the host itself: what both share is that no 32-bit program gets
# to do anything. How the refusal looks differs: such a kernel fails the exec itself (ENOEXEC,
# a shell's status 126, "Exec format error"), while here the exec succeeds and the program is
# killed at its first system call (SIGSYS, a shell's status 159), and a process that execs
# through this filter on a host without IA-32 emulation sees the kernel's refusal, not the
# filter's. A test run under it may hold only what both have in common: never the status,
# the signal or the error text of the refusal.
import ctypes
import os
import platform
import struct
import sys

PR_SET_NO_NEW_PRIVS = 38
PR_SET_SECCOMP = 22
SECCOMP_MODE_FILTER = 2
AUDIT_ARCH_X86_64 = 0xC000003E
SECCOMP_RET_KILL_PROCESS = 0x80000000
SECCOMP_RET_ALLOW = 0x7FFF0000
# Classic BPF: load the system call's architecture, the second word of seccomp_data; let
# x86-64 calls through and kill on any other.
BPF_LD_W_ABS, BPF_JMP_JEQ_K, BPF_RET_K = 0x20, 0x15, 0x06
INSTRUCTIONS = [
    (BPF_LD_W_ABS, 0, 0, 4),
    (BPF_JMP_JEQ_K, 1, 0, AUDIT_ARCH_X86_64),
    (BPF_RET_K, 0, 0, SECCOMP_RET_KILL_PROCESS),
    (BPF_RET_K, 0, 0, SECCOMP_RET_ALLOW),
]


class SockFprog(ctypes.Structure):
    _fields_ = [("len", ctypes.c_ushort), ("filter", ctypes.c_void_p)]


def forbid_32_bit_code():
    if platform.machine() != "x86_64":
        return "this is no x86-64 host"
    code = ctypes.create_string_buffer(b"".join(struct.pack("HBBI", *i) for i in INSTRUCTIONS))
    program = SockFprog(len(INSTRUCTIONS), ctypes.addressof(code))
    libc = ctypes.CDLL(None, use_errno=True)
    if (libc.prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 or
            libc.prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, ctypes.byref(program), 0, 0) != 0):
        return os.strerror(ctypes.get_errno())
    return None


if len(sys.argv) < 2:
    sys.exit("usage: without-32-bit.py COMMAND [ARGUMENT...]")
why = forbid_32_bit_code()
if why:
    print(f"without-32-bit.py: cannot forbid 32-bit code ({why}); running as this host does",
          file=sys.stderr)
os.execvp(sys.argv[1], sys.argv[1:])
