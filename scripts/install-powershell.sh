#!/bin/bash
# usage: scripts/install-powershell.sh FOLDER
# Installs PowerShell 7 (the .NET tool PowerShell, version 7.6.10, from NuGet) into FOLDER with
# the .NET runtime that it runs on, copied from this machine's .NET SDK, so that a machine
# without one (the guest, see scripts/guest/run.sh) runs it from there too: FOLDER/pwsh then
# starts it. Quick when it is there. Exits 3, saying why, where this machine has no .NET SDK
# (dotnet), which the tests that need PowerShell then skip.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/lib.sh"
[ $# -eq 1 ] || die 2 "usage: scripts/install-powershell.sh FOLDER"
folder=$(mkdir -p "$1" && realpath "$1")
version=7.6.10
[ ! -x "$folder/pwsh" ] || ! grep -q "/$version/" "$folder/pwsh" || exit 0
command -v dotnet >/dev/null || die 3 "no .NET SDK (dotnet) on this machine to install PowerShell with"

echo "installing PowerShell $version into $folder" >&2
rm -rf "$folder/tool" "$folder/dotnet" "$folder/pwsh"
dotnet tool install --tool-path "$folder/tool" PowerShell --version "$version" >&2
# The runtime alone (the host and Microsoft.NETCore.App), not the SDK around it.
sdk=$(dirname "$(readlink -f "$(command -v dotnet)")")
runtime=$(dotnet --list-runtimes | awk '$1 == "Microsoft.NETCore.App" { version = $2 } END { print version }')
mkdir -p "$folder/dotnet/shared/Microsoft.NETCore.App"
cp -a "$sdk/dotnet" "$sdk/host" "$folder/dotnet/"
cp -a "$sdk/shared/Microsoft.NETCore.App/$runtime" "$folder/dotnet/shared/Microsoft.NETCore.App/"
# The tool's own pwsh starts "dotnet" from the PATH: the launcher starts PowerShell with the
# copied runtime instead. Where the guest has no ICU, text is handled as the invariant culture;
# nothing here needs more.
program=$(cd "$folder" && echo tool/.store/powershell/$version/powershell/$version/tools/*/any/unix/pwsh.dll)
[ -f "$folder/$program" ] || die 1 "the PowerShell tool has no $program"
cat >"$folder/pwsh" <<LAUNCHER
#!/bin/sh
here=\$(dirname "\$(readlink -f "\$0")")
DOTNET_ROOT=\$here/dotnet DOTNET_SYSTEM_GLOBALIZATION_INVARIANT=1 DOTNET_CLI_TELEMETRY_OPTOUT=1 \\
    POWERSHELL_TELEMETRY_OPTOUT=1 POWERSHELL_UPDATECHECK=Off \\
    exec "\$here/dotnet/dotnet" "\$here/$program" "\$@"
LAUNCHER
chmod +x "$folder/pwsh"
