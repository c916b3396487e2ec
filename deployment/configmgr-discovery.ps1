# Configuration Manager compliance setting (data type Integer, rule "equals 0"), the discovery
# script: writes the exit status of the program's check alone, 0 where vornakDsnStore is as a
# run of the program leaves it; -1 where the program is not installed.
$database = 'C:\Data\orders.mdb'

# Where the package installs the program, in 32-bit and 64-bit PowerShell on either Windows.
$folder = ${env:ProgramFiles(x86)}
if (-not $folder) { $folder = $env:ProgramFiles }
$program = Join-Path $folder 'vornakdsn\vornakdsn.exe'

if (-not (Test-Path -LiteralPath $program)) {
    -1
    exit
}
& $program --check $database 2>&1 | Out-Null
$LASTEXITCODE
