// What became of a run, told as it ends: in the exit status, on standard error where something
// failed, and in the Application event log.
#ifndef VORNAKDSN_OUTCOME_H
#define VORNAKDSN_OUTCOME_H

#include "data_source.h"
#include "installer.h"

// The exit statuses, of a run and of a check.
enum ExitStatus {
    kSucceeded = 0,          // written as asked, the help or the version printed; checked: right
    kDataSourceDiffers = 1,  // a check: it differs, or it is missing
    kPathRefused = 2,
    kNotItsTurn = 2,  // another run kept the data source: nothing was done either
    kInstallerUnreachable = 3,
    kRegistryUnreadable = 3,  // a check
    kInstallerRefused = 4
};

// The database path cannot be used, for the reason that sentence gives: on standard error, and,
// for a run (not a check), in an event. Returns the exit status.
int ReportRefusedPath(const AdvancedServices* services, const char* sentence, bool inEventLog);

// Another run kept the data source for longer than this one would wait, so this one did
// nothing: on standard error and in an event. Returns the exit status.
int ReportNotItsTurn(const AdvancedServices* services);

// The add request for databasePath was answered as answer says; before is the data source as
// it was before the removal, null where it could not be read. Returns the exit status.
int ReportAddOutcome(const AdvancedServices* services, const InstallerAnswer& answer,
                     const WCHAR* databasePath, const DataSourceReading* before, PutBack putBack);

#endif
