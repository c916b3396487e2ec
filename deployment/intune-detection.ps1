# Intune Remediations, the detection script: exit 0 where vornakDsnStore is as a run of the
# program leaves it, 1 where it is not (Intune then runs the remediation script) or where the
# program is not installed. Intune shows only the last line that it writes and takes anything
# on standard error for a failure of the script itself: all that the check said, standard
# error included, goes out as one line on standard output.
$database = 'C:\Data\orders.mdb'

# Where the package installs the program, in 32-bit and 64-bit PowerShell on either Windows.
$folder = ${env:ProgramFiles(x86)}
if (-not $folder) { $folder = $env:ProgramFiles }
$program = Join-Path $folder 'vornakdsn\vornakdsn.exe'

if (-not (Test-Path -LiteralPath $program)) {
    Write-Output "vornakdsn is not installed: there is no $program"
    exit 1
}
$said = & $program --check $database 2>&1 | ForEach-Object { "$_" }
$status = $LASTEXITCODE
Write-Output ($said -join ' ')
exit [int]($status -ne 0)
