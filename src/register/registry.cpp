#include "registry.h"

#include "bind.h"

HMODULE BindRegistryFunctions(RegistryFunctions* functions)
{
    HMODULE module = LoadLibraryA("advapi32.dll");
    if (!module)
        return NULL;
    bool found = Resolve(module, "RegOpenKeyExA", &functions->RegOpenKeyExA);
    found = Resolve(module, "RegQueryValueExA", &functions->RegQueryValueExA) && found;
    found = Resolve(module, "RegEnumValueA", &functions->RegEnumValueA) && found;
    found = Resolve(module, "RegCloseKey", &functions->RegCloseKey) && found;
    if (found)
        return module;
    FreeLibrary(module);
    return NULL;
}
