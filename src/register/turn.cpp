#include "turn.h"

namespace {

// One name for every session: a run from a service (session 0) and one from a logged-on
// user's console must see the same. Windows NT 4.0 without Terminal Server has no global
// namespace and refuses a name with a backslash; there the plain name is the only one.
const char kGlobalName[] = "Global\\vornakdsn.vornakDsnStore";
const char kLocalName[] = "vornakdsn.vornakDsnStore";

HANDLE OpenTurn()
{
    HANDLE turn = CreateMutexA(NULL, FALSE, kGlobalName);
    if (turn)
        return turn;
    // Made by a run of another account (the local system, say), whose default DACL may grant
    // others no more than waiting on it.
    if (GetLastError() == ERROR_ACCESS_DENIED)
        return OpenMutexA(SYNCHRONIZE, FALSE, kGlobalName);
    return CreateMutexA(NULL, FALSE, kLocalName);
}

}  // namespace

bool WaitForTurn(HANDLE* turn)
{
    *turn = OpenTurn();
    if (!*turn)
        return true;
    // WAIT_ABANDONED: a run that ended without releasing it; this one reads everything afresh.
    DWORD waited = WaitForSingleObject(*turn, kTurnWaitSeconds * 1000);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return true;
    CloseHandle(*turn);
    *turn = NULL;
    return false;
}

void EndTurn(HANDLE turn)
{
    if (!turn)
        return;
    ReleaseMutex(turn);
    CloseHandle(turn);
}
