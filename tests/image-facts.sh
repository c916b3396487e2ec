#!/bin/bash
# Checks the program image as Windows will see it: a 32-bit console program for NT 4.0,
# stripped, at most 64 KiB, asking for no elevation, importing nothing that NT 4.0 lacks.
set -u
image=$1
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers=$($objdump -p "$image") || { echo "FAIL: cannot read $image"; exit 1; }
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }

grep -q 'file format pei-i386' <<<"$headers" || fail "not a PE32 image for i386"
[ "$(field Subsystem)" = 00000003 ] || fail "subsystem is not the console"
[ "$(field MajorSubsystemVersion)" = 4 ] && [ "$(field MinorSubsystemVersion)" = 0 ] ||
    fail "subsystem version is not 4.0"
grep -q 'symbols stripped' <<<"$headers" && $objdump -t "$image" | grep -q 'no symbols' ||
    fail "not stripped"
size=$(stat -c %s "$image")
[ "$size" -le 65536 ] || fail "$size bytes, more than 64 KiB"

dlls=$(awk '/DLL Name:/ { print $3 }' <<<"$headers" | sort | tr '\n' ' ')
[ "$dlls" = "KERNEL32.dll USER32.dll msvcrt.dll " ] || fail "imports from: $dlls"

# Every function imported, each of which Windows NT 4.0 exports.
nt4='CloseHandle CreateFileA DeleteCriticalSection EnterCriticalSection FreeLibrary
GetFileSize GetLastError GetModuleFileNameA GetModuleHandleA GetModuleHandleW GetProcAddress
GetStartupInfoA GetStdHandle GetSystemDirectoryA InitializeCriticalSection LeaveCriticalSection
LoadLibraryA LocalAlloc LocalFree LocalLock LocalUnlock MoveFileExA SetUnhandledExceptionFilter
Sleep TlsGetValue VirtualProtect VirtualQuery WriteFile
MessageBoxA wsprintfA
__getmainargs __initenv __p__acmdln __p__commode __p__fmode __set_app_type __setusermatherr
_amsg_exit _cexit _initterm _iob _onexit abort calloc exit fprintf free fwrite malloc memcpy
memset signal strlen strncmp vfprintf'
imports=$(awk '/DLL Name:/ { inside = 1; next } inside && NF == 3 && $2 ~ /^[0-9]+$/ { print $3 }
              /^$/ { inside = 0 }' <<<"$headers")
[ -n "$imports" ] || fail "no imported functions found"
for name in $imports; do
    grep -qw -- "$name" <<<"$nt4" || fail "imports $name, not known to be in Windows NT 4.0"
done

resources=$(mktemp)
i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$image" "$resources"
grep -aq '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' "$resources" ||
    fail "no manifest asking to run as the invoker"
rm -f "$resources"

if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "image facts hold: $size bytes, imports: $(tr '\n' ' ' <<<"$imports")"
