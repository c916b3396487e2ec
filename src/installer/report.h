// Telling the user that the installer cannot be reached: in a message box where someone can
// see one, otherwise on standard error, since a box that no one sees waits for ever.
#ifndef VORNAKDSN_REPORT_H
#define VORNAKDSN_REPORT_H

#include <windows.h>

// No copy of the installer library could be loaded.
void ReportMissingLibrary(void);

// The installer library loaded lacks the entry point name.
void ReportMissingEntryPoint(HMODULE installer, const char* name);

// A new request starts with nothing reported.
void ForgetUnreachableReport(void);

// What the current request told the user; null when it reached the installer.
const char* UnreachableReport(void);

#endif
