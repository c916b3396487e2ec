#include "outcome.h"

#include <string.h>

#include "attribute_list.h"
#include "console.h"
#include "event_log.h"
#include "events.h"
#include "sentences.h"

namespace {

const char kPrefix[] = "vornakdsn: ";
const int kPrefixLength = sizeof kPrefix - 1;
const char kLineEnd[] = "\r\n";

// The longest sentence: two paths of up to 4024 bytes or a path and what the user or the
// installer was told (under 1024), and the words around them.
const int kSentenceLimit = 12 * 1024;

// A sentence as standard error has it: the prefix, the sentence, its line end.
char g_szLine[kPrefixLength + kSentenceLimit + sizeof kLineEnd];

char* const g_pszSentence = g_szLine + kPrefixLength;

bool Append(DWORD textId, const char* const* strings)
{
    return AppendSentence(g_pszSentence, kSentenceLimit, textId, strings);
}

// The sentence in g_szLine goes into an event, and, for a failure the user was not told of
// yet, onto standard error.
void Tell(WORD type, DWORD eventId, bool inEventLog, bool toStandardError)
{
    if (inEventLog)
        WriteEvent(type, eventId, g_pszSentence);
    if (!toStandardError)
        return;
    CopyMemory(g_szLine, kPrefix, kPrefixLength);
    lstrcatA(g_szLine, kLineEnd);
    WriteText(STD_ERROR_HANDLE, g_szLine);
}

// What the data source was before a run that wrote it: none, a path and whether anything
// else differed from what the run wrote.
void AppendBefore(const DataSourceReading* before, const char* databasePath)
{
    if (!before) {
        Append(TEXT_BEFORE_UNREAD, NULL);
        return;
    }
    DataSourceDifference differences[kMaxDifferences];
    int count = CompareDataSource(*before, databasePath, differences);
    if (count == 1 && differences[0].kind == kDataSourceMissing) {
        Append(TEXT_BEFORE_NONE, NULL);
        return;
    }
    int others = 0;
    for (int i = 0; i < count; i++) {
        if (!differences[i].name || lstrcmpiA(differences[i].name, kPathKeyword) != 0)
            others++;
    }
    const char* path = FindValue(*before, kPathKeyword);
    char room[kShownLimit + 4];
    const char* shown = path ? Shown(path, room) : NULL;
    if (!path)
        Append(TEXT_BEFORE_NO_PATH, NULL);
    else if (strcmp(path, databasePath) == 0)
        Append(TEXT_BEFORE_SAME_PATH, NULL);
    else
        Append(TEXT_BEFORE_OTHER_PATH, &shown);
    Append(others ? TEXT_BEFORE_OTHER_SETTINGS : TEXT_BEFORE_NOTHING_ELSE, NULL);
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

int ReportRefusedPath(const char* sentence, bool inEventLog)
{
    lstrcpynA(g_pszSentence, sentence, kSentenceLimit);
    Tell(EVENTLOG_ERROR_TYPE, MSG_PATH_REFUSED, inEventLog, true);
    return kPathRefused;
}

int ReportAddOutcome(const InstallerAnswer& answer, const char* databasePath,
                     const DataSourceReading* before, PutBack putBack)
{
    const AnswerTelling& telling = kAnswerTellings[answer.kind];
    char codeText[16];
    wsprintfA(codeText, "%lu", answer.code);
    // %2 is the installer's code where it gave one, else what the user was told.
    const char* strings[] = {databasePath,
                             answer.kind == kRefusedWithError ? codeText : answer.text,
                             answer.text};
    g_pszSentence[0] = '\0';
    if (!Append(telling.textId, strings))
        return telling.status;
    if (answer.kind == kAccepted)
        AppendBefore(before, databasePath);
    if (putBack != kNothingToPutBack)
        Append(putBack == kPutBack ? TEXT_PUT_BACK : TEXT_NOT_PUT_BACK, NULL);
    Tell(telling.type, telling.eventId, true, telling.toStandardError);
    return telling.status;
}
