// The registry, as the program reads it: bound by name from the advanced services library, as
// every platform library but the kernel's and the user library, so that the image imports
// nothing more.
#ifndef VORNAKDSN_REGISTRY_H
#define VORNAKDSN_REGISTRY_H

#include <windows.h>

typedef LONG(WINAPI* RegOpenKeyExAProc)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
typedef LONG(WINAPI* RegQueryValueExAProc)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
typedef LONG(WINAPI* RegEnumValueAProc)(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE,
                                        LPDWORD);
typedef LONG(WINAPI* RegCloseKeyProc)(HKEY);

// Valid only while the module that BindRegistryFunctions returned stays loaded.
struct RegistryFunctions {
    RegOpenKeyExAProc RegOpenKeyExA;
    RegQueryValueExAProc RegQueryValueExA;
    RegEnumValueAProc RegEnumValueA;
    RegCloseKeyProc RegCloseKey;
};

// Loads advapi32.dll and fills the record; the caller frees the returned module when done.
// Null, with nothing left loaded, when the library or any of the four entry points is missing.
HMODULE BindRegistryFunctions(RegistryFunctions* functions);

#endif
