#include "tool_run.h"

#include <winternl.h>

#include "files.h"
#include "unseen_station.h"

namespace {

// A limit that tells a run waiting for ever (a box no one can answer) from one that ends, not a
// judge of speed: a run that waits for nothing takes a second, and under emulation on a loaded
// host more than ten.
const DWORD kRunLimitMs = kRunLimitSeconds * 1000;

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM context)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (processId != search->processId || lstrcmpA(className, "#32770") != 0 ||
        !IsWindowVisible(window))
        return TRUE;
    search->box = window;
    return FALSE;
}

std::string TextOf(HWND window)
{
    char text[2048] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

BOOL CALLBACK NoteControl(HWND control, LPARAM context)
{
    SeenBox* box = reinterpret_cast<SeenBox*>(context);
    if (!IsWindowVisible(control))
        return TRUE;
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(className, "Button") == 0) {
        box->buttons++;
        box->okButton = box->okButton || GetDlgCtrlID(control) == IDOK;
    } else if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        box->icon = true;
    }
    return TRUE;
}

SeenBox Read(HWND window)
{
    SeenBox box;
    box.caption = TextOf(window);
    HWND text = GetDlgItem(window, 0xFFFF);
    if (text)
        box.text = TextOf(text);
    EnumChildWindows(window, NoteControl, reinterpret_cast<LPARAM>(&box));
    return box;
}

void PressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 500 && IsWindow(box); i++)
        Sleep(10);
}

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}

// A screen buffer that the program can inherit as a console. Wine gives a program started from
// a shell a console without screen buffers: the test then takes a console of its own.
HANDLE NewConsole()
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE console = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                               CONSOLE_TEXTMODE_BUFFER, NULL);
    if (console == INVALID_HANDLE_VALUE && FreeConsole() && AllocConsole())
        return NewConsole();
    return console;
}

// What the console shows, as UTF-8: its rows read as one run, without the blanks after the
// text, and one line end. A line longer than a row goes on in the next, so a run of one line
// is that line.
std::string ConsoleText(HANDLE console)
{
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!GetConsoleScreenBufferInfo(console, &info))
        return "";
    std::wstring cells(info.dwSize.X * info.dwSize.Y, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, &cells[0], static_cast<DWORD>(cells.size()), COORD{0, 0},
                                &read);
    cells.resize(read);
    cells.erase(cells.find_last_not_of(L' ') + 1);
    std::string text(4 * cells.size(), '\0');
    text.resize(WideCharToMultiByte(CP_UTF8, 0, cells.c_str(), static_cast<int>(cells.size()),
                                    &text[0], static_cast<int>(text.size()), NULL, NULL));
    return text + "\r\n";
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, NULL);
}

// Wine has no session 0: every process is in session 1. ProcessIdToSessionId reads the
// session from the process's PEB, so 0 written there before the process runs puts it in
// session 0 as the program sees it.
bool MoveToSessionZero(HANDLE process)
{
    typedef NTSTATUS(NTAPI * QueryProc)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProc query = reinterpret_cast<QueryProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, NULL) != 0)
        return false;
    const SIZE_T kSessionIdOffset = 0x1d4;  // in a 32-bit PEB
    const DWORD zero = 0;
    char* peb = reinterpret_cast<char*>(basic.PebBaseAddress);
    return WriteProcessMemory(process, peb + kSessionIdOffset, &zero, sizeof zero, NULL);
}

// Wine tells a program the Windows version that its AppDefaults key names.
const char kVersionKey[] = "Software\\Wine\\AppDefaults\\vornakdsn.exe";

void SetWindowsVersion(const char* version)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kVersionKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    if (version)
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       lstrlenA(version) + 1);
    else
        RegDeleteValueA(key, "Version");
    RegCloseKey(key);
}

}  // namespace

ToolRun RunTool(const std::string& directory, const std::string& arguments, Station station,
                const char* windowsVersion)
{
    ToolRun run;
    const std::string program = directory + "\\vornakdsn.exe";
    const std::string outputPath = directory + "\\stdout.txt";
    const std::string errorsPath = directory + "\\stderr.txt";
    std::wstring commandLine =
        Wide("\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments));

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktop;
    if (station == Station::Unseen) {
        const char* name = UnseenDesktop();
        if (!name)
            return run;
        desktop = Wide(name);
        startup.lpDesktop = &desktop[0];
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = Inheritable(outputPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = station == Station::Console
                            ? NewConsole()
                            : Inheritable(errorsPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process = {};
    SetWindowsVersion(windowsVersion);
    const bool sessionZero = station == Station::SessionZero;
    BOOL started = CreateProcessW(NULL, &commandLine[0], NULL, NULL, TRUE,
                                  sessionZero ? CREATE_SUSPENDED : 0, NULL,
                                  Wide(directory).c_str(), &startup, &process);
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    if (!started) {
        CloseHandle(startup.hStdError);
        SetWindowsVersion(NULL);
        return run;
    }
    if (sessionZero && !MoveToSessionZero(process.hProcess))
        TerminateProcess(process.hProcess, 255);
    ResumeThread(process.hThread);

    const DWORD deadline = GetTickCount() + kRunLimitMs;
    for (;;) {
        DWORD wait = WaitForSingleObject(process.hProcess, 20);
        BoxSearch search = {process.dwProcessId, NULL};
        EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.box) {
            run.boxes.push_back(Read(search.box));
            PressOk(search.box);
            continue;
        }
        if (wait == WAIT_OBJECT_0) {
            run.finished = true;
            break;
        }
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
            TerminateProcess(process.hProcess, 255);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    SetWindowsVersion(NULL);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.output = ReadBytes(outputPath);
    run.errors = station == Station::Console ? ConsoleText(startup.hStdError) : ReadBytes(errorsPath);
    CloseHandle(startup.hStdError);
    return run;
}
