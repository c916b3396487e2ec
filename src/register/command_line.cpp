#include "command_line.h"

#include <string.h>
#include <wchar.h>

#include "wide.h"

namespace {

const char kQuoteInPath[] =
    "the database path holds a quote (\"), which no Windows path can; a backslash before a "
    "closing quote escapes it, so end a quoted folder path with two: \"C:\\Data\\\\\"";

bool IsBlank(WCHAR c)
{
    return c == L' ' || c == L'\t';
}

// A quoted program name ends at the next quote, whatever stands between; an unquoted one
// at the first blank.
const WCHAR* SkipProgramName(const WCHAR* at)
{
    if (*at != L'"') {
        while (*at && !IsBlank(*at))
            at++;
        return at;
    }
    at++;
    while (*at && *at != L'"')
        at++;
    return *at ? at + 1 : at;
}

// True when the ANSI text converts back to exactly the wide text.
bool ConvertsBackExactly(const char* ansi, const WCHAR* wide)
{
    WCHAR* back = Widen(ansi);
    if (!back)
        return false;
    bool same = wcscmp(back, wide) == 0;
    LocalFree(back);
    return same;
}

// Copies the argument at at into argument, where argument is not null; the position after it,
// or null when it does not fit.
const WCHAR* NextArgument(const WCHAR* at, WCHAR* argument, size_t limit)
{
    size_t length = 0;
    bool quoted = false;
    if (!argument)
        limit = static_cast<size_t>(-1);
    for (;;) {
        // 2n backslashes before a quote stand for n and leave the quote its meaning; 2n+1
        // stand for n and a literal quote. Elsewhere a backslash is itself.
        size_t backslashes = 0;
        while (*at == L'\\') {
            at++;
            backslashes++;
        }
        bool literal = true;
        if (*at == L'"') {
            if (backslashes % 2 == 0) {
                // Two quotes inside quotes stand for one.
                if (quoted && at[1] == L'"')
                    at++;
                else
                    literal = false;
                quoted = !quoted;
            }
            backslashes /= 2;
        }
        if (backslashes > limit - 1 - length)
            return NULL;
        for (; backslashes; backslashes--, length++) {
            if (argument)
                argument[length] = L'\\';
        }
        if (!*at || (!quoted && IsBlank(*at)))
            break;
        if (literal) {
            if (length == limit - 1)
                return NULL;
            if (argument)
                argument[length] = *at;
            length++;
        }
        at++;
    }
    if (argument)
        argument[length] = L'\0';
    return at;
}

}  // namespace

bool CopyArgument(const WCHAR* commandLine, int index, WCHAR* argument, size_t limit)
{
    const WCHAR* at = SkipProgramName(commandLine);
    for (int i = 1; limit && at; i++) {
        while (IsBlank(*at))
            at++;
        if (!*at)
            return false;
        // The arguments before it are only passed over.
        at = NextArgument(at, i == index ? argument : NULL, limit);
        if (i == index)
            return at != NULL;
    }
    return false;
}

char** SplitCommandLine(int* argc)
{
    const WCHAR* commandLine = GetCommandLineW();
    const WCHAR* arguments = SkipProgramName(commandLine);
    // Each argument takes at least one character, or two for an empty one ("") and the blank
    // after it, and each character at most three bytes (UTF-8); every part has its NUL.
    const size_t length = lstrlenW(commandLine);
    const size_t pointers = length + 2;
    const size_t bytes = pointers * sizeof(char*) + (length + 1) * sizeof(WCHAR) +
                         3 * length + pointers;
    char** argv = static_cast<char**>(LocalAlloc(LMEM_FIXED, bytes));
    if (!argv)
        return NULL;
    WCHAR* wide = reinterpret_cast<WCHAR*>(argv + pointers);
    char* next = reinterpret_cast<char*>(wide + length + 1);
    char* const end = reinterpret_cast<char*>(argv) + bytes;
    // The program's name as it stands, its quotes taken away.
    size_t nameLength = 0;
    for (const WCHAR* at = commandLine; at < arguments; at++) {
        if (*at != L'"')
            wide[nameLength++] = *at;
    }
    wide[nameLength] = L'\0';
    int count = 0;
    for (const WCHAR* at = arguments; at;) {
        const int written = WideCharToMultiByte(CP_ACP, 0, wide, -1, next,
                                                static_cast<int>(end - next), NULL, NULL);
        if (!written)
            *next = '\0';
        argv[count++] = next;
        next += written ? written : 1;
        while (IsBlank(*at))
            at++;
        // No argument is longer than the line it stands in.
        at = *at ? NextArgument(at, wide, length + 1) : NULL;
    }
    argv[count] = NULL;
    *argc = count;
    return argv;
}

bool ArgumentArrivedExactly(const char* argument, int index)
{
    // The ordinary case: the whole command line survived, so every argument did.
    const WCHAR* commandLine = GetCommandLineW();
    if (ConvertsBackExactly(GetCommandLineA(), commandLine))
        return true;

    // Only the path matters: the program's folder or an ignored argument may hold what the
    // code page lacks. An exact path has no more characters than bytes, so a longer one
    // cannot have arrived exactly.
    WCHAR given[kMaxDatabasePathLength + 1];
    return CopyArgument(commandLine, index, given, kMaxDatabasePathLength + 1) &&
           ConvertsBackExactly(argument, given);
}

const char* RefuseDatabasePath(const char* path, int index, char (&room)[kRefusalRoom])
{
    if (path[0] == '\0')
        return "the database path is empty";
    if (strlen(path) > kMaxDatabasePathLength)
        return "the database path is longer than " VORNAKDSN_MAX_DATABASE_PATH_TEXT " bytes";
    // No Windows path holds a quote: one here means that the command line's rules took a
    // backslash before a closing quote for an escape. No code page has a quote as the second
    // byte of a character, so a byte search is exact.
    if (strchr(path, '"'))
        return kQuoteInPath;
    if (ArgumentArrivedExactly(path, index))
        return NULL;
    wsprintfA(room, "the database path has characters that code page %u cannot hold", GetACP());
    return room;
}

void WidenPath(const char* path, WidePath& wide)
{
    // A path of n bytes holds at most n characters.
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, sizeof wide / sizeof *wide);
}
