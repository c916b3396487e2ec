#!/bin/bash
# usage: scripts/guest/inside/command.sh CONTROL-FOLDER
# Runs, in the guest, the command that scripts/guest/boot.sh wrote into CONTROL-FOLDER/command
# (its words, each ended by a NUL), with the settings in CONTROL-FOLDER/settings (NAME=VALUE,
# each ended by a NUL), in the checkout that CONTROL-FOLDER/checkout names, and writes its exit
# status into CONTROL-FOLDER/status.
set -uo pipefail
control=$1
mapfile -d '' words <"$control/command"
mapfile -d '' settings <"$control/settings"
for setting in "${settings[@]}"; do
    export "$setting"
done
cd "$(cat "$control/checkout")" || exit 1
"${words[@]}"
echo $? >"$control/status"
