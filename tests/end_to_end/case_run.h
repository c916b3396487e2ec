// One case of the tables: a fresh folder holding the program, the machine as the case wants
// it, the program run, and what the stand-ins recorded.
#ifndef VORNAKDSN_TESTS_CASE_RUN_H
#define VORNAKDSN_TESTS_CASE_RUN_H

#include <string>
#include <vector>

#include "test_machine.h"
#include "tool_run.h"

enum class OldDataSource { None, Readable, Unreadable };

struct Machine {
    CopySpec system;  // in the system directory
    CopySpec search;  // beside the program, where the ordinary search finds it first
    bool oldQuarantineFile = false;  // an odbccp32.bad from before
    bool systemCopyInUse = false;    // held open, without delete sharing, during the run
    const char* windows = NULL;      // the Windows version, as winecfg names it
    OldDataSource oldDataSource = OldDataSource::None;  // see PlaceOldDataSource
};

struct CaseRun {
    bool prepared = false;         // the machine is as the case wants it
    std::string folder;            // holds the program
    std::string searchCopyPath;    // the copy beside the program
    std::string placedSystemCopy;  // the system copy's bytes as placed
    ToolRun run;
    std::vector<StandinEvent> events;
};

CaseRun RunCase(const std::string& name, const Machine& machine, const std::string& arguments,
                Station station = Station::Visible);

#endif
