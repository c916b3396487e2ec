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
#   installer, which has no Access driver; what each run changed, and the data source put back
#   where the installer refused the new one after removing the old.
# - checks: what --check says of the data source, as a run leaves it, as the Access driver
#   keeps one, and changed in every way a program would meet, without writing anything.
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
# What each run changed: the path before, or none, and whether anything else differed.
outcome written 'C:\Data\e.mdb' 0 "${written}e.mdb. There was none before.\""
# Event Viewer would put strings in for %1 and %%5 inside the event's string: they are written
# with the fullwidth percent sign (U+FF05), which it leaves alone.
percent='Q\ff051 \ff05\ff055.mdb'
outcome written_with_percent 'C:\Data\Q%1 %%5.mdb' 0 \
    "${written}$percent. Before, it pointed at C:\\\\Data\\\\e.mdb. Nothing else differed.\""
# The event goes as characters, not as the program's bytes (UTF-8 here).
cyrillic='\0417\0430\043a\0430\0437.mdb'
outcome written_in_cyrillic 'C:\Data\Заказ.mdb' 0 \
    "${written}$cyrillic. Before, it pointed at C:\\\\Data\\\\$percent. Nothing else differed.\"" \
    env LC_ALL=C.UTF-8
wine reg add "$data_source" /v PageTimeout /d 9 /f "${view[@]}" >/dev/null
outcome written_again 'C:\Data\Заказ.mdb' 0 \
    "${written}$cyrillic. It pointed there before too. Its other settings differed.\"" \
    env LC_ALL=C.UTF-8
outcome library_missing 'C:\Data\e.mdb' 3 "event 0x0001 0x00000002
err L\"${not_added//\\/\\\\} could not be reached. The ODBC installer DLL (ODBCCP32.DLL) is not installed on this system.\"" \
    env WINEDLLOVERRIDES="odbccp32=;$WINEDLLOVERRIDES"
outcome path_refused '' 2 'event 0x0001 0x00000006
err L"the database path is empty"
vornakdsn: the database path is empty'

# The installer refuses the new data source after its removal took the old one away: the
# old one is added again as it was, with its own driver, and is gone only where that driver
# refuses it too. The Access driver's setup here is one that refuses to add (built beside the
# launcher) and still removes.
driver_key='HKLM\Software\ODBC\ODBCINST.INI'
register_driver() {  # register_driver NAME SETUP-FILE
    wine reg add "$driver_key\\$1" /v Driver /d "C:\\windows\\system32\\$2" /f "${view[@]}" >/dev/null
    wine reg add "$driver_key\\$1" /v Setup /d "C:\\windows\\system32\\$2" /f "${view[@]}" >/dev/null
}
old_data_source() {  # old_data_source DRIVER
    wine reg add "$listing" /v vornakDsnStore /d "$1" /f "${view[@]}" >/dev/null
    wine reg add "$data_source" /v DBQ /d 'C:\Data\old.mdb' /f "${view[@]}" >/dev/null
    wine reg add "$data_source" /v UID /d old /f "${view[@]}" >/dev/null
}
listing='HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources'
cp "$(dirname "$launcher")/access_setup_refusing.dll" \
    "$WINEPREFIX/drive_c/windows/$system_folder/vornak_refusing_setup.dll"
register_driver 'Microsoft Access Driver (*.mdb)' vornak_refusing_setup.dll
register_driver 'vornak Other Driver' vornak_access_setup.dll
refused_by_setup="refused it with error 11: Request Failed."
old_data_source 'vornak Other Driver'
outcome put_back 'C:\Data\e.mdb' 4 "event 0x0001 0x00000003
err L\"${not_added//\\/\\\\} $refused_by_setup The data source as it was before was put back.\"
vornakdsn: $not_added $refused_by_setup The data source as it was before was put back."
[ "$(exact_value "$data_source" DBQ) $(exact_value "$data_source" UID) $(exact_value "$listing" vornakDsnStore)" = \
  'C:\Data\old.mdb old vornak Other Driver' ] || fail "was not put back as it was"
old_data_source 'Microsoft Access Driver (*.mdb)'
outcome not_put_back 'C:\Data\e.mdb' 4 "event 0x0001 0x00000003
err L\"${not_added//\\/\\\\} $refused_by_setup The data source as it was before could not be put back, and is gone.\"
vornakdsn: $not_added $refused_by_setup The data source as it was before could not be put back, and is gone."
expect_absent "$data_source"
wine reg delete "$driver_key\\Microsoft Access Driver (*.mdb)" /f "${view[@]}" >/dev/null 2>&1 ||
    fail "cannot remove the Access driver"
outcome refused 'C:\Data\e.mdb' 4 "event 0x0001 0x00000003
err L\"${not_added//\\/\\\\} refused it with error 6: Component not found\"
vornakdsn: $not_added refused it with error 6: Component not found"
close_prefix

# check NAME PATH STATUS SAID [COMMAND...]: --check for PATH, through COMMAND, ends with STATUS
# and says SAID: its standard output, then its standard error; it writes no event and leaves
# the registry as it was.
check() {
    name_case "checks: $1"
    local status=0 said registry
    registry=$(reg_query 'HKLM\Software\ODBC' /s)
    said=$(WINEDEBUG=+eventlog "${@:5}" wine "$program" --check "$2" 2>"$WINEPREFIX/errors") ||
        status=$?
    said=$({ printf '%s\n' "$said"; grep -e '^vornakdsn: ' -e 'Event' "$WINEPREFIX/errors"; } |
           tr -d '\r' | sed '/^$/d')
    [ "$status" = "$3" ] || fail "ended with $status, not $3"
    [ "$said" = "$4" ] || fail "said:
$said"
    [ "$(reg_query 'HKLM\Software\ODBC' /s)" = "$registry" ] || fail "changed the registry"
    tally
}

begin checks "$template" "$work"
wine "$program" 'C:\Data\e.mdb' >/dev/null 2>&1 || fail "the run before ended with $?"
tally
right='The ODBC data source vornakDsnStore points at the Access database C:\Data\e.mdb, as a run leaves it.'
check right 'C:\Data\e.mdb' 0 "$right"
check other_path 'C:\Data\other.mdb' 1 \
    'vornakDsnStore has DBQ "C:\Data\e.mdb"; it should be "C:\Data\other.mdb".'
check refused_path '' 2 'vornakdsn: the database path is empty'
check without_installer 'C:\Data\e.mdb' 0 "$right" env WINEDLLOVERRIDES="odbccp32=;$WINEDLLOVERRIDES"
# As the Access driver keeps a data source: its engine's settings as numbers in a subkey, FIL
# as a list; and its file named in another way.
wine reg delete "$data_source" /v MaxBufferSize /f "${view[@]}" >/dev/null
wine reg delete "$data_source" /v PageTimeout /f "${view[@]}" >/dev/null
wine reg add "$data_source\\Engines\\Jet" /v MaxBufferSize /t REG_DWORD /d 2048 /f "${view[@]}" >/dev/null
wine reg add "$data_source\\Engines\\Jet" /v PageTimeout /t REG_DWORD /d 5 /f "${view[@]}" >/dev/null
wine reg add "$data_source" /v FIL /d 'MS Access;' /f "${view[@]}" >/dev/null
wine reg add "$data_source" /v Driver /t REG_EXPAND_SZ \
    /d '%SystemRoot%\SYSTEM32\VORNAK_ACCESS_SETUP.DLL' /f "${view[@]}" >/dev/null
check as_the_driver_keeps_it 'C:\Data\e.mdb' 0 "$right"
# What programs would meet as "Data source name not found" or "driver could not be loaded".
wine reg add "$listing" /v vornakDsnStore /d 'SQL Server' /f "${view[@]}" >/dev/null
wine reg add "$data_source\\Engines\\Jet" /v PageTimeout /t REG_DWORD /d 600 /f "${view[@]}" >/dev/null
wine reg delete "$data_source" /v FIL /f "${view[@]}" >/dev/null
wine reg add "$data_source" /v Driver /d 'C:\windows\system32\sqlsrv32.dll' /f "${view[@]}" >/dev/null
page_timeout='vornakDsnStore has PageTimeout "600"; it should be "5".
vornakDsnStore has no FIL; it should be "MS Access".'
check differing 'C:\Data\e.mdb' 1 'vornakDsnStore is listed under "ODBC Data Sources" with "SQL Server"; it should be with "Microsoft Access Driver (*.mdb)".
'"$page_timeout"'
vornakDsnStore has Driver "C:\windows\system32\sqlsrv32.dll"; it should name the file that the driver is registered with, "C:\windows\system32\vornak_access_setup.dll".'
wine reg delete "$listing" /v vornakDsnStore /f "${view[@]}" >/dev/null
wine reg delete "$driver_key\\Microsoft Access Driver (*.mdb)" /f "${view[@]}" >/dev/null
check unlisted_driver_gone 'C:\Data\e.mdb' 1 'vornakDsnStore is not listed under "ODBC Data Sources"; it should be, with "Microsoft Access Driver (*.mdb)".
'"$page_timeout"'
"Microsoft Access Driver (*.mdb)" is not registered on this machine, so no program can open vornakDsnStore.'
wine reg delete "$data_source" /f "${view[@]}" >/dev/null
check missing 'C:\Data\e.mdb' 1 \
    'The ODBC data source vornakDsnStore is missing; it should point at the Access database C:\Data\e.mdb.'
close_prefix

summary
