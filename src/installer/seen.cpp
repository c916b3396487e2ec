#include "seen.h"

#include "bind.h"

namespace {

// Windows Vista is NT 6.0.
const DWORD kIsolatedSessionZeroVersion = 6;

typedef BOOL(WINAPI* ProcessIdToSessionIdProc)(DWORD, DWORD*);

// Not in Windows NT 4.0's kernel32, so bound here; where it is missing the process runs on
// the console, which is session 0. A session that cannot be read counts as 0, the one that
// no one sees.
DWORD SessionOfThisProcess()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ProcessIdToSessionIdProc processIdToSessionId;
    if (!kernel || !Resolve(kernel, "ProcessIdToSessionId", &processIdToSessionId))
        return 0;
    DWORD session = 0;
    if (!processIdToSessionId(GetCurrentProcessId(), &session))
        return 0;
    return session;
}

}  // namespace

// Services, msiexec's custom actions and remote sessions run on a window station that is
// not shown. From Windows Vista on, session 0 holds only services and no one sees it, yet
// its WinSta0 is flagged visible: a service allowed to interact with the desktop, or psexec
// -s -i 0, puts a program there. Up to Windows XP and Server 2003, session 0 is the console.
bool BoxesAreSeen(DWORD windowsMajorVersion, DWORD session, bool stationVisible)
{
    if (!stationVisible)
        return false;
    return windowsMajorVersion < kIsolatedSessionZeroVersion || session != 0;
}

// A station whose flags cannot be read counts as unseen, since waiting for an OK that no
// one can press is the one thing that must not happen.
bool SomeoneCanSeeBoxes(void)
{
    HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    bool visible = station &&
                   GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed) &&
                   (flags.dwFlags & WSF_VISIBLE) != 0;
    DWORD major = LOBYTE(LOWORD(GetVersion()));
    // Only where session 0 is isolated does the session matter, and only there is it asked.
    DWORD session = major < kIsolatedSessionZeroVersion ? 0 : SessionOfThisProcess();
    return BoxesAreSeen(major, session, visible);
}
