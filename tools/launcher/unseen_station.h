// Where services, msiexec's custom actions and remote sessions start programs: a window
// station that no one sees, on which a message box waits for ever.
#ifndef VORNAKDSN_UNSEEN_STATION_H
#define VORNAKDSN_UNSEEN_STATION_H

// "station\desktop", for STARTUPINFO.lpDesktop: a desktop on a window station of this
// process's own that is not visible. Null when it cannot be made. Made once; it stays until
// the process ends.
const char* UnseenDesktop();

#endif
