#include "event_log.h"

#include "bind.h"
#include "wide.h"

namespace {

typedef HANDLE(WINAPI* RegisterEventSourceWProc)(LPCWSTR, LPCWSTR);
typedef BOOL(WINAPI* ReportEventWProc)(HANDLE, WORD, WORD, DWORD, PSID, WORD, DWORD, LPCWSTR*,
                                       LPVOID);
typedef BOOL(WINAPI* DeregisterEventSourceProc)(HANDLE);

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

void Report(HMODULE advapi, WORD type, DWORD eventId, const WCHAR* text)
{
    RegisterEventSourceWProc registerEventSource;
    ReportEventWProc reportEvent;
    DeregisterEventSourceProc deregisterEventSource;
    if (!Resolve(advapi, "RegisterEventSourceW", &registerEventSource) ||
        !Resolve(advapi, "ReportEventW", &reportEvent) ||
        !Resolve(advapi, "DeregisterEventSource", &deregisterEventSource))
        return;
    HANDLE source = registerEventSource(NULL, L"vornakdsn");
    if (!source)
        return;
    reportEvent(source, type, 0, eventId, NULL, 1, 0, &text, NULL);
    deregisterEventSource(source);
}

}  // namespace

// Windows hands ReportEventA's bytes to the event log service, which reads them in the system's
// code page, not the program's (UTF-8 where Windows granted it): the sentence goes as
// characters.
void WriteEvent(WORD type, DWORD eventId, const char* sentence)
{
    WCHAR* text = Widen(sentence);
    if (!text)
        return;
    HMODULE advapi = LoadLibraryA("advapi32.dll");
    if (advapi) {
        DisarmInsertionCodes(text);
        Report(advapi, type, eventId, text);
        FreeLibrary(advapi);
    }
    LocalFree(text);
}
