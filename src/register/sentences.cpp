#include "sentences.h"

#include "console.h"

namespace {

// The longest line: two values shown whole, a path and the words around them.
const int kLineLimit = 12 * 1024;

}  // namespace

bool AppendSentence(char* buffer, int size, DWORD textId, const char* const* strings)
{
    int end = lstrlenA(buffer);
    // What the installer said may end without a full stop; the next sentence needs one before it.
    bool stop = end && buffer[end - 1] != '.';
    int start = end ? end + 1 + stop : 0;
    if (start >= size)
        return false;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  NULL, textId, 0, buffer + start, size - start,
                                  reinterpret_cast<va_list*>(const_cast<char**>(strings)));
    if (length == 0)
        return false;
    if (stop)
        buffer[end++] = '.';
    if (end)
        buffer[end] = ' ';
    return true;
}

bool WriteSentence(DWORD stream, const char* prefix, DWORD textId, const char* const* strings)
{
    static char line[kLineLimit];
    lstrcpynA(line, prefix, kLineLimit);
    // The sentence starts a text of its own after the prefix, not a second sentence after it.
    char* sentence = line + lstrlenA(line);
    sentence[0] = '\0';
    if (!AppendSentence(sentence, kLineLimit - 2 - (sentence - line), textId, strings))
        return false;
    lstrcatA(line, "\r\n");
    WriteText(stream, line);
    return true;
}

const char* Shown(const char* text, char (&room)[kShownLimit + 4])
{
    if (lstrlenA(text) <= kShownLimit)
        return text;
    CopyMemory(room, text, kShownLimit);
    lstrcpyA(room + kShownLimit, "...");
    return room;
}
