#include "outcome.h"

#include "console.h"
#include "event_log.h"
#include "events.h"

namespace {

const char kPrefix[] = "vornakdsn: ";
const int kPrefixLength = sizeof kPrefix - 1;
const char kLineEnd[] = "\r\n";

// The longest sentence: the path (at most 4024 bytes), what the user or the installer was told
// (under 1024) and the words around them.
const int kSentenceLimit = 6 * 1024;

// A sentence as standard error has it: the prefix, the sentence, its line end.
char g_szLine[kPrefixLength + kSentenceLimit + sizeof kLineEnd];

char* const g_pszSentence = g_szLine + kPrefixLength;

// Puts the program's sentence textId, with strings put in for %1, %2, ..., into g_szLine.
// FormatMessage never writes past the size it is given; a sentence too long for it is not
// written at all.
bool ComposeSentence(DWORD textId, const char* const* strings)
{
    return FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, NULL,
                          textId, 0, g_pszSentence, kSentenceLimit,
                          reinterpret_cast<va_list*>(const_cast<char**>(strings))) != 0;
}

// The sentence in g_szLine goes into an event, and, for a failure the user was not told of
// yet, onto standard error.
void Tell(WORD type, DWORD eventId, bool toStandardError)
{
    WriteEvent(type, eventId, g_pszSentence);
    if (!toStandardError)
        return;
    CopyMemory(g_szLine, kPrefix, kPrefixLength);
    lstrcatA(g_szLine, kLineEnd);
    WriteText(STD_ERROR_HANDLE, g_szLine);
}

// How each answer to the add request is told, in the order of InstallerAnswerKind.
struct AnswerTelling {
    DWORD eventId;
    DWORD textId;
    WORD type;
    bool toStandardError;  // else the user was told already, in a box or on standard error
    int status;
};

const AnswerTelling kAnswerTellings[] = {
    {MSG_DATA_SOURCE_WRITTEN, TEXT_DATA_SOURCE_WRITTEN, EVENTLOG_INFORMATION_TYPE, false,
     kDataSourceWritten},
    {MSG_INSTALLER_UNREACHABLE, TEXT_INSTALLER_UNREACHABLE, EVENTLOG_ERROR_TYPE, false,
     kInstallerUnreachable},
    {MSG_INSTALLER_REFUSED, TEXT_INSTALLER_REFUSED, EVENTLOG_ERROR_TYPE, true, kInstallerRefused},
    {MSG_INSTALLER_REFUSED_WITHOUT_REASON, TEXT_INSTALLER_REFUSED_WITHOUT_REASON,
     EVENTLOG_ERROR_TYPE, true, kInstallerRefused},
    {MSG_INSTALLER_REFUSED_UNEXPLAINED, TEXT_INSTALLER_REFUSED_UNEXPLAINED, EVENTLOG_ERROR_TYPE,
     true, kInstallerRefused},
};

}  // namespace

int ReportRefusedPath(const char* sentence)
{
    lstrcpynA(g_pszSentence, sentence, kSentenceLimit);
    Tell(EVENTLOG_ERROR_TYPE, MSG_PATH_REFUSED, true);
    return kPathRefused;
}

int ReportAddOutcome(const InstallerAnswer& answer, const char* databasePath)
{
    const AnswerTelling& telling = kAnswerTellings[answer.kind];
    char codeText[16];
    wsprintfA(codeText, "%lu", answer.code);
    // %2 is the installer's code where it gave one, else what the user was told.
    const char* strings[] = {databasePath,
                             answer.kind == kRefusedWithError ? codeText : answer.text,
                             answer.text};
    if (ComposeSentence(telling.textId, strings))
        Tell(telling.type, telling.eventId, telling.toStandardError);
    return telling.status;
}
