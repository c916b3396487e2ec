# usage: pwsh -File run-scripts.ps1 FOLDER
# Runs PowerShell scripts in this one process, which takes PowerShell's seconds of start-up
# under emulation once: for each NAME.go that appears in FOLDER, the script NAME.ps1 there as
# it stands, in a scope of its own, its output into NAME.out and its errors into NAME.err, then
# its exit status into NAME.status, last. end.go ends it.
param([string] $Folder)
while ($true) {
    $go = Get-ChildItem -LiteralPath $Folder -Filter '*.go' | Select-Object -First 1
    if (-not $go) {
        Start-Sleep -Milliseconds 200
        continue
    }
    $name = $go.BaseName
    Remove-Item -LiteralPath $go.FullName
    if ($name -eq 'end') { break }
    $global:LASTEXITCODE = 0
    & (Join-Path $Folder "$name.ps1") > (Join-Path $Folder "$name.out") 2> (Join-Path $Folder "$name.err")
    Set-Content -LiteralPath (Join-Path $Folder "$name.told") -Value $LASTEXITCODE
    Move-Item -LiteralPath (Join-Path $Folder "$name.told") -Destination (Join-Path $Folder "$name.status")
}
