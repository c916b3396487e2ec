// The advanced services the program uses, the registry's and the event log's: bound by name
// from advapi32.dll once a run, as every platform library but the kernel's and the user
// library, so that the image imports nothing more. The wide functions: the registry keeps its
// text as characters, and so does the event log, and the program's code page may lack some.
#ifndef VORNAKDSN_ADVANCED_SERVICES_H
#define VORNAKDSN_ADVANCED_SERVICES_H

#include <windows.h>

typedef LONG(WINAPI* RegOpenKeyExWProc)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
typedef LONG(WINAPI* RegCreateKeyExWProc)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM,
                                          LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
typedef LONG(WINAPI* RegCloseKeyProc)(HKEY);
typedef LONG(WINAPI* RegDeleteKeyWProc)(HKEY, LPCWSTR);
typedef LONG(WINAPI* RegEnumKeyExWProc)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD,
                                        PFILETIME);
typedef LONG(WINAPI* RegEnumValueWProc)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE,
                                        LPDWORD);
typedef LONG(WINAPI* RegQueryValueExWProc)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
typedef LONG(WINAPI* RegSetValueExWProc)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
typedef LONG(WINAPI* RegDeleteValueWProc)(HKEY, LPCWSTR);
typedef HANDLE(WINAPI* RegisterEventSourceWProc)(LPCWSTR, LPCWSTR);
typedef BOOL(WINAPI* ReportEventWProc)(HANDLE, WORD, WORD, DWORD, PSID, WORD, DWORD, LPCWSTR*,
                                       LPVOID);
typedef BOOL(WINAPI* DeregisterEventSourceProc)(HANDLE);

// Valid only while the module that BindAdvancedServices returned stays loaded. Bound in this
// order, which the names in advanced_services.cpp follow.
struct AdvancedServices {
    RegOpenKeyExWProc RegOpenKeyExW;
    RegCreateKeyExWProc RegCreateKeyExW;
    RegCloseKeyProc RegCloseKey;
    RegDeleteKeyWProc RegDeleteKeyW;
    RegEnumKeyExWProc RegEnumKeyExW;
    RegEnumValueWProc RegEnumValueW;
    RegQueryValueExWProc RegQueryValueExW;
    RegSetValueExWProc RegSetValueExW;
    RegDeleteValueWProc RegDeleteValueW;
    RegisterEventSourceWProc RegisterEventSourceW;
    ReportEventWProc ReportEventW;
    DeregisterEventSourceProc DeregisterEventSource;
};

// Loads advapi32.dll and fills the record; the caller frees the returned module when done.
// Null, with nothing left loaded, when the library or any of the entry points is missing.
HMODULE BindAdvancedServices(AdvancedServices* services);

#endif
