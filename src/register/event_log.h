// The Application event log, where administrators look for what a run that no one watched did.
#ifndef VORNAKDSN_EVENT_LOG_H
#define VORNAKDSN_EVENT_LOG_H

#include "advanced_services.h"

// Writes one event of the source vornakdsn: type as ReportEvent takes it, eventId one of the
// program's message table, sentence its one string, which this may change (see
// event_log.cpp). A log that cannot be written, or services that could not be bound (null),
// are passed over: the event is a record, never a reason to fail or to ask anything.
void WriteEvent(const AdvancedServices* services, WORD type, DWORD eventId, WCHAR* sentence);

#endif
