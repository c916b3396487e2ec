// What became of a run, told as it ends: in the exit status, on standard error where something
// failed, and in the Application event log.
#ifndef VORNAKDSN_OUTCOME_H
#define VORNAKDSN_OUTCOME_H

#include "data_source.h"
#include "installer.h"

// The exit statuses of a run.
const int kDataSourceWritten = 0;
const int kPathRefused = 2;
const int kInstallerUnreachable = 3;
const int kInstallerRefused = 4;

// The database path cannot be used, for the reason that sentence gives: on standard error, and,
// for a run (not a check), in an event. Returns the exit status.
int ReportRefusedPath(const char* sentence, bool inEventLog);

// What became of the data source that a refused add request had removed.
enum PutBack {
    kNothingToPutBack,  // there was none, or the removal left it
    kPutBack,
    kNotPutBack
};

// The add request for databasePath was answered as answer says; before is the data source as
// it was before the removal, null where it could not be read. Returns the exit status.
int ReportAddOutcome(const InstallerAnswer& answer, const char* databasePath,
                     const DataSourceReading* before, PutBack putBack);

#endif
