// What a run must show, checked the same way by every table.
#ifndef VORNAKDSN_TESTS_EXPECTATIONS_H
#define VORNAKDSN_TESTS_EXPECTATIONS_H

#include <string>
#include <vector>

#include "test_machine.h"
#include "tool_run.h"

extern const char kCaption[];
extern const char kMissingLibraryText[];

// The run ended by itself with status 0, printing nothing.
void ExpectQuietSuccess(const ToolRun& run);

// Both requests, remove then add for databasePath, reached the copy at keptPath, which held
// one reference throughout; the copy at otherPath, if it was ever loaded, was released before
// the first request.
void ExpectRequestsThrough(const std::vector<StandinEvent>& events, const std::string& keptPath,
                           const std::string& otherPath, const std::string& databasePath);

// The box the program shows about its installer: caption, text, one OK button, an icon.
void ExpectInstallerBoxes(const ToolRun& run, const std::string& text, size_t count);

#endif
