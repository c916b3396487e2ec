#include "outcome.h"

#include <wchar.h>

#include "console.h"
#include "event_log.h"
#include "events.h"
#include "sentences.h"
#include "turn.h"

namespace {

// The longest sentence: two paths of up to kMaxDatabasePathLength characters, or a path and
// what the user or the installer was told (under 1024), and the words around them.
const int kSentenceLimit = 12 * 1024;

WCHAR g_szSentence[kSentenceLimit];

bool Append(DWORD textId, const WCHAR* const* strings)
{
    return AppendSentence(g_szSentence, kSentenceLimit, textId, strings);
}

// The sentence goes onto standard error, for a failure the user was not told of yet, and into
// an event.
void Tell(const AdvancedServices* services, WORD type, DWORD eventId, bool inEventLog,
          bool toStandardError)
{
    if (toStandardError)
        WriteError(g_szSentence);
    if (inEventLog)
        WriteEvent(services, type, eventId, g_szSentence);
}

// What the data source was before a run that wrote it: none, a path and whether anything
// else differed from what the run wrote.
void AppendBefore(const DataSourceReading* before, const WCHAR* databasePath)
{
    if (!before) {
        Append(TEXT_BEFORE_UNREAD, NULL);
        return;
    }
    static DataSourceDifference differences[kMaxDifferences];
    int count = CompareDataSource(*before, databasePath, differences);
    if (count == 1 && differences[0].kind == kDataSourceMissing) {
        Append(TEXT_BEFORE_NONE, NULL);
        return;
    }
    int others = 0;
    for (int i = 0; i < count; i++)
        others += !differences[i].name || lstrcmpiW(differences[i].name, kPathValueName) != 0;
    const WCHAR* path = FindText(*before, kPathValueName);
    WCHAR room[kShownLimit + 4];
    const WCHAR* shown = path ? Shown(path, room) : NULL;
    if (!path)
        Append(TEXT_BEFORE_NO_PATH, NULL);
    else if (wcscmp(path, databasePath) == 0)
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
    ExitStatus status;
};

const AnswerTelling kAnswerTellings[] = {
    {MSG_DATA_SOURCE_WRITTEN, TEXT_DATA_SOURCE_WRITTEN, EVENTLOG_INFORMATION_TYPE, false,
     kSucceeded},
    {MSG_INSTALLER_UNREACHABLE, TEXT_INSTALLER_UNREACHABLE, EVENTLOG_ERROR_TYPE, false,
     kInstallerUnreachable},
    {MSG_INSTALLER_REFUSED, TEXT_INSTALLER_REFUSED, EVENTLOG_ERROR_TYPE, true, kInstallerRefused},
    {MSG_INSTALLER_REFUSED_WITHOUT_REASON, TEXT_INSTALLER_REFUSED_WITHOUT_REASON,
     EVENTLOG_ERROR_TYPE, true, kInstallerRefused},
    {MSG_INSTALLER_REFUSED_UNEXPLAINED, TEXT_INSTALLER_REFUSED_UNEXPLAINED, EVENTLOG_ERROR_TYPE,
     true, kInstallerRefused},
};
static_assert(sizeof kAnswerTellings / sizeof *kAnswerTellings == kInstallerAnswerKinds,
              "one telling for each kind of answer");

// What is said of the data source that was there before a refused add, in the order of PutBack.
const DWORD kPutBackTexts[] = {0, TEXT_PUT_BACK, TEXT_NOT_PUT_BACK, TEXT_PARTLY_PUT_BACK,
                                TEXT_LEFT_BEHIND, TEXT_UNREAD_BEFORE_REMOVAL};
static_assert(sizeof kPutBackTexts / sizeof *kPutBackTexts == kPutBackKinds,
              "one sentence for each end of the data source before");

}  // namespace

int ReportRefusedPath(const AdvancedServices* services, const char* sentence, bool inEventLog)
{
    MultiByteToWideChar(CP_ACP, 0, sentence, -1, g_szSentence, kSentenceLimit);
    Tell(services, EVENTLOG_ERROR_TYPE, MSG_PATH_REFUSED, inEventLog, true);
    return kPathRefused;
}

int ReportNotItsTurn(const AdvancedServices* services)
{
    WCHAR seconds[12];
    wsprintfW(seconds, L"%lu", kTurnWaitSeconds);
    const WCHAR* strings[] = {seconds};
    g_szSentence[0] = L'\0';
    Append(TEXT_NOT_ITS_TURN, strings);
    Tell(services, EVENTLOG_ERROR_TYPE, MSG_NOT_ITS_TURN, true, true);
    return kNotItsTurn;
}

int ReportAddOutcome(const AdvancedServices* services, const InstallerAnswer& answer,
                     const WCHAR* databasePath, const DataSourceReading* before, PutBack putBack)
{
    const AnswerTelling& telling = kAnswerTellings[answer.kind];
    WCHAR code[12];
    wsprintfW(code, L"%lu", answer.code);
    WCHAR said[kAnswerTextSize];
    MultiByteToWideChar(CP_ACP, 0, answer.text, -1, said, kAnswerTextSize);
    // %2 is the installer's code where it gave one, else what the user was told.
    const WCHAR* strings[] = {databasePath, answer.kind == kRefusedWithError ? code : said, said};
    g_szSentence[0] = L'\0';
    if (!Append(telling.textId, strings))
        return telling.status;
    if (answer.kind == kAccepted)
        AppendBefore(before, databasePath);
    if (putBack != kNothingToPutBack)
        Append(kPutBackTexts[putBack], NULL);
    Tell(services, telling.type, telling.eventId, true, telling.toStandardError);
    return telling.status;
}
