#include "selection.h"

#include "quarantine.h"
#include "version.h"

namespace {

const char kInstallerLibraryName[] = "odbccp32.dll";

const UINT kSystemDirectoryLimit = MAX_PATH + 1;
const DWORD kSearchCopyPathLimit = 2 * (MAX_PATH + 1);

// One copy's version resource, held in fixed memory from the local heap.
struct InstallerCopy {
    const char* path;
    DWORD resourceSize;
    HLOCAL memory;
    void* resource;
};

void TakeResourceBuffer(InstallerCopy* copy)
{
    copy->memory = LocalAlloc(LMEM_FIXED, copy->resourceSize);
    if (copy->memory)
        copy->resource = LocalLock(copy->memory);
}

void ReleaseResourceBuffer(const InstallerCopy& copy)
{
    if (copy.resource)
        LocalUnlock(copy.memory);
    if (copy.memory)
        LocalFree(copy.memory);
}

bool ReadResource(const VersionFunctions& version, const InstallerCopy& copy)
{
    return version.GetFileVersionInfoA(copy.path, 0, copy.resourceSize, copy.resource) != FALSE;
}

// The root block, or null. A malformed resource may declare a root block that is shorter
// than the fixed file information or that reaches past the resource; neither is read.
const VS_FIXEDFILEINFO* QueryFixedFileInfo(const VersionFunctions& version,
                                           const InstallerCopy& copy)
{
    void* block = NULL;
    UINT length = 0;
    if (!version.VerQueryValueA(copy.resource, "\\", &block, &length))
        return NULL;
    const char* start = static_cast<const char*>(copy.resource);
    const char* info = static_cast<const char*>(block);
    if (length < sizeof(VS_FIXEDFILEINFO) || info < start ||
        info + sizeof(VS_FIXEDFILEINFO) > start + copy.resourceSize)
        return NULL;
    return static_cast<const VS_FIXEDFILEINFO*>(block);
}

char CompareResources(const VersionFunctions& version, const InstallerCopy& search,
                      const InstallerCopy& system)
{
    if (!ReadResource(version, search) || !ReadResource(version, system))
        return 0;
    const VS_FIXEDFILEINFO* searchInfo = QueryFixedFileInfo(version, search);
    const VS_FIXEDFILEINFO* systemInfo = QueryFixedFileInfo(version, system);
    if (!searchInfo || !systemInfo)
        return 0;
    return CompareFileVersions(*searchInfo, *systemInfo);
}

// How the search copy's file version stands to the system copy's: '<', '=' or '>', or 0
// when the two cannot be compared.
char CompareInstallerCopies(const VersionFunctions& version, const char* searchCopyPath,
                            const char* systemCopyPath)
{
    InstallerCopy system = {systemCopyPath, 0, NULL, NULL};
    InstallerCopy search = {searchCopyPath, 0, NULL, NULL};
    DWORD unused;
    system.resourceSize = version.GetFileVersionInfoSizeA(system.path, &unused);
    search.resourceSize = version.GetFileVersionInfoSizeA(search.path, &unused);
    if (system.resourceSize == 0 || search.resourceSize == 0)
        return 0;

    TakeResourceBuffer(&system);
    TakeResourceBuffer(&search);
    char order = 0;
    if (system.resource && search.resource)
        order = CompareResources(version, search, system);
    ReleaseResourceBuffer(search);
    ReleaseResourceBuffer(system);
    return order;
}

// Only a search copy that is known to be older gives way to the system copy.
bool SearchCopyIsOlder(HMODULE searchModule, const char* systemCopyPath)
{
    VersionFunctions version;
    HMODULE versionLibrary = BindVersionFunctions(&version);
    if (!versionLibrary)
        return false;
    char searchCopyPath[kSearchCopyPathLimit] = {};
    DWORD length = GetModuleFileNameA(searchModule, searchCopyPath, kSearchCopyPathLimit);
    // A name cut short at the limit (unterminated on Windows XP) could be another file's.
    bool older = length != 0 && length < kSearchCopyPathLimit &&
                 CompareInstallerCopies(version, searchCopyPath, systemCopyPath) == '<';
    FreeLibrary(versionLibrary);
    return older;
}

}  // namespace

HMODULE LoadInstallerLibrary(void)
{
    char systemDirectory[kSystemDirectoryLimit] = {};
    char systemCopyPath[kBuiltPathLimit] = {};
    UINT length = GetSystemDirectoryA(systemDirectory, kSystemDirectoryLimit);
    // A path built from a missing or partial directory could name some other file, so
    // without the whole directory there is no system copy to move or load.
    bool haveSystemCopyPath = length != 0 && length < kSystemDirectoryLimit;
    if (haveSystemCopyPath) {
        wsprintfA(systemCopyPath, "%s\\%s", systemDirectory, kInstallerLibraryName);
        QuarantineUndersizedInstaller(systemDirectory, systemCopyPath);
    }

    HMODULE searchModule = LoadLibraryA(kInstallerLibraryName);
    HMODULE systemModule = haveSystemCopyPath ? LoadLibraryA(systemCopyPath) : NULL;
    if (!searchModule || !systemModule)
        return searchModule ? searchModule : systemModule;
    if (searchModule == systemModule) {
        FreeLibrary(systemModule);
        return searchModule;
    }
    if (SearchCopyIsOlder(searchModule, systemCopyPath)) {
        FreeLibrary(searchModule);
        return systemModule;
    }
    FreeLibrary(systemModule);
    return searchModule;
}
