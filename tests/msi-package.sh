#!/bin/bash
# usage: msi-package.sh PROGRAM SETUP-DLL WORK-FOLDER win32|win64
# Builds the Windows Installer packages from PROGRAM as a release does and installs them as an
# administrator's deployment would (msiexec /qn), each case in a Wine prefix of its own with
# Wine's ODBC installer and the Access setup stand-in that ./run.sh uses: what is installed,
# what is refused and left behind, upgrade, repair, uninstall, and a signed package.
set -uo pipefail
program=$(realpath "$1")
setup_dll=$(realpath "$2")
work=$3
export WINEARCH=$4 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree=;mshtml='
# Without a display a message box returns at once: a fault cannot leave the test waiting.
unset DISPLAY
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
# shellcheck source=scripts/registry-view.sh
. "$scripts/registry-view.sh"
program_folder="$program_files_folder/vornakdsn"
data_source='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'

rm -rf "$work/packages" "$work/cases"
mkdir -p "$work/packages" "$work/cases"
packages=$(realpath "$work/packages")

# The packages: the first version and a higher one, unsigned, and the first signed with a
# throwaway certificate.
"$scripts/package.sh" "$program" 1.0.0 "$packages/unsigned" >/dev/null || exit 1
"$scripts/package.sh" "$program" 1.0.1 "$packages/higher" >/dev/null || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=vornakdsn test signer' \
    -addext extendedKeyUsage=codeSigning -keyout "$packages/key.pem" -out "$packages/cert.pem" \
    2>/dev/null || exit 1
openssl pkcs12 -export -inkey "$packages/key.pem" -in "$packages/cert.pem" \
    -passout pass:throwaway -out "$packages/signer.p12" || exit 1
VORNAKDSN_SIGN_PKCS12=$packages/signer.p12 VORNAKDSN_SIGN_PASSWORD=throwaway \
    "$scripts/package.sh" "$program" 1.0.0 "$packages/signed" >/dev/null || exit 1

# One prefix made ready once, with its server stopped so that all of it is on disk; each case
# gets a copy of its own. The system folders, most of a prefix and never written by a case,
# are shared as hard links; everything else is copied.
template=$work/template-prefix
if [ ! -f "$template/ready" ] ||
   ! cmp -s "$setup_dll" "$template/drive_c/windows/$system_folder/vornak_access_setup.dll"; then
    rm -rf "$template"
    export WINEPREFIX=$template
    "$scripts/wine-prefix.sh" start || exit 1
    "$scripts/odbc-prefix.sh" "$setup_dll" || exit 1
    "$scripts/wine-prefix.sh" stop
    touch "$template/ready"
fi

failures=0
passed=0
case_failed=no
fail() {
    echo "FAIL: $case_name: $*"
    case_failed=yes
}

name_case() {
    case_name=$1
    case_failed=no
}

tally() {
    if [ "$case_failed" = yes ]; then
        failures=$((failures + 1))
    else
        passed=$((passed + 1))
        echo "ok: $case_name"
    fi
}

begin() {
    name_case "$1"
    export WINEPREFIX=$work/cases/$1
    mkdir -p "$WINEPREFIX"
    tar -C "$template" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
        -cf - . | tar -C "$WINEPREFIX" -xf -
    for folder in system32 syswow64; do
        [ ! -d "$template/drive_c/windows/$folder" ] ||
            cp -al "$template/drive_c/windows/$folder" "$WINEPREFIX/drive_c/windows/"
    done
    "$scripts/wine-prefix.sh" start
    cp "$packages"/unsigned/vornakdsn-1.0.0.msi "$WINEPREFIX/drive_c/first.msi"
    cp "$packages"/higher/vornakdsn-1.0.1.msi "$WINEPREFIX/drive_c/higher.msi"
    cp "$packages"/signed/vornakdsn-1.0.0.msi "$WINEPREFIX/drive_c/signed.msi"
}

end() {
    "$scripts/wine-prefix.sh" stop
    rm -rf "$WINEPREFIX"
    tally
}

# expect_status STATUS ARGUMENTS...: msiexec ARGUMENTS, silent, ends with STATUS as Windows
# gives it, of which Wine passes on only the low byte.
expect_status() {
    local expected=$1 got=0 command="msiexec ${*:2}"
    shift
    wine msiexec "$@" /qn </dev/null >/dev/null 2>&1 || got=$?
    [ ${#command} -le 120 ] || command="${command:0:120}..."
    [ "$got" = $((expected % 256)) ] || fail "$command ended with $got, not $expected"
}

value() {
    wine reg query "$1" /v "$2" "${view[@]}" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print; exit }'
}

expect_database() {
    local got
    got=$(value "$data_source" DBQ)
    [ "$got" = "$1" ] || fail "DBQ is '$got', not '$1'"
}

expect_no_data_source() {
    wine reg query "$data_source" "${view[@]}" >/dev/null 2>&1 && fail "the data source exists"
}

# Each installed vornakdsn, as Programs and Features lists it: its version.
products() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "${view[@]}" \
        2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { name = ""; version = "" }
             $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
             name == "vornakdsn" && version != "" { print version; name = "" }'
}

expect_products() {
    local got
    got=$(products | tr '\n' ' ')
    [ "$got" = "$1" ] || fail "installed: '$got', not '$1'"
}

expect_installed_program() {
    cmp -s "$1" "$WINEPREFIX/drive_c/$program_folder/vornakdsn.exe" ||
        fail "the program in $program_folder is not $1"
}

expect_nothing_installed() {
    [ ! -e "$WINEPREFIX/drive_c/$program_folder" ] || fail "$program_folder exists"
    expect_products ""
}

# A stale value in the data source, gone only if the program ran again.
mark_stale() {
    wine reg add "$data_source" /v UID /d stale /f "${view[@]}" >/dev/null
}

expect_program_ran() {
    [ -z "$(value "$data_source" UID)" ] || fail "the program did not run again"
}

# What Wine's msiexec does not tell apart, read from the package itself: the program runs
# deferred (18 + 0x400) as the local system (0x800), and its exit status is checked (no 0x40);
# DATABASEPATH reaches the installing service in a managed install too.
name_case package_tables
msi=$packages/unsigned/vornakdsn-1.0.0.msi
[ "$(msiinfo export "$msi" CustomAction | tr -d '\r' | grep '^RegisterDataSource')" = \
  "$(printf 'RegisterDataSource\t3090\tvornakdsn.exe\t"[DATABASEPATH]"\t')" ] ||
    fail "RegisterDataSource is not a deferred, system, checked run of the program"
msiinfo export "$msi" Property | grep -q '^SecureCustomProperties.*DATABASEPATH' ||
    fail "DATABASEPATH is not a secure property"
tally

begin install_with_blanks
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data Files\orders db.mdb'
expect_database 'C:\Data Files\orders db.mdb'
expect_installed_program "$packages/unsigned/vornakdsn.exe"
expect_products "1.0.0 "
# Installing what is installed already, as a start-up script does at every start, is no repair.
mark_stale
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data Files\orders db.mdb'
[ "$(value "$data_source" UID)" = stale ] || fail "installing again ran the program"
end

begin refused_without_path
# 1603: the launch condition refused it.
expect_status 1603 /i 'C:\first.msi'
expect_nothing_installed
expect_no_data_source
end

begin refused_too_long_path
# The program refuses the path (exit status 2), which fails the install and rolls it back.
# Wine's msiexec ends such an install with 1627 where Windows' ends it with 1603.
expect_status 1627 /i 'C:\first.msi' "DATABASEPATH=C:\\$(printf '%4022s' '' | tr ' ' d)"
expect_nothing_installed
expect_no_data_source
end

begin upgrade_keeps_path
expect_status 0 /i 'C:\first.msi' 'DATABASEPATH=C:\Data\orders.mdb'
mark_stale
expect_status 0 /i 'C:\higher.msi'
expect_program_ran
expect_database 'C:\Data\orders.mdb'
expect_products "1.0.1 "
end

# Wine's msiexec /f does not repair; REINSTALL=ALL is what /fa amounts to.
begin repair_then_uninstall
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
end

begin signed
for file in vornakdsn.exe vornakdsn-1.0.0.msi; do
    osslsigncode verify -CAfile "$packages/cert.pem" -in "$packages/signed/$file" >/dev/null 2>&1 ||
        fail "osslsigncode does not verify the signed $file"
    osslsigncode verify -CAfile "$packages/cert.pem" -in "$packages/unsigned/$file" >/dev/null 2>&1 &&
        fail "the unsigned $file has a signature"
done
expect_status 0 /i 'C:\signed.msi' 'DATABASEPATH=C:\Data\orders.mdb'
expect_installed_program "$packages/signed/vornakdsn.exe"
expect_database 'C:\Data\orders.mdb'
end

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
