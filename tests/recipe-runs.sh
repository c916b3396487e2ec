#!/bin/bash
# usage: recipe-runs.sh PACKAGES LAUNCHER TEMPLATE WORK win32|win64
# Runs the deployment recipes (deployment/) in a copy of TEMPLATE (see prefix-template.sh),
# with the package that packages.sh built into PACKAGES, the program and msiexec under Wine, in
# each machine state of the table below: the Ansible play, in check mode and for real, against
# stand-ins of ansible.windows.win_stat and win_command that keep the real modules' check-mode
# rules (tests/common/ansible_collections); the start-up script, by Wine's cmd.exe; and, where
# PowerShell 7 is installed (build/powershell, see scripts/install-powershell.sh), the Intune and
# Configuration Manager scripts as they stand, but for the three lines that find the program,
# which point at a script that runs it under Wine, there where the program is installed. What
# PowerShell 7 on Linux shares with Windows PowerShell is the language and how a native
# command's output, standard error and exit status are handled: only that is held here.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh" "$@"
packages=$subject
recipes=$(cd "$tests/../deployment" && pwd)
pwsh=$(cd "$tests/.." && pwd)/build/powershell/pwsh
database='C:\Data\orders.mdb'
data_source='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'
data_source_key=HKEY_LOCAL_MACHINE\\${data_source#HKLM\\}
program_path="C:\\${program_files_folder}\\vornakdsn\\vornakdsn.exe"

# The machine states, each made from whatever the one before left: the build of the package
# installed (none, the release's, or another build of the same version: signed, so that its
# product code differs), and what differs in the data source.
states='none right dbq fil other'
make_state() {
    case $1 in
    none) install none ;;
    right) install release ;;
    dbq) install release && import_registry "[$data_source_key]
\"DBQ\"=\"C:\\\\Data\\\\old.mdb\"" ;;
    fil | other) install "$([ "$1" = fil ] && echo release || echo other)" &&
        import_registry "[$data_source_key]
\"FIL\"=-" ;;
    esac
}
# install none|release|other: that build installed, and then the data source as a run leaves
# it, whatever a case before did to it; an uninstall leaves the data source, as it does.
installed=none
install() {
    if [ "$installed" != "$1" ]; then
        case $installed in
        none) ;;
        unknown) for build in release other; do
                     wine msiexec /x "C:\\$build.msi" /qn >/dev/null 2>&1
                 done ;;
        *) wine msiexec /x "C:\\$installed.msi" /qn >/dev/null 2>&1 || fail "cannot uninstall $installed" ;;
        esac
        installed=none
        [ "$1" = none ] && return
        wine msiexec /i "C:\\$1.msi" /qn DATABASEPATH="$database" >/dev/null 2>&1 ||
            fail "cannot install $1"
        installed=$1
    fi
    [ "$1" = none ] || wine "$program_path" "$database" >/dev/null 2>&1 ||
        fail "cannot set the data source right"
}
# checked: the program's --check of the database, as its exit status; 9 where it is not there.
checked() {
    [ -e "$WINEPREFIX/drive_c/$program_files_folder/vornakdsn/vornakdsn.exe" ] || { echo 9; return; }
    local status=0
    wine "$program_path" --check "$database" >/dev/null 2>&1 || status=$?
    echo "$status"
}
# converged: the machine is as every recipe must leave it, with the release's build, which the
# recipes install; where it is not, which build is there is not known.
converged() {
    local status
    status=$(checked)
    installed=release
    [ "$status" = 0 ] && return
    installed=unknown
    fail "the check says $status at the end"
}

begin recipes "$template" "$work"
cp "$packages"/unsigned/vornakdsn-*.msi "$WINEPREFIX/drive_c/release.msi"
cp "$packages"/signed/vornakdsn-*.msi "$WINEPREFIX/drive_c/other.msi"
set_up_done

# What each task of the play reports, after the first (win_stat, never a change), in the order
# of the play: o ran with no change, c changed, s skipped (by its when:, or as a module that
# does not run in check mode).
declare -A play_check=([none]='s c s s s' [right]='o s s s s' [dbq]='c s s s s'
                       [fil]='c s s s s' [other]='c s s s s')
declare -A play_run=([none]='s s c o s' [right]='o s s s s' [dbq]='c s c o s'
                     [fil]='c s c o c' [other]='c s c o s')
inventory=$WINEPREFIX/inventory
printf '[windows]\nlocalhost ansible_connection=local ansible_python_interpreter=/usr/bin/python3\n' \
    >"$inventory"
# play [--check]: what the play's tasks reported, as in the tables above, read from what
# ansible-playbook prints for each task.
play() {
    ANSIBLE_COLLECTIONS_PATH=$tests/common ANSIBLE_COLLECTIONS_SCAN_SYS_PATH=false \
        ANSIBLE_NOCOLOR=1 ANSIBLE_LOCAL_TEMP=$WINEPREFIX/ansible ANSIBLE_HOME=$WINEPREFIX/ansible \
        VORNAKDSN_LAUNCHER=$launcher ansible-playbook -i "$inventory" "$@" \
        -e "{\"vornakdsn_package\": \"C:\\\\release.msi\", \"vornakdsn_program\": \"${program_path//\\/\\\\}\"}" \
        "$recipes/vornakdsn-playbook.yml" >"$WINEPREFIX/play.output" 2>&1
    awk '/^TASK \[/ { task++ }
         task > 1 && /^(ok|changed|skipping|fatal): \[localhost\]/ { told[task] = substr($1, 1, 1) }
         END { for (n = 2; n <= task; n++) printf "%s%s", (n > 2 ? " " : ""), (told[n] == "" ? "?" : told[n]); print "" }' \
        "$WINEPREFIX/play.output"
}

for state in $states; do
    name_case "ansible: $state"
    make_state "$state"
    before=$(checked)
    said=$(play --check)
    [ "$said" = "${play_check[$state]}" ] || fail "in check mode the tasks reported '$said', not '${play_check[$state]}'"
    [ "$(checked)" = "$before" ] || fail "check mode changed the machine"
    echo "  $state: in check mode '$said'"
    said=$(play)
    echo "  $state: run '$said'"
    [ "$said" = "${play_run[$state]}" ] ||
        fail "the tasks reported '$said', not '${play_run[$state]}': $(grep -A3 '^fatal' "$WINEPREFIX/play.output")"
    converged
    tally
done

# The start-up script, with the package where this machine has it.
sed 's/^set "package=.*/set "package=C:\\release.msi"/' "$recipes/startup.cmd" >"$WINEPREFIX/drive_c/startup.cmd"
log=$WINEPREFIX/drive_c/windows/temp/vornakdsn.log
for state in $states; do
    name_case "start-up script: $state"
    make_state "$state"
    rm -f "$log"
    wine cmd /c 'C:\startup.cmd' >/dev/null 2>&1 || fail "the script ended with $?"
    converged
    if [ "$state" = right ]; then
        [ ! -e "$log" ] || fail "msiexec ran on a right machine"
    fi
    tally
done

# powershell SCRIPT [DATABASE]: runs the recipe SCRIPT in PowerShell 7, pointed at the program
# under Wine, or at nothing where it is not installed; for DATABASE, if given. Its standard
# output in $out, its errors in $errors, its exit status in $status. The scripts run one after
# another in one PowerShell (tests/common/run-scripts.ps1), which starts slowly under emulation.
wrapper=$WINEPREFIX/vornakdsn
scripts_folder=$WINEPREFIX/powershell
runs=0
powershell() {
    if [ -e "$WINEPREFIX/drive_c/$program_files_folder/vornakdsn/vornakdsn.exe" ]; then
        printf '#!/bin/sh\nexec wine '"'%s'"' "$@"\n' "$program_path" >"$wrapper"
        chmod +x "$wrapper"
    else
        rm -f "$wrapper"
    fi
    runs=$((runs + 1))
    local run=$scripts_folder/$runs
    sed -e '/^\$folder = /d' -e '/^if (-not \$folder)/d' \
        -e "s|^\\\$program = Join-Path .*|\\\$program = '$wrapper'|" \
        ${2+-e "s|^\\\$database = .*|\\\$database = '$2'|"} "$recipes/$1" >"$run.ps1"
    touch "$run.go"
    for _ in $(seq 1200); do
        [ ! -e "$run.status" ] || break
        sleep 0.25
    done
    status=$(cat "$run.status" 2>/dev/null) || status="none: PowerShell ran nothing"
    out=$(cat "$run.out" 2>/dev/null)
    errors=$(cat "$run.err" 2>/dev/null)
}
# detected STATE CHECK: the detection scripts, where --check ends with CHECK (9: no program).
detected() {
    powershell intune-detection.ps1 "${@:3}"
    [ "$(wc -l <<<"$out")" = 1 ] || fail "the Intune detection wrote: $out"
    [ -z "$errors" ] || fail "the Intune detection wrote on standard error: $errors"
    [ "$status" = $(($2 != 0)) ] || fail "the Intune detection ended with $status where the check said $2"
    echo "  $1, the check saying $2: the Intune detection wrote '$out' and ended with $status"
    powershell configmgr-discovery.ps1 "${@:3}"
    local integer=$2
    [ "$2" != 9 ] || integer=-1
    [ "$out" = "$integer" ] && [ -z "$errors" ] ||
        fail "the discovery wrote '$out' and '$errors' where the check said $2"
}
name_case powershell
if [ ! -x "$pwsh" ]; then
    skip "no PowerShell in ${pwsh%/pwsh} (scripts/install-powershell.sh installs it where the .NET SDK is)"
else
    mkdir -p "$scripts_folder"
    "$pwsh" -NoProfile -NonInteractive -File "$tests/common/run-scripts.ps1" "$scripts_folder" \
        >"$scripts_folder/runner.log" 2>&1 &
    runner=$!
    declare -A check_said=([none]=9 [right]=0 [dbq]=1 [fil]=1 [other]=1)
    for state in $states; do
        make_state "$state"
        detected "$state" "${check_said[$state]}"
    done
    # A path refused, and a registry that cannot be read.
    detected right 2 ''
    wine "$tools/registry_edit.exe" lock "${data_source#HKLM\\}" || fail "cannot lock the data source"
    detected right 3
    wine "$tools/registry_edit.exe" unlock "${data_source#HKLM\\}" || fail "cannot unlock the data source"
    for script in intune-remediation.ps1 configmgr-remediation.ps1; do
        make_state fil
        powershell "$script"
        [ "$status" = 0 ] || fail "$script ended with $status: $out $errors"
        converged
        powershell "$script" ''
        [ "$status" = 2 ] || fail "$script ended with $status, not the program's 2: $out $errors"
    done
    touch "$scripts_folder/end.go"
    wait "$runner" || fail "PowerShell ended with $?: $(cat "$scripts_folder/runner.log")"
fi
tally
close_prefix

summary
