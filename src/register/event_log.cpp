#include "event_log.h"

namespace {

typedef HANDLE(WINAPI* RegisterEventSourceWProc)(LPCWSTR, LPCWSTR);
typedef BOOL(WINAPI* ReportEventWProc)(HANDLE, WORD, WORD, DWORD, PSID, WORD, DWORD, LPCWSTR*,
                                       LPVOID);
typedef BOOL(WINAPI* DeregisterEventSourceProc)(HANDLE);

const WCHAR kFullwidthPercentSign = 0xFF05;

template <typename Proc>
Proc Find(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

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
    RegisterEventSourceWProc registerEventSource =
        Find<RegisterEventSourceWProc>(advapi, "RegisterEventSourceW");
    ReportEventWProc reportEvent = Find<ReportEventWProc>(advapi, "ReportEventW");
    DeregisterEventSourceProc deregisterEventSource =
        Find<DeregisterEventSourceProc>(advapi, "DeregisterEventSource");
    if (!registerEventSource || !reportEvent || !deregisterEventSource)
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
// characters. The advanced services library is bound by name, as every platform library but
// the kernel's and the user library, so that the image imports nothing more.
void WriteEvent(WORD type, DWORD eventId, const char* sentence)
{
    int length = MultiByteToWideChar(CP_ACP, 0, sentence, -1, NULL, 0);
    if (length == 0)
        return;
    // Fixed memory: the handle is the address.
    HLOCAL memory = LocalAlloc(LMEM_FIXED, length * sizeof(WCHAR));
    if (!memory)
        return;
    WCHAR* text = static_cast<WCHAR*>(memory);
    HMODULE advapi = MultiByteToWideChar(CP_ACP, 0, sentence, -1, text, length) == length
                         ? LoadLibraryA("advapi32.dll")
                         : NULL;
    if (advapi) {
        DisarmInsertionCodes(text);
        Report(advapi, type, eventId, text);
        FreeLibrary(advapi);
    }
    LocalFree(memory);
}
