# Configuration Manager compliance setting, the remediation script: runs the program, which
# removes vornakDsnStore and adds it anew for the database, and ends with its exit status.
$database = 'C:\Data\orders.mdb'

# Where the package installs the program, in 32-bit and 64-bit PowerShell on either Windows.
$folder = ${env:ProgramFiles(x86)}
if (-not $folder) { $folder = $env:ProgramFiles }
$program = Join-Path $folder 'vornakdsn\vornakdsn.exe'

& $program $database 2>&1 | Out-Null
exit $LASTEXITCODE
