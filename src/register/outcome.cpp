#include "outcome.h"

#include "event_log.h"
#include "installer.h"
#include "events.h"

namespace {

const char kPrefix[] = "vornakdsn: ";
const DWORD kPrefixLength = sizeof kPrefix - 1;

// The longest sentence: the path (at most 4024 bytes), the installer's message (at most 511)
// and the words around them, with the line end.
const DWORD kSentenceLimit = 5 * 1024;

// An installer's message may hold line ends and other control characters; the line it goes
// into, and the event, must stay one line.
void KeepOnOneLine(char* text)
{
    for (; *text; text++) {
        if (static_cast<unsigned char>(*text) < ' ')
            *text = ' ';
    }
}

// The same sentence as the event, from the program's message table, which ends it with a line
// end. FormatMessage never writes past the size it is given; a sentence too long for it is
// not written at all.
void WriteSentence(DWORD eventId, const char* const* strings)
{
    static char line[kPrefixLength + kSentenceLimit];
    CopyMemory(line, kPrefix, kPrefixLength);
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  NULL, eventId, 0, line + kPrefixLength, kSentenceLimit,
                                  reinterpret_cast<va_list*>(const_cast<char**>(strings)));
    if (length == 0)
        return;
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, kPrefixLength + length, &written, NULL);
}

int ReportRefusal(const char* databasePath)
{
    DWORD code;
    char message[kInstallerMessageSize];
    InstallerErrorAnswer answer = QueryInstallerError(&code, message);
    KeepOnOneLine(message);
    char codeText[16];
    wsprintfA(codeText, "%lu", code);
    const char* strings[] = {databasePath, codeText, message};

    DWORD eventId = MSG_INSTALLER_REFUSED;
    WORD count = 3;
    if (answer != kError) {
        eventId = answer == kNoError ? MSG_INSTALLER_REFUSED_WITHOUT_REASON
                                     : MSG_INSTALLER_REFUSED_UNEXPLAINED;
        count = 1;
    }
    WriteSentence(eventId, strings);
    WriteEvent(EVENTLOG_ERROR_TYPE, eventId, strings, count);
    return kInstallerRefused;
}

}  // namespace

int ReportAddOutcome(BOOL added, const char* databasePath)
{
    if (added) {
        WriteEvent(EVENTLOG_INFORMATION_TYPE, MSG_DATA_SOURCE_WRITTEN, &databasePath, 1);
        return kDataSourceWritten;
    }
    // The user was told already, in a box or on standard error; the event keeps it.
    const char* report = InstallerUnreachableReport();
    if (report) {
        const char* strings[] = {databasePath, report};
        WriteEvent(EVENTLOG_ERROR_TYPE, MSG_INSTALLER_UNREACHABLE, strings, 2);
        return kInstallerUnreachable;
    }
    return ReportRefusal(databasePath);
}
