/* A stand-in for the ODBC installer library. It keeps no C runtime, so that it stays a few KB
   and can be padded to any size, and appends one line per event to the file that the
   environment variable STANDIN_LOG names:
     attach <references> <own path>
     unload <references> <own path>     (FreeLibrary)
     exit   <references> <own path>     (process end)
     call   <references> <owner window> <request> <driver in hex>
            <attribute list in hex, closing NUL included> <own path>
   References are the loader's count for the module, as the loader's own list shows it.
   It refuses the request whose code STANDIN_REFUSES gives (none when 0), and with
   STANDIN_EXPLAINS it has an SQLInstallerError that explains a refusal at length. */
#include <windows.h>
#include <sql.h>

static HMODULE self;
static char line[3 * 4096 + 4 * MAX_PATH];
static unsigned used;

static void Add(const char* text)
{
    while (*text && used < sizeof line - 2)
        line[used++] = *text++;
}

static void AddNumber(unsigned long value)
{
    char text[12];
    int at = sizeof text - 1;
    text[at] = '\0';
    do {
        text[--at] = (char)('0' + value % 10);
        value /= 10;
    } while (value && at > 0);
    Add(text + at);
    Add(" ");
}

/* Loader entries, as Windows NT and Wine lay them out for 32-bit processes: the list head in
   the loader data at PEB+0x0C+0x0C, each entry's DllBase at 0x18 and LoadCount at 0x38. */
static unsigned ReferencesTo(HMODULE module)
{
    char* peb;
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
    LIST_ENTRY* head = (LIST_ENTRY*)(*(char**)(peb + 0x0C) + 0x0C);
    for (LIST_ENTRY* entry = head->Flink; entry != head; entry = entry->Flink) {
        if (*(HMODULE*)((char*)entry + 0x18) == module)
            return *(unsigned short*)((char*)entry + 0x38);
    }
    return 0;
}

static void Begin(const char* event)
{
    used = 0;
    Add(event);
    Add(" ");
    AddNumber(ReferencesTo(self));
}

static void End(void)
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    path[length < MAX_PATH ? length : MAX_PATH] = '\0';
    Add(path);
    line[used++] = '\n';

    char logPath[MAX_PATH + 1];
    length = GetEnvironmentVariableA("STANDIN_LOG", logPath, sizeof logPath);
    if (length == 0 || length >= sizeof logPath)
        return;
    HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(log, line, used, &written, NULL);
    CloseHandle(log);
}

#ifndef STANDIN_WITHOUT_ENTRY_POINT
static void AddHex(const unsigned char* bytes, unsigned count)
{
    static const char digits[] = "0123456789abcdef";
    for (unsigned i = 0; i < count && used < sizeof line - 3; i++) {
        line[used++] = digits[bytes[i] >> 4];
        line[used++] = digits[bytes[i] & 15];
    }
}

static unsigned ListLength(const char* list)
{
    const char* at = list;
    while (*at) {
        while (*at)
            at++;
        at++;
    }
    return (unsigned)(at + 1 - list);
}

static unsigned TextLength(const char* text)
{
    unsigned length = 0;
    while (text[length])
        length++;
    return length;
}

__declspec(dllexport) BOOL WINAPI SQLConfigDataSource(HWND owner, WORD request, LPCSTR driver,
                                                      LPCSTR attributes)
{
    Begin("call");
    AddNumber((unsigned long)(ULONG_PTR)owner);
    AddNumber(request);
    AddHex((const unsigned char*)driver, TextLength(driver));
    Add(" ");
    AddHex((const unsigned char*)attributes, ListLength(attributes));
    Add(" ");
    End();
    return request != STANDIN_REFUSES;
}
#endif

#ifdef STANDIN_EXPLAINS
/* Longer than any installer's message may be, with line ends and a tab in it: the first
   error, for whatever error is asked for. Cut to the room given, as an installer does. */
__declspec(dllexport) SQLRETURN WINAPI SQLInstallerError(WORD error, DWORD* code, LPSTR message,
                                                         WORD room, WORD* length)
{
    static const char start[] = "The stand-in refuses.\r\nSee\tbelow: ";
    const WORD full = 600;
    (void)error;
    *code = 11;
    *length = full;
    if (room == 0)
        return SQL_SUCCESS_WITH_INFO;
    WORD at = 0;
    for (; at < room - 1 && at < full; at++)
        message[at] = at < sizeof start - 1 ? start[at] : 'x';
    message[at] = '\0';
    return room > full ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        Begin("attach");
        End();
    } else if (reason == DLL_PROCESS_DETACH) {
        Begin(reserved ? "exit" : "unload");
        End();
    }
    return TRUE;
}
