@echo off
rem A computer start-up script (Group Policy): points vornakDsnStore at the database. Where
rem the program is not there yet, installs the package; where its check finds the data source
rem wrong, runs the install command, which acts where DBQ differs (another build of the package
rem installed included), then the installed program where anything else is still wrong. On a
rem right machine it runs the check alone; where the check cannot tell (2, 3), nothing.
set "database=C:\Data\orders.mdb"
set "package=\\fileserver\deploy\vornakdsn-1.0.0.msi"

set "program=%ProgramFiles(x86)%\vornakdsn\vornakdsn.exe"
if not defined ProgramFiles(x86) set "program=%ProgramFiles%\vornakdsn\vornakdsn.exe"
if exist "%program%" (
    "%program%" --check "%database%" >nul
    if errorlevel 2 goto :eof
    if not errorlevel 1 goto :eof
)
msiexec /i "%package%" /qn DATABASEPATH="%database%" /l*v! "%WINDIR%\Temp\vornakdsn.log"
"%program%" --check "%database%" >nul
if errorlevel 2 goto :eof
if errorlevel 1 "%program%" "%database%"
