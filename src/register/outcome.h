// What became of the add request, told as the run ends: in the exit status, on standard error
// where the installer refused, and in the Application event log.
#ifndef VORNAKDSN_OUTCOME_H
#define VORNAKDSN_OUTCOME_H

#include <windows.h>

// The exit statuses of a run that made the add request.
const int kDataSourceWritten = 0;
const int kInstallerUnreachable = 3;
const int kInstallerRefused = 4;

// Call right after the add request for databasePath, which returned added: a refusal is asked
// about before anything else calls the installer. Returns the exit status.
int ReportAddOutcome(BOOL added, const char* databasePath);

#endif
