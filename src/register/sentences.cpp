#include "sentences.h"

#include "console.h"

namespace {

// The longest line: two values shown whole, a path and the words around them.
const int kLineLimit = 12 * 1024;

}  // namespace

bool AppendSentence(WCHAR* buffer, int size, DWORD textId, const WCHAR* const* strings)
{
    int end = lstrlenW(buffer);
    // What the installer said may end without a full stop; the next sentence needs one before it.
    bool stop = end && buffer[end - 1] != L'.';
    int start = end ? end + 1 + stop : 0;
    if (start >= size)
        return false;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  NULL, textId, 0, buffer + start, size - start,
                                  reinterpret_cast<va_list*>(const_cast<WCHAR**>(strings)));
    if (length == 0)
        return false;
    if (stop)
        buffer[end++] = L'.';
    if (end)
        buffer[end] = L' ';
    return true;
}

bool WriteSentence(DWORD stream, DWORD textId, const WCHAR* const* strings)
{
    static WCHAR line[kLineLimit];
    line[0] = L'\0';
    if (!AppendSentence(line, kLineLimit, textId, strings))
        return false;
    if (stream == STD_ERROR_HANDLE)
        WriteError(line);
    else
        WriteLine(stream, line);
    return true;
}

const WCHAR* Shown(const WCHAR* text, WCHAR (&room)[kShownLimit + 4])
{
    if (lstrlenW(text) <= kShownLimit)
        return text;
    CopyMemory(room, text, kShownLimit * sizeof(WCHAR));
    lstrcpyW(room + kShownLimit, L"...");
    return room;
}
