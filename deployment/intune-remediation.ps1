# Intune Remediations, the remediation script: runs the program, which removes vornakDsnStore
# and adds it anew for the database, and ends with its exit status (0: written). What the
# program says, standard error included, goes out on standard output.
$database = 'C:\Data\orders.mdb'

# Where the package installs the program, in 32-bit and 64-bit PowerShell on either Windows.
$folder = ${env:ProgramFiles(x86)}
if (-not $folder) { $folder = $env:ProgramFiles }
$program = Join-Path $folder 'vornakdsn\vornakdsn.exe'

if (-not (Test-Path -LiteralPath $program)) {
    Write-Output "vornakdsn is not installed: there is no $program"
    exit 1
}
& $program $database 2>&1 | ForEach-Object { "$_" }
exit $LASTEXITCODE
