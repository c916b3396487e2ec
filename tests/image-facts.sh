#!/bin/bash
# usage: image-facts.sh IMAGE VERSION
# Checks the program image as Windows will see it: a 32-bit console program for NT 4.0 on a
# Pentium, stripped, under 26 KiB, turning off Windows' boxes for libraries that cannot load, with a manifest that Windows XP starts, asking for no
# elevation and for UTF-8 as its code page, importing nothing that NT 4.0 lacks, and carrying
# VERSION (X.Y.Z) in its version resource as Explorer and inventories read it.
set -euo pipefail
image=$1
version=$2
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
[ "$size" -lt 26624 ] || fail "$size bytes, not under 26 KiB"

# The least processor the README names, the Pentium: nothing of the Pentium Pro and later
# (conditional moves, fcomi, long NOPs, sysenter, prefetches and fences), nor MMX or SSE.
disassembly=$($objdump -d --no-show-raw-insn "$image") || { echo "FAIL: cannot disassemble $image"; exit 1; }
grep -q '<.text>:' <<<"$disassembly" || fail "no disassembly of the code to look at"
newer=$(grep -E '\s(cmov|fcmov|fu?comi|nop[lw]|sysenter|sysexit|prefetch|[lms]fence|clflush|movnt|fxsave|fxrstor|popcnt|lzcnt|tzcnt)|%x?mm[0-9]' <<<"$disassembly" || true)
[ -z "$newer" ] || fail "instructions that a Pentium lacks: $(head -3 <<<"$newer" | tr -s '\t\n ' ' ')"

dlls=$(awk '/DLL Name:/ { print $3 }' <<<"$headers" | sort | tr '\n' ' ')
[ "$dlls" = "KERNEL32.dll USER32.dll msvcrt.dll " ] || fail "imports from: $dlls"

# Every function imported, each of which Windows NT 4.0 exports.
nt4='CloseHandle CreateFileA DeleteCriticalSection EnterCriticalSection ExpandEnvironmentStringsA FreeLibrary GetACP
ExpandEnvironmentStringsW FormatMessageA FormatMessageW GetCommandLineA GetCommandLineW GetConsoleMode GetConsoleOutputCP
GetCurrentProcessId GetFileSize GetLastError GetModuleFileNameA GetModuleHandleA GetModuleHandleW GetOEMCP GetProcAddress
GetStartupInfoA GetStdHandle GetSystemDirectoryA InitializeCriticalSection LeaveCriticalSection
LoadLibraryA LocalAlloc LocalFree LocalLock LocalReAlloc LocalUnlock MoveFileExA MultiByteToWideChar
SetUnhandledExceptionFilter WideCharToMultiByte CreateMutexA OpenMutexA ReleaseMutex SetErrorMode WaitForSingleObject
GetVersion Sleep TlsGetValue VirtualProtect VirtualQuery WriteConsoleW WriteFile lstrcatA lstrcatW lstrcmpiA lstrcmpiW
lstrcpyA lstrcpyW lstrcpynA lstrlenA lstrlenW
GetProcessWindowStation GetUserObjectInformationA MessageBoxA wsprintfA wsprintfW
__getmainargs __initenv __p__acmdln __p__commode __p__fmode __set_app_type __setusermatherr
_amsg_exit _cexit _initterm _iob _onexit abort calloc exit fprintf free fwrite malloc memcpy
memset signal strchr strcmp strlen strncmp vfprintf wcscmp'
imports=$(awk '/DLL Name:/ { inside = 1; next } inside && NF == 3 && $2 ~ /^[0-9]+$/ { print $3 }
              /^$/ { inside = 0 }' <<<"$headers")
[ -n "$imports" ] || fail "no imported functions found"
for name in $imports; do
    grep -qw -- "$name" <<<"$nt4" || fail "imports $name, not known to be in Windows NT 4.0"
done

# Windows' own box for a library that cannot be loaded as it stands (a dependency missing, a
# damaged copy) waits for someone to press OK, and Wine's loader shows none: the entry point's
# first call through the import table, before any library is loaded, is SetErrorMode.
slots=$(awk '/^ [0-9a-f]+\t/ && NF == 6 { thunk = $6 }
             /DLL Name:/ { inside = 1; n = 0; next }
             inside && NF == 3 && $2 ~ /^[0-9]+$/ { print thunk, n++, $3 }
             /^$/ { inside = 0 }' <<<"$headers" |
        while read -r thunk n name; do
            printf '%x %s\n' $((0x$(field ImageBase) + 0x$thunk + 4 * n)) "$name"
        done)
entry=$(printf '%x' $((0x$(field ImageBase) + 0x$(field AddressOfEntryPoint))))
# The first call of any kind: through an import's slot, or to a stub that jumps through one.
first=$(awk -v entry="  $entry:" 'index($0, entry) == 1 { on = 1 }
                                  on && /\tcall / { sub(/.*call +/, ""); print $1; exit }' <<<"$disassembly")
if [[ $first == 0x* ]]; then
    first=$(awk -v at="  ${first#0x}:" 'index($0, at) == 1 { print $NF; exit }' <<<"$disassembly")
fi
first=$(awk -v slot="${first#\*0x}" '$1 == slot { print $2 }' <<<"$slots")
[ "$first" = SetErrorMode ] || fail "the entry point's first call is ${first:-none found}, not SetErrorMode"

# Bound by name at run time, so not among the imports: the event log's and the registry's wide
# functions. Windows reads the bytes that the ANSI ones pass in the system's code page, not the
# program's, and the registry's ANSI ones turn what the code page lacks into look-alikes.
for name in RegisterEventSourceW ReportEventW RegEnumValueW RegQueryValueExW RegSetValueExW; do
    grep -aq "$name" "$image" || fail "does not bind $name"
done
! grep -aqe 'RegisterEventSourceA' -e 'ReportEventA' -e 'RegQueryValueExA' -e 'RegEnumValueA' "$image" ||
    fail "binds the event log's or the registry's ANSI functions"

resources=$(mktemp)
i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$image" "$resources"
# The manifest as Windows XP and Server 2003 read it too: they refuse to start a program whose
# manifest has an asm.v1 element they do not know, and XP SP2 crashes on an element that
# declares one namespace twice. Later Windows read the rest: no elevation, UTF-8.
manifest=$(perl -0777 -ne 'print $1 if /(<\?xml.*?<\/assembly>)/s' "$resources")
while read -r line; do
    [ -z "$line" ] || fail "manifest: $line"
done < <(python3 - "$manifest" <<'EOF'
import re, sys, xml.etree.ElementTree as ET
text = sys.argv[1]
v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
known_to_xp = {"assembly", "assemblyIdentity", "dependency", "dependentAssembly", "description",
               "file", "noInherit", "noInheritable", "comClass", "typelib", "windowClass",
               "comInterfaceExternalProxyStub", "comInterfaceProxyStub", "clrClass",
               "clrSurrogate"}
try:
    root = ET.fromstring(text)
except ET.ParseError as error:
    sys.exit(print("does not parse:", error))
for element in root.iter():
    if element.tag.startswith(v1) and element.tag[len(v1):] not in known_to_xp:
        print("asm.v1 element unknown to Windows XP:", element.tag[len(v1):])
for tag in re.findall(r"<[A-Za-z][^>]*>", text):
    spaces = re.findall(r'xmlns(?::[\w.-]+)?\s*=\s*"([^"]*)"', tag)
    if len(spaces) != len(set(spaces)):
        print("one element declares a namespace twice:", tag)
level = root.find(f"{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel")
if level is None or level.get("level") != "asInvoker" or level.get("uiAccess") != "false":
    print("does not ask to run as the invoker")
page = root.find(f"{v3}application/{v3}windowsSettings/"
                 "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}activeCodePage")
if page is None or page.text != "UTF-8":
    print("does not ask for UTF-8 as the code page")
EOF
)

# The fixed block: its signature, then the file and the product version, each as two
# words of two 16-bit parts, most significant first.
IFS=. read -r major minor patch <<<"$version"
fixed=$(perl -0777 -ne 'if (/\xBD\x04\xEF\xFE.{4}(.{16})/s) {
                            my @w = unpack("V4", $1);
                            printf "%d.%d.%d.%d %d.%d.%d.%d", map { ($_ >> 16, $_ & 0xFFFF) } @w }' \
        "$resources")
[ "$fixed" = "$major.$minor.$patch.0 $major.$minor.$patch.0" ] ||
    fail "file and product version are '$fixed', not $version.0"
# The strings, UTF-16 with their NULs and padding dropped: each name runs into its value.
strings=$(tr -d '\0' <"$resources")
for pair in "FileVersion$version" "ProductVersion$version" "ProductNamevornakdsn" \
            "OriginalFilenamevornakdsn.exe" "FileDescriptionRegisters the ODBC data source"; do
    grep -aqF "$pair" <<<"$strings" || fail "the version resource lacks $pair"
done
rm -f "$resources"

if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "image facts hold: $size bytes, imports: $(tr '\n' ' ' <<<"$imports")"
