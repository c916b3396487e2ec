#!/bin/bash
# usage: data-source.sh PROGRAM LAUNCHER TEMPLATE WORK win32|win64
# Runs the program through Wine's own ODBC installer, each case in a copy of TEMPLATE (see
# prefix-template.sh) below WORK.
# - replaced: two runs with a stale value left in the data source between them: the second
#   must remove the data source and add it anew, leaving exactly the five fixed values and the
#   second path. On 64-bit Windows all of it lies in the 32-bit registry view, and the 64-bit
#   view has no data source.
# - paths: paths of any characters, in several code pages, given exactly (through LAUNCHER)
#   to the program as shipped and to the program as Windows before 10 version 1903 runs it:
#   each is registered exactly, or refused with the data source left as it was.
# - outcomes: what a run says, in its exit status, on standard error and in the event it writes
#   (Wine's event log prints each event's string): written (also for paths that hold insertion
#   codes or Cyrillic), the installer library missing, a path refused, and refused by Wine's
#   installer, which has no Access driver.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh" "$@"
program=$subject
data_source='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'

begin replaced "$template" "$work"
wine "$program" 'C:\Data\first.mdb' || fail "first run exited with status $?"
wine reg add "$data_source" /v UID /d stale /f "${view[@]}" >/dev/null
wine "$program" 'C:\Other Data\second.mdb' || fail "second run exited with status $?"
stored=$(reg_query 'HKLM\Software\ODBC\ODBC.INI' /s | grep -v '^$')
expected='HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI\ODBC Data Sources
    vornakDsnStore    REG_SZ    Microsoft Access Driver (*.mdb)
HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI\vornakDsnStore
    DBQ    REG_SZ    C:\Other Data\second.mdb
    Driver    REG_SZ    C:\windows\system32\vornak_access_setup.dll
    FIL    REG_SZ    MS Access
    MaxBufferSize    REG_SZ    2048
    PageTimeout    REG_SZ    5'
# reg lists the key itself first, without values of its own.
stored=$(grep -vxF 'HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI' <<<"$stored")
[ "$stored" = "$expected" ] || fail "the registry holds:
$stored"
if [ "$WINEARCH" = win64 ]; then
    # What 64-bit programs see: neither the data source nor its entry.
    view=(/reg:64)
    expect_absent "$data_source"
    expect_absent 'HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources' vornakDsnStore
    view=(/reg:32)
fi
end

# The program as a Windows older than 10 version 1903 runs it: that Windows ignores the
# manifest's request for the UTF-8 code page, as this copy, whose request is blanked out,
# has Wine do. Nothing else in the image differs.
older_program() {
    perl -0777 -pe 's{<activeCodePage\b.*?</activeCodePage>}{" " x length($&)}se' "$program" >"$1"
    ! grep -aq activeCodePage "$1" && [ "$(stat -c %s "$1")" = "$(stat -c %s "$program")" ] ||
        fail "cannot blank the code page request out of the program"
}

# path LOCALE PROGRAM ARGUMENTS EXPECTED: runs PROGRAM (a Windows path) with ARGUMENTS in the
# ANSI code page that Wine takes from LOCALE, over a data source that points at old.mdb.
# EXPECTED is the path the data source must then point at, "refused CODE-PAGE", or "refused
# vornakdsn: ..." with what the program must say.
path() {
    name_case "paths: $1 $2 $3"
    wine "$program" 'C:\Data\old.mdb' >/dev/null 2>&1
    local status=0 errors got
    errors=$(LC_ALL=$1 wine "$launcher" 20 "$(hex "$2 $3")" 2>&1 >/dev/null | tr -d '\r') ||
        status=$?
    got=$(exact_value "$data_source" DBQ)
    case $4 in
    refused*)
        [ "$status" = 2 ] || fail "ended with $status, not 2"
        local told="vornakdsn: the database path has characters that code page ${4#refused } cannot hold"
        [[ $4 != "refused vornakdsn: "* ]] || told=${4#refused }
        [ "$errors" = "$told" ] || fail "told: $errors"
        [ "$got" = 'C:\Data\old.mdb' ] || fail "the data source points at '$got', not the old path"
        ;;
    *)
        [ "$status" = 0 ] || fail "ended with $status: $errors"
        [ "$got" = "$4" ] || fail "the data source points at '$got', not '$4'"
        ;;
    esac
    tally
}

begin paths "$template" "$work"
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/shipped" "$drive/older" "$drive/Программа"
cp "$program" "$drive/shipped/vornakdsn.exe"
older_program "$drive/older/vornakdsn.exe"
cp "$drive/older/vornakdsn.exe" "$drive/Программа/vornakdsn.exe"
tally
shipped='C:\shipped\vornakdsn.exe'
older='C:\older\vornakdsn.exe'
# Wine takes the code page from the locale, installed or not: C.UTF-8 gives 1252,
# ru_RU.UTF-8 1251, ja_JP.UTF-8 932. Only C.UTF-8 is installed, the one in which Wine
# finds a folder with such a name.
path C.UTF-8     "$shipped" '"C:\Data\Заказы.mdb"'  'C:\Data\Заказы.mdb'
path C.UTF-8     "$shipped" '"C:\Data\ｏrders.mdb"' 'C:\Data\ｏrders.mdb'
path ru_RU.UTF-8 "$shipped" '"C:\データ\注文.mdb"'   'C:\データ\注文.mdb'
path C.UTF-8     "$older"   '"C:\Données\café.mdb"' 'C:\Données\café.mdb'
path ru_RU.UTF-8 "$older"   '"C:\Data\Заказы.mdb"'  'C:\Data\Заказы.mdb'
# ソ and 表 end in the byte of a backslash in code page 932.
path ja_JP.UTF-8 "$older"   '"C:\データ\表ソ.mdb"'   'C:\データ\表ソ.mdb'
# What the code page lacks: turned into '?', or into a look-alike (best fit).
path C.UTF-8     "$older"   '"C:\Data\Заказы.mdb"'  'refused 1252'
path C.UTF-8     "$older"   '"C:\Data\ｏrders.mdb"' 'refused 1252'
path ru_RU.UTF-8 "$older"   '"C:\Données\café.mdb"' 'refused 1251'
# Only the path decides, not the program's folder or an ignored argument.
elsewhere='"C:\Программа\vornakdsn.exe"'
path C.UTF-8 "$elsewhere" '"C:\Data Files\orders db.mdb" Заказы' 'C:\Data Files\orders db.mdb'
path C.UTF-8 "$elsewhere" 'C:\Data\Заказы.mdb' 'refused 1252'
# Neither an empty path nor one that a backslash before its closing quote cut short.
path C.UTF-8 "$shipped" '""' 'refused vornakdsn: the database path is empty'
path C.UTF-8 "$shipped" '"C:\Data\"' 'refused vornakdsn: the database path holds a quote ("), which no Windows path can; a backslash before a closing quote escapes it, so end a quoted folder path with two: "C:\Data\\"'
close_prefix

# outcome NAME PATH STATUS TOLD [COMMAND...]: runs the program for PATH, through COMMAND (the
# environment's words); it must end with STATUS and write TOLD: its event (type and ID, then
# its string, on the channel Wine prints that type on) and its standard error.
outcome() {
    name_case "outcomes: $1"
    local status=0 told
    told=$(WINEDEBUG=+eventlog "${@:5}" wine "$program" "$2" 2>&1 >/dev/null |
           tr -d '\r' | sed -nE -e '/^vornakdsn: /p' \
               -e 's/.*:advapi:ReportEventW \([^,]*,(0x[0-9a-f]+),[^,]*,(0x[0-9a-f]+),.*/event \1 \2/p' \
               -e 's/^[0-9a-f]+:(trace|err):eventlog:ReportEventW /\1 /p') || status=$?
    [ "$status" = "$3" ] || fail "ended with $status, not $3"
    [ "$told" = "$4" ] || fail "told:
$told"
    tally
}

begin outcomes "$template" "$work"
tally
written='event 0x0004 0x00000001
trace L"The ODBC data source vornakDsnStore now points at the Access database C:\\Data\\'
not_added='The ODBC data source vornakDsnStore was not added for the Access database C:\Data\e.mdb: the ODBC installer'
outcome written 'C:\Data\e.mdb' 0 "${written}e.mdb.\""
# Event Viewer would put strings in for %1 and %%5 inside the event's string: they are written
# with the fullwidth percent sign (U+FF05), which it leaves alone.
outcome written_with_percent 'C:\Data\Q%1 %%5.mdb' 0 "${written}Q\\ff051 \\ff05\\ff055.mdb.\""
# The event goes as characters, not as the program's bytes (UTF-8 here).
outcome written_in_cyrillic 'C:\Data\Заказ.mdb' 0 \
    "${written}\\0417\\0430\\043a\\0430\\0437.mdb.\"" env LC_ALL=C.UTF-8
outcome library_missing 'C:\Data\e.mdb' 3 "event 0x0001 0x00000002
err L\"${not_added//\\/\\\\} could not be reached. The ODBC installer DLL (ODBCCP32.DLL) is not installed on this system.\"" \
    env WINEDLLOVERRIDES="odbccp32=;$WINEDLLOVERRIDES"
outcome path_refused '' 2 'event 0x0001 0x00000006
err L"the database path is empty"
vornakdsn: the database path is empty'
wine reg delete 'HKLM\Software\ODBC\ODBCINST.INI\Microsoft Access Driver (*.mdb)' /f \
    "${view[@]}" >/dev/null 2>&1 || fail "cannot remove the Access driver"
outcome refused 'C:\Data\e.mdb' 4 "event 0x0001 0x00000003
err L\"${not_added//\\/\\\\} refused it with error 6: Component not found\"
vornakdsn: $not_added refused it with error 6: Component not found"
close_prefix

summary
