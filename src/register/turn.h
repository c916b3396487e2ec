// One run at a time reads, removes, adds and puts back the data source: deployment engines
// overlap (a remediation beside a start-up script, a baseline beside an install), and a run
// whose add is refused would otherwise put back the old data source over the one that another
// run had just written and reported.
#ifndef VORNAKDSN_TURN_H
#define VORNAKDSN_TURN_H

#include <windows.h>

// How long a run waits for another to finish. A run takes a second or two; this is long
// enough for one that waits on a slow driver, short enough for an engine's time limit.
const DWORD kTurnWaitSeconds = 60;

// Waits for this run's turn, into *turn for EndTurn; false where another run kept it for
// longer than kTurnWaitSeconds. Where Windows can make no such lock at all, *turn is null and
// the run goes on alone, as it would have without one.
bool WaitForTurn(HANDLE* turn);

void EndTurn(HANDLE turn);

#endif
