// Whether anyone can see a message box, and so press its OK button.
#ifndef VORNAKDSN_SEEN_H
#define VORNAKDSN_SEEN_H

#include <windows.h>

// windowsMajorVersion: as GetVersion gives it; session: the process's session, 0 where
// Windows cannot say; stationVisible: the window station is flagged WSF_VISIBLE.
bool BoxesAreSeen(DWORD windowsMajorVersion, DWORD session, bool stationVisible);

// Asks Windows about the running process. Where it cannot tell, the answer is no.
bool SomeoneCanSeeBoxes(void);

#endif
