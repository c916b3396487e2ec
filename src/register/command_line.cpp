#include "command_line.h"

#include <string.h>
#include <wchar.h>

#include "wide.h"

namespace {

static_assert(kMaxDatabasePathLength == 4024, "the sentence below names the limit");

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
        return "the database path is longer than 4024 bytes";
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
