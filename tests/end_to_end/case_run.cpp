#include "case_run.h"

#include "files.h"

CaseRun RunCase(const std::string& name, const Machine& machine, const std::string& arguments,
                Station station)
{
    CaseRun c;
    c.folder = PrepareCase(name);
    c.searchCopyPath = c.folder + "\\odbccp32.dll";
    if (!PlaceCopy(machine.system, SystemCopyOnDisk()) ||
        !PlaceCopy(machine.search, c.searchCopyPath) ||
        (machine.oldQuarantineFile && !WriteBytes(QuarantineOnDisk(), "old")) ||
        (machine.oldDataSource != OldDataSource::None &&
         !PlaceOldDataSource(machine.oldDataSource == OldDataSource::Unreadable)))
        return c;
    c.placedSystemCopy = ReadBytes(SystemCopyOnDisk());
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (machine.systemCopyInUse) {
        holder = CreateFileA(SystemCopyOnDisk().c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (holder == INVALID_HANDLE_VALUE)
            return c;
    }
    c.prepared = true;

    c.run = RunTool(c.folder, arguments, station, machine.windows);
    if (holder != INVALID_HANDLE_VALUE)
        CloseHandle(holder);
    c.events = ReadStandinLog(c.folder);
    return c;
}
