#include "expectations.h"

#include <gtest/gtest.h>

#include "expected_lists.h"

const char kCaption[] = "ODBC Installer Error";
const char kMissingLibraryText[] =
    "The ODBC installer DLL (ODBCCP32.DLL) is not installed on this system.";

namespace {

const char kDriver[] = "Microsoft Access Driver (*.mdb)";

size_t IndexOf(const std::vector<StandinEvent>& events, const std::string& kind,
               const std::string& path)
{
    for (size_t i = 0; i < events.size(); i++) {
        if (events[i].kind == kind && (path.empty() || SamePath(events[i].path, path)))
            return i;
    }
    return events.size();
}

}  // namespace

void ExpectQuietSuccess(const ToolRun& run)
{
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "");
}

void ExpectRequestsThrough(const std::vector<StandinEvent>& events, const std::string& keptPath,
                           const std::string& otherPath, const std::string& databasePath)
{
    std::vector<StandinEvent> calls;
    for (const StandinEvent& event : events) {
        if (event.kind == "call")
            calls.push_back(event);
    }
    ASSERT_EQ(calls.size(), 2u);
    const std::string lists[] = {ExpectedRemoveList(), ExpectedAddList(databasePath)};
    const unsigned requests[] = {6, 4};
    for (size_t i = 0; i < 2; i++) {
        SCOPED_TRACE(i == 0 ? "remove request" : "add request");
        EXPECT_TRUE(SamePath(calls[i].path, keptPath)) << calls[i].path;
        EXPECT_EQ(calls[i].references, 1u);
        EXPECT_EQ(calls[i].owner, 0u);
        EXPECT_EQ(calls[i].request, requests[i]);
        EXPECT_EQ(calls[i].driver, kDriver);
        EXPECT_EQ(calls[i].attributes, lists[i]);
    }

    const size_t firstCall = IndexOf(events, "call", "");
    if (IndexOf(events, "attach", otherPath) < events.size()) {
        EXPECT_LT(IndexOf(events, "unload", otherPath), firstCall) << otherPath << " still held";
    }
    const size_t exit = IndexOf(events, "exit", keptPath);
    ASSERT_LT(exit, events.size());
    EXPECT_EQ(events[exit].references, 1u);
}

void ExpectInstallerBoxes(const ToolRun& run, const std::string& text, size_t count)
{
    ASSERT_EQ(run.boxes.size(), count);
    for (const SeenBox& box : run.boxes) {
        EXPECT_EQ(box.caption, kCaption);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.buttons, 1);
        EXPECT_TRUE(box.okButton);
        EXPECT_TRUE(box.icon);
    }
}
