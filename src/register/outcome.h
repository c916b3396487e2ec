// What became of a run, told as it ends: in the exit status, on standard error where something
// failed, and in the Application event log.
#ifndef VORNAKDSN_OUTCOME_H
#define VORNAKDSN_OUTCOME_H

#include "installer.h"

// The exit statuses of a run.
const int kDataSourceWritten = 0;
const int kPathRefused = 2;
const int kInstallerUnreachable = 3;
const int kInstallerRefused = 4;

// The database path cannot be registered, for the reason that sentence gives. Returns the
// exit status.
int ReportRefusedPath(const char* sentence);

// The add request for databasePath was answered as answer says. Returns the exit status.
int ReportAddOutcome(const InstallerAnswer& answer, const char* databasePath);

#endif
