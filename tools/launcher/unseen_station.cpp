#include "unseen_station.h"

#include <windows.h>

const char* UnseenDesktop()
{
    static const char* name;
    if (name)
        return name;
    HWINSTA visible = GetProcessWindowStation();
    HWINSTA station = CreateWindowStationA("vornakdsn-unseen", 0, WINSTA_ALL_ACCESS, NULL);
    if (!station)
        return NULL;
    // A desktop is made on the station the process is on.
    HDESK desktop = NULL;
    if (SetProcessWindowStation(station)) {
        desktop = CreateDesktopA("unseen", NULL, NULL, 0, GENERIC_ALL, NULL);
        SetProcessWindowStation(visible);
    }
    if (!desktop) {
        CloseWindowStation(station);
        return NULL;
    }
    name = "vornakdsn-unseen\\unseen";
    return name;
}
