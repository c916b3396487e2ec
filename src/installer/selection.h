// Finding and choosing the installer library.
#ifndef VORNAKDSN_SELECTION_H
#define VORNAKDSN_SELECTION_H

#include <windows.h>

// Moves aside an undersized unversioned system copy, then loads the system copy and the copy
// the ordinary library search finds and keeps the newer one. The caller receives exactly one
// reference to the result; null when no copy loads.
HMODULE LoadInstallerLibrary(void);

#endif
