#!/bin/bash
# usage: msi-package.sh PACKAGES LAUNCHER TEMPLATE WORK win32|win64
# Installs the packages that packages.sh built into PACKAGES as an administrator's deployment
# would (msiexec /qn), in copies of TEMPLATE (see prefix-template.sh) below WORK, with Wine's
# ODBC installer and the Access setup stand-in that ./run.sh uses: what is installed, what is
# refused and left behind, install commands repeated over a data source that is right or not,
# upgrade and downgrade, repair, uninstall, an install where no one can see a box, and another
# build of the same version. A prefix and its services take longer to start than most cases
# take to run, so cases follow one another in two prefixes, each case ending as the next
# begins (nothing installed, say), which each asserts; a case that fails may fail the next too.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh" "$@"
packages=$subject
program_folder="$program_files_folder/vornakdsn"
data_source='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'
data_source_key=HKEY_LOCAL_MACHINE\\${data_source#HKLM\\}
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\vornakdsn'

# begin_case NAME: the case NAME, with the packages at C:\first.msi, C:\higher.msi, C:\signed.msi.
begin_case() {
    begin "$1" "$template" "$work/cases"
    cp "$packages"/unsigned/vornakdsn-$version.msi "$WINEPREFIX/drive_c/first.msi"
    cp "$packages"/higher/vornakdsn-$next_version.msi "$WINEPREFIX/drive_c/higher.msi"
    cp "$packages"/signed/vornakdsn-$version.msi "$WINEPREFIX/drive_c/signed.msi"
}

# next_case NAME: the case NAME, where the one before left the prefix.
next_case() {
    name_case "$1"
}

# What the cases look at in the registry, read after each msiexec: the data source, the
# remembered path, the installed products, the event source.
remembered='HKLM\Software\vornakdsn'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
read_package_state() {
    read_state "$data_source" "$remembered" "$uninstall" "$event_source"
}

# expect_status STATUS ARGUMENTS...: msiexec ARGUMENTS, silent, ends with STATUS as Windows
# gives it, of which Wine passes on only the low byte.
expect_status() {
    local expected=$1 got=0 command="msiexec ${*:2}"
    shift
    wine msiexec "$@" /qn </dev/null >/dev/null 2>&1 || got=$?
    [ ${#command} -le 120 ] || command="${command:0:120}..."
    [ "$got" = $((expected % 256)) ] || fail "$command ended with $got, not $expected"
    read_package_state
}

# As expect_status, with msiexec on a window station that no one sees, as under a deployment
# engine's service; it must end by itself (the launcher ends it after 5 minutes, long enough
# for msiexec under emulation on a loaded host, so that only a run that waits for ever fails).
expect_status_unseen() {
    local expected=$1 got=0
    shift
    wine "$launcher" --unseen 300 "$(hex "msiexec $* /qn")" </dev/null >/dev/null 2>&1 || got=$?
    [ "$got" = $((expected % 256)) ] || fail "unseen msiexec $* ended with $got, not $expected"
    read_package_state
}

expect_database() {
    local got
    got=$(state_value "$data_source" DBQ)
    [ "$got" = "$1" ] || fail "DBQ is '$got', not '$1'"
}

expect_remembered() {
    local got
    got=$(state_value "$remembered" DatabasePath)
    [ "$got" = "$1" ] || fail "the remembered path is '$got', not '$1'"
}

# Each installed vornakdsn, as Programs and Features lists it: its version, and a blank.
expect_products() {
    local got
    got=$(key=$uninstall awk -F= '
        !index($0, "=") { name = ""; version = "" }
        index($0, ENVIRON["key"] "\\") != 1 { next }
        $1 ~ /\\DisplayName$/ { name = $2 } $1 ~ /\\DisplayVersion$/ { version = $2 }
        name == "vornakdsn" && version != "" { printf "%s ", version; name = "" }' <<<"$state")
    [ "$got" = "$1" ] || fail "installed: '$got', not '$1'"
}

expect_installed_program() {
    cmp -s "$1" "$WINEPREFIX/drive_c/$program_folder/vornakdsn.exe" ||
        fail "the program in $program_folder is not $1"
}

expect_nothing_installed() {
    [ ! -e "$WINEPREFIX/drive_c/$program_folder" ] || fail "$program_folder exists"
    expect_products ""
    expect_gone "$event_source"
}

# A stale value in the data source, gone only if the program ran again.
mark_stale() {
    import_registry "[$data_source_key]
\"UID\"=\"stale\""
}

expect_program_ran() {
    expect_gone "$data_source" UID
}

begin_case refused_without_path
# 1603: the launch condition refused it.
expect_status 1603 /i 'C:\first.msi'
expect_nothing_installed
expect_gone "$data_source"
tally

next_case refused_too_long_path
# The program refuses the path (exit status 2), which fails the install and rolls it back.
# Wine's msiexec ends such an install with 1627 where Windows' ends it with 1603.
expect_status 1627 /i 'C:\first.msi' "DATABASEPATH=C:\\$(printf '%4022s' '' | tr ' ' d)"
expect_nothing_installed
expect_gone "$data_source"
tally

next_case unseen_without_installer
# The program alone cannot load the installer library (msiexec needs it itself), and no one
# sees the box it would show: it ends with status 3 instead of waiting for ever, and the
# install fails and is rolled back.
overrides='[HKEY_CURRENT_USER\Software\Wine\AppDefaults\vornakdsn.exe\DllOverrides]'
import_registry "$overrides
\"odbccp32\"=\"\""
expect_status_unseen 1627 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\orders.mdb'
expect_nothing_installed
expect_gone "$data_source"
import_registry "$overrides
\"odbccp32\"=-"
tally

# Without the Access driver the installer refuses the data source (status 4): the install
# fails and is rolled back. (Wine's log has no line for the program's status.)
next_case refused_by_installer
driver='[HKEY_LOCAL_MACHINE\Software\ODBC\ODBCINST.INI\Microsoft Access Driver (*.mdb)]'
import_registry "[-${driver:1}"
expect_status 1627 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\orders.mdb'
expect_nothing_installed
expect_gone "$data_source"
# The driver back, as it was.
import_registry "$driver
\"Driver\"=\"C:\\\\windows\\\\system32\\\\vornak_access_setup.dll\"
\"Setup\"=\"C:\\\\windows\\\\system32\\\\vornak_access_setup.dll\""
tally

# "[DATABASEPATH]" would end in \", which the program receives as a quote.
next_case refused_trailing_backslash
expect_status 1603 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\'
expect_nothing_installed
expect_gone "$data_source"
# Over an installed product, nothing changes either.
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\orders.mdb'
mark_stale
expect_status 1603 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\'
expect_status 1603 /i 'C:\first.msi' REINSTALL=ALL REINSTALLMODE=vomus 'DATABASEPATH=C:\Data\'
[ "$(state_value "$data_source" UID)" = stale ] || fail "the refused path ran the program"
expect_database 'C:\Data\orders.mdb'
expect_remembered 'C:\Data\orders.mdb'
expect_products "$version "
tally

# Where the case before left it: installed, the data source right and marked stale.
next_case upgrade_keeps_path
expect_status 0 /i 'C:\higher.msi'
expect_program_ran
expect_database 'C:\Data\orders.mdb'
expect_products "$next_version "
# An older version is refused.
expect_status 1603 /i 'C:\first.msi'
expect_products "$next_version "
end

# Wine's msiexec /f does not repair; REINSTALL=ALL is what /fa amounts to.
begin_case repair_then_uninstall
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\orders.mdb'
mark_stale
expect_status 0 /i 'C:\first.msi' REINSTALL=ALL REINSTALLMODE=vomus
expect_program_ran
expect_database 'C:\Data\orders.mdb'
# A path given on the command line wins over the one given before.
expect_status 0 /i 'C:\first.msi' REINSTALL=ALL REINSTALLMODE=vomus 'DATABASEPATH=C:\New\orders.mdb'
expect_database 'C:\New\orders.mdb'
expect_status 0 /x 'C:\first.msi'
expect_nothing_installed
# The data source belongs to the application that uses the database.
expect_database 'C:\New\orders.mdb'
tally

next_case install_with_blanks
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data Files\orders db.mdb'
expect_database 'C:\Data Files\orders db.mdb'
expect_installed_program "$packages/unsigned/vornakdsn.exe"
expect_products "$version "
got=$(state_value "$event_source" EventMessageFile)
[ "$got" = "C:\\${program_folder//\//\\}\\vornakdsn.exe" ] || fail "EventMessageFile is '$got'"
# The same install command again, as a start-up script gives it at every start, finds the
# data source right and changes nothing: the program does not run.
mark_stale
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data Files\orders db.mdb'
[ "$(state_value "$data_source" UID)" = stale ] || fail "installing again ran the program"
tally

# The signed build of the same version replaces the unsigned one: one product, its files,
# the path given before, and the program run again.
next_case signed_over_unsigned
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\orders.mdb'
mark_stale
expect_status 0 /i 'C:\signed.msi'
expect_program_ran
expect_installed_program "$packages/signed/vornakdsn.exe"
expect_database 'C:\Data\orders.mdb'
expect_remembered 'C:\Data\orders.mdb'
expect_products "$version "
tally

# Engines repeat an install command until the data source points at DATABASEPATH; here over
# the signed build, which another build of the same version replaces.
next_case install_converges
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\a.mdb'
# Another path in a plain install command repoints the data source and is remembered.
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\b.mdb'
expect_database 'C:\Data\b.mdb'
expect_remembered 'C:\Data\b.mdb'
expect_products "$version "
# A deleted data source comes back, whatever the command line says of where it points.
import_registry "[-$data_source_key]"
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\b.mdb' 'CURRENTDATABASEPATH=C:\Data\b.mdb'
expect_database 'C:\Data\b.mdb'
# One changed by hand is put back, with the path on the command line or the remembered one.
elsewhere="[$data_source_key]
\"DBQ\"=\"C:\\\\Elsewhere\\\\x.mdb\""
import_registry "$elsewhere"
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\b.mdb'
expect_database 'C:\Data\b.mdb'
import_registry "$elsewhere"
mark_stale
expect_status 0 /i 'C:\first.msi'
expect_program_ran
expect_database 'C:\Data\b.mdb'
expect_remembered 'C:\Data\b.mdb'
end

summary
