#include "advanced_services.h"

#include "bind.h"

HMODULE BindAdvancedServices(AdvancedServices* services)
{
    static const char* const kNames[] = {
        "RegOpenKeyExW",    "RegCreateKeyExW",  "RegCloseKey",     "RegDeleteKeyW",
        "RegEnumKeyExW",    "RegEnumValueW",    "RegQueryValueExW", "RegSetValueExW",
        "RegDeleteValueW",  "RegisterEventSourceW", "ReportEventW", "DeregisterEventSource"};
    HMODULE module = LoadLibraryA("advapi32.dll");
    if (!module)
        return NULL;
    if (ResolveAll(module, kNames, services))
        return module;
    FreeLibrary(module);
    return NULL;
}
