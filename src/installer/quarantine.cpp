#include "quarantine.h"

#include "version.h"

namespace {

// A system copy this small without version information is not a real installer library.
const DWORD kQuarantineThreshold = 20000;

}  // namespace

void QuarantineUndersizedInstaller(const char* systemDirectory, const char* systemCopyPath)
{
    HANDLE file = CreateFileA(systemCopyPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD size = GetFileSize(file, NULL);
    CloseHandle(file);
    if (size == INVALID_FILE_SIZE || size >= kQuarantineThreshold)
        return;

    VersionFunctions version;
    HMODULE versionLibrary = BindVersionFunctions(&version);
    if (!versionLibrary)
        return;
    DWORD unused;
    if (version.GetFileVersionInfoSizeA(systemCopyPath, &unused) == 0) {
        char quarantinePath[kBuiltPathLimit];
        wsprintfA(quarantinePath, "%s\\odbccp32.bad", systemDirectory);
        // A copy in use cannot be moved; it then simply takes part in the choice of copy.
        MoveFileExA(systemCopyPath, quarantinePath,
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    }
    FreeLibrary(versionLibrary);
}
