#include "event_log.h"

namespace {

typedef HANDLE(WINAPI* RegisterEventSourceAProc)(LPCSTR, LPCSTR);
typedef BOOL(WINAPI* ReportEventAProc)(HANDLE, WORD, WORD, DWORD, PSID, WORD, DWORD, LPCSTR*,
                                       LPVOID);
typedef BOOL(WINAPI* DeregisterEventSourceProc)(HANDLE);

template <typename Proc>
Proc Find(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

// The advanced services library is bound by name, as every platform library but the kernel's
// and the user library, so that the image imports nothing more.
void WriteEvent(WORD type, DWORD eventId, const char* const* strings, WORD count)
{
    HMODULE advapi = LoadLibraryA("advapi32.dll");
    if (!advapi)
        return;
    RegisterEventSourceAProc registerEventSource =
        Find<RegisterEventSourceAProc>(advapi, "RegisterEventSourceA");
    ReportEventAProc reportEvent = Find<ReportEventAProc>(advapi, "ReportEventA");
    DeregisterEventSourceProc deregisterEventSource =
        Find<DeregisterEventSourceProc>(advapi, "DeregisterEventSource");
    HANDLE source = registerEventSource && reportEvent && deregisterEventSource
                        ? registerEventSource(NULL, "vornakdsn")
                        : NULL;
    if (source) {
        reportEvent(source, type, 0, eventId, NULL, count, 0, const_cast<LPCSTR*>(strings),
                    NULL);
        deregisterEventSource(source);
    }
    FreeLibrary(advapi);
}
