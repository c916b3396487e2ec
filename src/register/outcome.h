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
    kInstallerUnreachable = 3,
    kRegistryUnreadable = 3,  // a check
    kInstallerRefused = 4
};

// The database path cannot be used, for the reason that sentence gives: on standard error, and,
// for a run (not a check), in an event. Returns the exit status.
int ReportRefusedPath(const AdvancedServices* services, const char* sentence, bool inEventLog);

// What became of the data source that a refused add request had removed.
enum PutBack {
    kNothingToPutBack,  // there was none, or the removal left it
    kPutBack,
    kNotPutBack,
    kUnreadBeforeRemoval,  // the removal took one that could not be read before
    kPutBackKinds
};

// The add request for databasePath was answered as answer says; before is the data source as
// it was before the removal, null where it could not be read. Returns the exit status.
int ReportAddOutcome(const AdvancedServices* services, const InstallerAnswer& answer,
                     const WCHAR* databasePath, const DataSourceReading* before, PutBack putBack);

#endif
