// The Application event log, where administrators look for what a run that no one watched did.
#ifndef VORNAKDSN_EVENT_LOG_H
#define VORNAKDSN_EVENT_LOG_H

#include <windows.h>

// Writes one event of the source vornakdsn: type as ReportEvent takes it, eventId one of the
// program's message table, sentence (in the program's code page) its one string. A log that
// cannot be written is passed over: the event is a record, never a reason to fail or to ask
// anything.
void WriteEvent(WORD type, DWORD eventId, const char* sentence);

#endif
