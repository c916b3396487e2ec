#!/bin/bash
# usage: data-source.sh PROGRAM LAUNCHER TEMPLATE WORK win32|win64
# Runs the program through Wine's own ODBC installer, in two copies of TEMPLATE (see
# prefix-template.sh) below WORK, one for the paths and the outcomes, one for the checks.
# - paths: paths of any characters, in several code pages, given exactly (through LAUNCHER)
#   to the program as shipped and to the program as Windows before 10 version 1903 runs it:
#   each is registered exactly, or refused with the data source left as it was; --check judges
#   its own path, whatever else the command line holds, and tells a character that the code
#   page lacks from a look-alike.
# - outcomes: what a run says, in its exit status, on standard error and in the event it writes
#   (Wine's event log prints each event's string): written (also for paths that hold insertion
#   codes or Cyrillic), the installer library missing, a path refused, and refused by Wine's
#   installer, which has no Access driver; what each run changed; and the data source put back
#   to the byte, the registry exported before and after, where the Access driver's setup
#   refused the new one after removing the old: one with values of every type, 71 of them and
#   two subkeys, and one with a Cyrillic description, run as Windows before 1903 runs it.
# - replaced: two runs with a stale value left in the data source between them: the second
#   must remove the data source and add it anew, leaving exactly the five fixed values and the
#   second path. On 64-bit Windows all of it lies in the 32-bit registry view, and the 64-bit
#   view has no data source.
# - checks: what --check says of that data source, as the Access driver keeps one, changed in
#   every way a program would meet, and hidden by a user's own, without writing anything; its
#   lines reach a pipe in the console's code page.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh" "$@"
program=$subject
data_source='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'
listing='HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources'
odbc_ini='HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI'
driver_key='HKEY_LOCAL_MACHINE\Software\ODBC\ODBCINST.INI'
# console_text: what a program wrote to a pipe, as its console shows it. Wine gives a program
# run from a shell its OEM code page as its console's: 437 in the locale C.UTF-8 that the tests
# run in, and UTF-8 to the program as shipped, whose manifest asks for it, as Windows does.
console_text() {
    tr -d '\r' | iconv -f "$console_code_page" -t UTF-8
}
console_code_page=UTF-8

# reg_hex TEXT: TEXT in UTF-16 with its NUL, as a .reg file writes the bytes of a value.
reg_hex() {
    printf '%s\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' |
        sed 's/^,//; s/,$//'
}

# The program as a Windows older than 10 version 1903 runs it: that Windows ignores the
# manifest's request for the UTF-8 code page, as this copy, whose request is blanked out,
# has Wine do. Nothing else in the image differs.
older_program() {
    perl -0777 -pe 's{<activeCodePage\b.*?</activeCodePage>}{" " x length($&)}se' "$program" >"$1"
    ! grep -aq activeCodePage "$1" && [ "$(stat -c %s "$1")" = "$(stat -c %s "$program")" ] ||
        fail "cannot blank the code page request out of the program"
}

# launched LOCALE COMMAND-LINE: runs COMMAND-LINE, handed over exactly, in the ANSI code page
# that Wine takes from LOCALE; its standard output as the console shows it, then its status.
launched() {
    local said status=0
    said=$(LC_ALL=$1 wine "$launcher" 180 "$(hex "$2")" 2>"$WINEPREFIX/errors" |
           console_code_page=CP437 console_text) || status=$?
    printf '%s\n%s' "$said" "$status"
}

# path LOCALE PROGRAM ARGUMENTS EXPECTED: runs PROGRAM (a Windows path) with ARGUMENTS, given
# exactly, in the ANSI code page that Wine takes from LOCALE. EXPECTED is the path the data
# source must then point at, "refused CODE-PAGE", or "refused vornakdsn: ..." with what the
# program must say; a refused path leaves the data source at $before, where the row before
# left it.
path() {
    name_case "paths: $1 $2 $3"
    local status=0 errors got
    errors=$(LC_ALL=$1 wine "$launcher" 180 "$(hex "$2 $3")" 2>&1 >/dev/null | tr -d '\r') ||
        status=$?
    read_state "$data_source"
    got=$(state_value "$data_source" DBQ)
    case $4 in
    refused*)
        [ "$status" = 2 ] || fail "ended with $status, not 2"
        local told="vornakdsn: the database path has characters that code page ${4#refused } cannot hold"
        [[ $4 != "refused vornakdsn: "* ]] || told=${4#refused }
        [ "$errors" = "$told" ] || fail "told: $errors"
        [ "$got" = "$before" ] || fail "the data source points at '$got', not '$before' as before"
        ;;
    *)
        [ "$status" = 0 ] || fail "ended with $status: $errors"
        [ "$got" = "$4" ] || fail "the data source points at '$got', not '$4'"
        before=$4
        ;;
    esac
    tally
}

# check_path LOCALE PROGRAM ARGUMENTS STATUS SAID: PROGRAM --check ARGUMENTS, given as path
# gives them, ends with STATUS and says SAID last; PROGRAM a copy of the program as Windows
# before 1903 runs it, which writes in code page 437 here.
check_path() {
    name_case "paths: $1 $2 --check $3"
    local said
    said=$(launched "$1" "$2 --check $3")
    [ "${said##*$'\n'}" = "$4" ] || fail "ended with ${said##*$'\n'}, not $4: $(cat "$WINEPREFIX/errors")"
    said=${said%$'\n'*}
    [ "${said##*$'\n'}" = "$5" ] || fail "said: $said"
    tally
}

# The sections of cases, each run only where CASES (see tests/lib.sh) may want one of its
# cases. Their bodies stand unindented: the registry's texts and the lines expected of the
# program are written in them as regedit and the program have them, line for line.
paths_section() {
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/shipped" "$drive/older" "$drive/Программа"
cp "$program" "$drive/shipped/vornakdsn.exe"
older_program "$drive/older/vornakdsn.exe"
cp "$drive/older/vornakdsn.exe" "$drive/Программа/vornakdsn.exe"
before='C:\Data\old.mdb'
wine "$program" "$before" >/dev/null 2>&1 || fail "the run before ended with $?"
set_up_done
shipped='C:\shipped\vornakdsn.exe'
older='C:\older\vornakdsn.exe'
# Wine takes the code page from the locale, installed or not: C.UTF-8 gives 1252,
# ru_RU.UTF-8 1251, ja_JP.UTF-8 932. Only C.UTF-8 is installed, the one in which Wine
# finds a folder with such a name.
path C.UTF-8     "$shipped" '"C:\Data\Заказы.mdb"'  'C:\Data\Заказы.mdb'
path C.UTF-8     "$shipped" '"C:\Data\ｏrders.mdb"' 'C:\Data\ｏrders.mdb'
# The data source read as characters: a fullwidth ｏ is no o, whatever the code page.
check_path C.UTF-8 "$older" 'C:\Data\orders.mdb' 1 \
    'vornakDsnStore has DBQ "C:\Data\?rders.mdb"; it should be "C:\Data\orders.mdb".'
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
check_path C.UTF-8 "$elsewhere" '"C:\Data Files\orders db.mdb" Заказы' 0 \
    'The ODBC data source vornakDsnStore points at the Access database C:\Data Files\orders db.mdb, as a run leaves it.'
check_path C.UTF-8 "$elsewhere" 'C:\Data\other.mdb Заказы' 1 \
    'vornakDsnStore has DBQ "C:\Data Files\orders db.mdb"; it should be "C:\Data\other.mdb".'
# Windows' msvcrt.dll splits the command line after best fit has made a fullwidth quote a quote,
# a fullwidth backslash a backslash and an en space a blank; the program splits its characters.
# Wine's msvcrt splits the characters too, so here such a folder can only be shown harmless.
odd=$'Ｐ＂＼\u2002x'
mkdir -p "$drive/$odd"
cp "$drive/older/vornakdsn.exe" "$drive/$odd/vornakdsn.exe"
path C.UTF-8 "\"C:\\$odd\\vornakdsn.exe\"" 'C:\Data\orders.mdb' 'C:\Data\orders.mdb'
# Neither an empty path nor one that a backslash before its closing quote cut short.
path C.UTF-8 "$shipped" '""' 'refused vornakdsn: the database path is empty'
path C.UTF-8 "$shipped" '"C:\Data\"' 'refused vornakdsn: the database path holds a quote ("), which no Windows path can; a backslash before a closing quote escapes it, so end a quoted folder path with two: "C:\Data\\"'

}

# told_by PATH STATUS TOLD [COMMAND...]: runs $program for PATH, through COMMAND (the
# environment's words); it must end with STATUS and write TOLD: its standard error, then its
# event (type and ID, then its string, on the channel Wine prints that type on).
told_by() {
    local status=0 told
    told=$(WINEDEBUG=+eventlog "${@:4}" wine "$program" "$1" 2>&1 >/dev/null |
           tr -d '\r' | sed -nE -e '/^vornakdsn: /p' \
               -e 's/.*:advapi:ReportEventW \([^,]*,(0x[0-9a-f]+),[^,]*,(0x[0-9a-f]+),.*/event \1 \2/p' \
               -e 's/^[0-9a-f]+:(trace|err):eventlog:ReportEventW /\1 /p') || status=$?
    [ "$status" = "$2" ] || fail "ended with $status, not $2"
    [ "$told" = "$3" ] || fail "told:
$told"
}

# outcome NAME PATH STATUS TOLD [COMMAND...]: told_by, a case of its own.
outcome() {
    name_case "outcomes: $1"
    told_by "${@:2}"
    tally
}

# put_back NAME TOLD [COMMAND...]: a run for C:\Data\e.mdb that the Access driver's setup
# refuses after removing the data source there: it ends with 4 and says TOLD, and ODBC.INI is
# then as it was, to the byte.
put_back() {
    name_case "outcomes: $1"
    export_registry "$odbc_ini" "$WINEPREFIX/before.reg"
    told_by 'C:\Data\e.mdb' 4 "${@:2}"
    export_registry "$odbc_ini" "$WINEPREFIX/after.reg"
    cmp -s "$WINEPREFIX/before.reg" "$WINEPREFIX/after.reg" ||
        fail "ODBC.INI was not put back as it was: $(diff <(iconv -f UTF-16 "$WINEPREFIX/before.reg") \
              <(iconv -f UTF-16 "$WINEPREFIX/after.reg") | head -20)"
    tally
}

written='event 0x0004 0x00000001
trace L"The ODBC data source vornakDsnStore now points at the Access database C:\\Data\\'
not_added='The ODBC data source vornakDsnStore was not added for the Access database C:\Data\e.mdb: the ODBC installer'
# told NOT-ADDED-END EVENT-ID [PATH]: a refusal's line and its event, for PATH instead of e.mdb.
told() {
    local sentence="${not_added/e.mdb/${3:-e.mdb}} $1"
    printf 'vornakdsn: %s\nevent 0x0001 0x%08x\nerr L"%s"' "$sentence" "$2" "${sentence//\\/\\\\}"
}

outcomes_section() {
name_case outcomes
import_registry "[-$odbc_ini\\vornakDsnStore]
[$odbc_ini\\ODBC Data Sources]
\"vornakDsnStore\"=-"
set_up_done
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
import_registry "[$odbc_ini\\vornakDsnStore]
\"PageTimeout\"=\"9\""
outcome written_again 'C:\Data\Заказ.mdb' 0 \
    "${written}$cyrillic. It pointed there before too. Its other settings differed.\"" \
    env LC_ALL=C.UTF-8
outcome library_missing 'C:\Data\e.mdb' 3 "event 0x0001 0x00000002
err L\"${not_added//\\/\\\\} could not be reached. The ODBC installer DLL (ODBCCP32.DLL) is not installed on this system.\"" \
    env WINEDLLOVERRIDES="odbccp32=;$WINEDLLOVERRIDES"
outcome path_refused '' 2 'vornakdsn: the database path is empty
event 0x0001 0x00000006
err L"the database path is empty"'

import_registry "[-$driver_key\\Microsoft Access Driver (*.mdb)]"
outcome refused 'C:\Data\e.mdb' 4 "$(told 'refused it with error 6: Component not found' 3)"

# The Access driver's setup here refuses adds (built beside the launcher) after writing part of
# the new one, and still removes: the data source that was there is written back into the
# registry as it was, with no help from that setup. First one as no run writes it: values of
# every type, one stored without its terminator, one of the size that the refused add writes
# there but other bytes, a name with an equals sign, 73 values, two subkeys.
cp "$tools/access_setup_refusing.dll" \
    "$WINEPREFIX/drive_c/windows/$system_folder/vornak_refusing_setup.dll"
values=
for i in $(seq 64); do
    values+="\"Value $i\"=\"$i\""$'\n'
done
import_registry "[$driver_key\\Microsoft Access Driver (*.mdb)]
\"Driver\"=\"C:\\\\windows\\\\system32\\\\vornak_refusing_setup.dll\"
\"Setup\"=\"C:\\\\windows\\\\system32\\\\vornak_refusing_setup.dll\"

[-$odbc_ini\\vornakDsnStore]
[$odbc_ini\\vornakDsnStore]
\"Driver\"=\"C:\\\\windows\\\\system32\\\\vornak_refusing_setup.dll\"
\"DBQ\"=\"C:\\\\Data\\\\old.mdb\"
\"Binary\"=hex:00,01,fe,ff
\"Strings\"=hex(7):$(reg_hex 'a'),$(reg_hex 'б'),00,00
\"Expandable\"=hex(2):$(reg_hex '%TEMP%\x')
\"Quad\"=hex(b):01,02,03,04,05,06,07,08
\"FIL\"=\"dBase 5.0\"
\"Name=Value\"=\"an equals sign in its name\"
$values
[$odbc_ini\\vornakDsnStore\\Engines\\Jet]
\"MaxBufferSize\"=dword:00000800
\"PageTimeout\"=dword:00000005

[$odbc_ini\\vornakDsnStore\\Engines\\Xbase]
\"CollatingSequence\"=\"ASCII\""
wine "$tools/registry_edit.exe" unterminated 'Software\ODBC\ODBC.INI\vornakDsnStore' Unterminated \
    'C:\Data\old.mdb' || fail "cannot store a string without its terminator"
refused_by_setup="refused it with error 11: Request Failed. The data source as it was before was put back."
put_back of_every_kind "$(told "$refused_by_setup" 3)"
# Then one whose description the code page lacks, by the program as Windows before 1903 runs
# it, in code page 1252: the registry keeps its characters, and so does the program.
older_program "$WINEPREFIX/drive_c/older.exe"
import_registry "[-$odbc_ini\\vornakDsnStore]
[$odbc_ini\\vornakDsnStore]
\"DBQ\"=\"C:\\\\Data\\\\old.mdb\"
\"Description\"=\"Заказы отдела продаж ｏ\""
program=$WINEPREFIX/drive_c/older.exe put_back in_cyrillic "$(told "$refused_by_setup" 3)" \
    env LC_ALL=C.UTF-8
# Where there is no "ODBC Data Sources" at all, the refused add makes one: what it comes to
# without the data source's name in it is no difference.
import_registry "[-$odbc_ini\\ODBC Data Sources]"
outcome unlisted 'C:\Data\e.mdb' 4 "$(told "$refused_by_setup" 3)"
# On a first install, what the refused add wrote is taken away.
import_registry "[-$odbc_ini\\vornakDsnStore]
[$odbc_ini\\ODBC Data Sources]
\"vornakDsnStore\"=-"
put_back first_install "$(told 'refused it with error 11: Request Failed' 3)"

# One run at a time: a second run waits while the first, refused, puts the data source back,
# then writes its own, which stays.
name_case "outcomes: two_at_once"
import_registry "[$odbc_ini\\vornakDsnStore]
\"DBQ\"=\"C:\\\\Data\\\\old.mdb\"
[$odbc_ini\\ODBC Data Sources]
\"vornakDsnStore\"=\"Microsoft Access Driver (*.mdb)\""
waiting=$WINEPREFIX/drive_c/vornak_refusing_setup.waiting
rm -f "$waiting"
{ status=0; wine "$program" 'C:\Data\slow.mdb' >/dev/null 2>"$WINEPREFIX/slow.errors" || status=$?
  echo "$status" >"$WINEPREFIX/slow.status"; } &
first=$!
for _ in $(seq 360); do
    [ ! -e "$waiting" ] || break
    sleep 0.5
done
[ -e "$waiting" ] || fail "the first run never reached the driver's setup"
status=0
wine "$program" 'C:\Data\accepted.mdb' >/dev/null 2>&1 || status=$?
[ "$status" = 0 ] || fail "the second run ended with $status"
wait "$first"
[ "$(cat "$WINEPREFIX/slow.status")" = 4 ] || fail "the first run ended with $(cat "$WINEPREFIX/slow.status")"
grep -qF "$refused_by_setup" "$WINEPREFIX/slow.errors" || fail "the first run said: $(cat "$WINEPREFIX/slow.errors")"
read_state "$data_source"
[ "$(state_value "$data_source" DBQ)" = 'C:\Data\accepted.mdb' ] ||
    fail "the data source points at $(state_value "$data_source" DBQ)"
tally
# What the refused add leaves cannot be opened: the data source is not the one before.
outcome cannot_be_put_back 'C:\Data\locked.mdb' 4 "$(told "refused it with error 11: Request Failed. The data source as it was before could not be put back whole: what is there now differs from it." 3 locked.mdb)"
}

# check NAME PATH STATUS SAID [COMMAND...]: --check for PATH, through COMMAND, ends with STATUS
# and says SAID: its standard output, then its standard error; it writes no event and leaves
# the registry as it was.
check() {
    name_case "checks: $1"
    local status=0 said registry
    read_state 'HKLM\Software\ODBC'
    registry=$state
    said=$(WINEDEBUG=+eventlog "${@:5}" wine "$program" --check "$2" 2>"$WINEPREFIX/errors" |
           console_text) || status=$?
    said=$({ printf '%s\n' "$said"; grep -e '^vornakdsn: ' -e 'Event' "$WINEPREFIX/errors"; } |
           tr -d '\r' | sed '/^$/d')
    [ "$status" = "$3" ] || fail "ended with $status, not $3"
    [ "$said" = "$4" ] || fail "said:
$said"
    read_state 'HKLM\Software\ODBC'
    [ "$state" = "$registry" ] || fail "changed the registry"
    tally
}

checks_section() {
begin replaced "$template" "$work"
wine "$program" 'C:\Data\first.mdb' || fail "first run exited with status $?"
wine reg add "$data_source" /v UID /d stale /f "${view[@]}" >/dev/null
wine "$program" 'C:\Other Data\second.mdb' || fail "second run exited with status $?"
read_state 'HKLM\Software\ODBC\ODBC.INI'
expected='HKLM\Software\ODBC\ODBC.INI
HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources
HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources\vornakDsnStore=Microsoft Access Driver (*.mdb)
HKLM\Software\ODBC\ODBC.INI\vornakDsnStore
HKLM\Software\ODBC\ODBC.INI\vornakDsnStore\DBQ=C:\Other Data\second.mdb
HKLM\Software\ODBC\ODBC.INI\vornakDsnStore\Driver=C:\windows\system32\vornak_access_setup.dll
HKLM\Software\ODBC\ODBC.INI\vornakDsnStore\FIL=MS Access
HKLM\Software\ODBC\ODBC.INI\vornakDsnStore\MaxBufferSize=2048
HKLM\Software\ODBC\ODBC.INI\vornakDsnStore\PageTimeout=5'
[ "$state" = "$expected" ] || fail "the registry holds:
$state"
if [ "$WINEARCH" = win64 ]; then
    # What 64-bit programs see: neither the data source nor its entry.
    view=(/reg:64)
    expect_absent "$data_source"
    expect_absent 'HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources' vornakDsnStore
    view=(/reg:32)
fi
tally

database='C:\Other Data\second.mdb'
right="The ODBC data source vornakDsnStore points at the Access database $database, as a run leaves it."
check right "$database" 0 "$right"
check other_path 'C:\Data\other.mdb' 1 \
    "vornakDsnStore has DBQ \"$database\"; it should be \"C:\\Data\\other.mdb\"."
check other_case "${database^^}" 1 \
    "vornakDsnStore has DBQ \"$database\"; it should be \"${database^^}\"."
# In the console's code page, not the program's: where the program works in code page 1252,
# é is 0x82 in a pipe, as in its console.
older_program "$WINEPREFIX/drive_c/older.exe"
program=$WINEPREFIX/drive_c/older.exe console_code_page=CP437 \
    check in_the_console_code_page 'C:\Données\café.mdb' 1 \
    "vornakDsnStore has DBQ \"$database\"; it should be \"C:\\Données\\café.mdb\"." env LC_ALL=C.UTF-8
check refused_path '' 2 'vornakdsn: the database path is empty'
check without_installer "$database" 0 "$right" env WINEDLLOVERRIDES="odbccp32=;$WINEDLLOVERRIDES"
# A user's own data source of the name is named, and changes nothing else.
import_registry '[HKEY_CURRENT_USER\Software\ODBC\ODBC.INI\vornakDsnStore]
"DBQ"="C:\\Data\\mine.mdb"'
check hidden_by_a_user "$database" 0 "Programs of the users whose profiles are loaded at HKEY_USERS\\S-1-5-21-0-0-0-1000 open their own user data source vornakDsnStore, not this one.
$right"
# As the Access driver keeps a data source: its engine's settings as numbers in a subkey, FIL
# as a list; and its file named in another way.
import_registry "[-HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI\\vornakDsnStore]
[$odbc_ini\\vornakDsnStore]
\"MaxBufferSize\"=-
\"PageTimeout\"=-
\"FIL\"=\"MS Access;\"
\"Driver\"=hex(2):$(reg_hex '%SystemRoot%\SYSTEM32\VORNAK_ACCESS_SETUP.DLL')

[$odbc_ini\\vornakDsnStore\\Engines\\Jet]
\"MaxBufferSize\"=dword:00000800
\"PageTimeout\"=dword:00000005"
check as_the_driver_keeps_it "$database" 0 "$right"
for fil in 'MS Access;x' 'MS Accessx'; do
    import_registry "[$odbc_ini\\vornakDsnStore]
\"FIL\"=\"$fil\""
    check "fil_${fil//[ ;]/_}" "$database" 1 "vornakDsnStore has FIL \"$fil\"; it should be \"MS Access\"."
done
# What programs would meet as "Data source name not found" or "driver could not be loaded".
import_registry "[$odbc_ini\\ODBC Data Sources]
\"vornakDsnStore\"=\"SQL Server\"

[$odbc_ini\\vornakDsnStore]
\"FIL\"=-
\"Driver\"=\"C:\\\\windows\\\\system32\\\\sqlsrv32.dll\"

[$odbc_ini\\vornakDsnStore\\Engines\\Jet]
\"PageTimeout\"=dword:00000258"
page_timeout='vornakDsnStore has PageTimeout "600"; it should be "5".
vornakDsnStore has no FIL; it should be "MS Access".'
check differing "$database" 1 'vornakDsnStore is listed under "ODBC Data Sources" with "SQL Server"; it should be with "Microsoft Access Driver (*.mdb)".
'"$page_timeout"'
vornakDsnStore has Driver "C:\windows\system32\sqlsrv32.dll"; it should name the file that the driver is registered with, "C:\windows\system32\vornak_access_setup.dll".'
import_registry "[$odbc_ini\\ODBC Data Sources]
\"vornakDsnStore\"=-

[-$driver_key\\Microsoft Access Driver (*.mdb)]"
check unlisted_driver_gone "$database" 1 'vornakDsnStore is not listed under "ODBC Data Sources"; it should be, with "Microsoft Access Driver (*.mdb)".
'"$page_timeout"'
"Microsoft Access Driver (*.mdb)" is not registered on this machine, so no program can open vornakDsnStore.'
import_registry "[-$odbc_ini\\vornakDsnStore]"
check missing "$database" 1 \
    "The ODBC data source vornakDsnStore is missing; it should point at the Access database $database."
# A registry link under the data source, to a key that is not there: not read, and a run ends.
import_registry "[$odbc_ini\\vornakDsnStore]
\"DBQ\"=\"C:\\\\Data\\\\linked.mdb\""
wine "$tools/registry_edit.exe" link 'Software\ODBC\ODBC.INI\vornakDsnStore\Engines' \
    '\Registry\Machine\Software\vornakdsn-missing' || fail "cannot make the link"
check linked "$database" 3 \
    'vornakdsn: the data source vornakDsnStore cannot be read from the registry (error 50)'
outcome linked 'C:\Data\e.mdb' 4 "$(told 'refused it with error 6: Component not found. The data source that was there could not be read before it was removed, and may be gone.' 3)"
close_prefix
}

# The paths and the outcomes share a prefix, as do the replaced data source and its checks.
if wanted_section paths outcomes; then
    begin paths "$template" "$work"
    ! wanted_section paths || paths_section
    ! wanted_section outcomes || outcomes_section
    close_prefix
fi
! wanted_section replaced checks || checks_section

summary
