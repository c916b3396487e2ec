#include "event_log.h"

namespace {

const WCHAR kFullwidthPercentSign = 0xFF05;

// Event Viewer puts an event's strings into its sentence and then replaces the insertion codes
// inside them too (%1 by a string, %%5 by a parameter message), with no escape: a path such as
// C:\Data\Q%1.mdb would be shown with a string in place of %1. Such a percent sign is written
// as the fullwidth one, which it leaves alone.
void DisarmInsertionCodes(WCHAR* text)
{
    for (; *text; text++) {
        if (text[0] == L'%' && (text[1] == L'%' || (text[1] >= L'0' && text[1] <= L'9')))
            text[0] = kFullwidthPercentSign;
    }
}

}  // namespace

// Windows hands ReportEventA's bytes to the event log service, which reads them in the system's
// code page, not the program's (UTF-8 where Windows granted it): the sentence goes as
// characters.
void WriteEvent(const AdvancedServices* services, WORD type, DWORD eventId, WCHAR* sentence)
{
    if (!services)
        return;
    HANDLE source = services->RegisterEventSourceW(NULL, L"vornakdsn");
    if (!source)
        return;
    DisarmInsertionCodes(sentence);
    const WCHAR* strings[] = {sentence};
    services->ReportEventW(source, type, 0, eventId, NULL, 1, 0, strings, NULL);
    services->DeregisterEventSource(source);
}
