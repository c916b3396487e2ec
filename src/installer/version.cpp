#include "version.h"

#include "bind.h"

namespace {

char CompareParts(DWORD a, DWORD b)
{
    if (a > b)
        return '>';
    if (a < b)
        return '<';
    return '=';
}

}  // namespace

HMODULE BindVersionFunctions(VersionFunctions* functions)
{
    static const char* const kNames[] = {"GetFileVersionInfoSizeA", "GetFileVersionInfoA",
                                         "VerQueryValueA"};
    HMODULE module = LoadLibraryA("version.dll");
    if (!module)
        return NULL;
    if (ResolveAll(module, kNames, functions))
        return module;
    FreeLibrary(module);
    return NULL;
}

char CompareFileVersions(const VS_FIXEDFILEINFO& a, const VS_FIXEDFILEINFO& b)
{
    char order = CompareParts(a.dwFileVersionMS, b.dwFileVersionMS);
    if (order != '=')
        return order;
    return CompareParts(a.dwFileVersionLS, b.dwFileVersionLS);
}
