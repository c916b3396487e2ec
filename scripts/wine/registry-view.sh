# Sourced: where a 32-bit program's files and registry lie in the prefix of WINEARCH.
# system_folder is its system directory's folder on disk and program_files_folder the folder
# its installers put programs in, both below drive_c; view holds the reg option that addresses
# the registry as it sees it (none on 32-bit Windows, which has only that view), and regedit
# the regedit that sees it so.
if [ "${WINEARCH:-win32}" = win64 ]; then
    system_folder=syswow64
    program_files_folder='Program Files (x86)'
    view=(/reg:32)
    regedit='C:\windows\syswow64\regedit.exe'
else
    system_folder=system32
    program_files_folder='Program Files'
    view=()
    regedit='C:\windows\regedit.exe'
fi

# exact_key 'HKLM\Software\...': the key's values as reg query shows them, the key's name
# first, but with every character as stored: read from the UTF-16 export of the 32-bit
# regedit, where reg shows what the console lacks as '?'. Fails when the key is not there.
exact_key() {
    local file=$WINEPREFIX/drive_c/vornakdsn-export.reg
    rm -f "$file"
    wine "$regedit" /e 'C:\vornakdsn-export.reg' "HKEY_LOCAL_MACHINE\\${1#HKLM\\}" >/dev/null 2>&1
    [ -f "$file" ] || return 1
    iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | awk '
        /^\[/ { print substr($0, 2, length($0) - 2); next }
        /^"/ {
            split($0, part, "\"=\"")
            name = substr(part[1], 2)
            value = substr($0, length(part[1]) + 4, length($0) - length(part[1]) - 4)
            gsub(/\\\\/, "\\", value)
            gsub(/\\"/, "\"", value)
            print "    " name "    REG_SZ    " value
        }'
    rm -f "$file"
}
