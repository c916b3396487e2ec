// The version library, bound at run time, and the comparison of file versions.
#ifndef VORNAKDSN_INSTALLER_VERSION_H
#define VORNAKDSN_INSTALLER_VERSION_H

#include <windows.h>

typedef DWORD(WINAPI* GetFileVersionInfoSizeAProc)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* GetFileVersionInfoAProc)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* VerQueryValueAProc)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// Valid only while the module that BindVersionFunctions returned stays loaded. Bound in this
// order, which the names in version.cpp follow.
struct VersionFunctions {
    GetFileVersionInfoSizeAProc GetFileVersionInfoSizeA;
    GetFileVersionInfoAProc GetFileVersionInfoA;
    VerQueryValueAProc VerQueryValueA;
};

// Loads version.dll and fills the record; the caller frees the returned module when done.
// Null, with nothing left loaded, when the library or any of the three entry points is
// missing.
HMODULE BindVersionFunctions(VersionFunctions* functions);

// '<', '=' or '>': how a's file version stands to b's. Parts compare as unsigned numbers.
char CompareFileVersions(const VS_FIXEDFILEINFO& a, const VS_FIXEDFILEINFO& b);

#endif
