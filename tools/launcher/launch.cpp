// usage: launch [--unseen] SECONDS COMMAND-LINE-IN-UTF8-HEX
// Starts a command line exactly as given, whatever its characters (a Unix shell cannot hand
// Wine a command line in any code page), with this process's standard handles and
// environment, and ends with its exit status. --unseen starts it on a window station that
// no one sees. A command still running after SECONDS is ended: status 124.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "unseen_station.h"

namespace {

std::wstring DecodeCommandLine(const char* hex)
{
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], '\0'};
        bytes += static_cast<char>(std::strtoul(pair, NULL, 16));
    }
    std::wstring wide(bytes.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                     &wide[0], static_cast<int>(wide.size()));
    wide.resize(length);
    return wide;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool unseen = argc == 4 && std::strcmp(argv[1], "--unseen") == 0;
    if (argc != 3 + unseen) {
        std::fprintf(stderr, "usage: launch [--unseen] SECONDS COMMAND-LINE-IN-UTF8-HEX\n");
        return 125;
    }
    const DWORD limitMs = std::strtoul(argv[1 + unseen], NULL, 10) * 1000;
    std::wstring commandLine = DecodeCommandLine(argv[2 + unseen]);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktop;
    if (unseen) {
        const char* name = UnseenDesktop();
        if (!name) {
            std::fprintf(stderr, "launch: cannot make a window station\n");
            return 125;
        }
        desktop.assign(name, name + std::strlen(name));
        startup.lpDesktop = &desktop[0];
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup,
                        &process)) {
        std::fprintf(stderr, "launch: cannot start the command (error %lu)\n", GetLastError());
        return 125;
    }
    DWORD status = 124;
    if (WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &status);
    } else {
        std::fprintf(stderr, "launch: still running after %lu s\n", limitMs / 1000);
        TerminateProcess(process.hProcess, 124);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
