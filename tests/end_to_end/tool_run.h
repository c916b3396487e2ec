// Runs the real program as an administrator would and answers its message boxes.
#ifndef VORNAKDSN_TESTS_TOOL_RUN_H
#define VORNAKDSN_TESTS_TOOL_RUN_H

#include <windows.h>

#include <string>
#include <vector>

struct SeenBox {
    std::string caption;
    std::string text;
    int buttons = 0;        // visible buttons
    bool okButton = false;  // one of them is OK
    bool icon = false;      // an icon stands beside the text
};

// How long a run may take before it counts as waiting for ever.
const unsigned kRunLimitSeconds = 180;

struct ToolRun {
    bool finished = false;  // ended by itself within kRunLimitSeconds
    DWORD exitCode = 0;
    std::vector<SeenBox> boxes;
    std::string output;  // standard output
    std::string errors;  // standard error
};

enum class Station {
    Visible,     // the desktop everyone sees, where someone answers each box
    Console,     // the same, with standard error on a console, which errors holds as UTF-8
    Unseen,      // a window station no one sees, as under a service or msiexec's custom action
    SessionZero  // the desktop of session 0, as under psexec -s -i 0 or an interactive service
};

// Starts directory\vornakdsn.exe with the given argument text (UTF-8, quoted as on a command
// line) in that directory, reads every message box it shows and presses its OK button, and
// waits for it to end. Where no one sees it, no box can be answered: a run that shows one there
// never ends, and is ended after kRunLimitSeconds. windowsVersion, as winecfg names it (winxp, vista, ...), is the Windows that
// the program is told it runs on; the prefix's own when null.
ToolRun RunTool(const std::string& directory, const std::string& arguments,
                Station station = Station::Visible, const char* windowsVersion = NULL);

#endif
