// The machine the program runs on in these tests: its system directory, the installer copies
// placed there and beside the program, and what the stand-ins recorded.
#ifndef VORNAKDSN_TESTS_TEST_MACHINE_H
#define VORNAKDSN_TESTS_TEST_MACHINE_H

#include <windows.h>

#include <string>
#include <vector>

enum class Standin {
    None,
    Versioned,
    Unversioned,
    Refusing,             // refuses to add, and says why at length
    RefusingUnexplained,  // refuses to add, and has no SQLInstallerError
    RefusingRemoval,      // refuses to remove only
    NoEntryPoint,
    EmptyFile
};

// One copy of odbccp32.dll as a case wants it.
struct CopySpec {
    Standin standin = Standin::None;
    DWORD versionMS = 0;  // the file version written into a versioned stand-in
    DWORD versionLS = 0;
    DWORD size = 0;  // padded with zero bytes to this size; 0 keeps the built size
    // The version resource declares a root block of no bytes: a malformed resource.
    bool emptyRootBlock = false;
};

CopySpec Absent();
CopySpec Versioned(DWORD versionMS, DWORD versionLS = 0, DWORD size = 0);
CopySpec Unversioned(DWORD size = 0);
CopySpec Other(Standin standin);

// What a stand-in recorded; see the stand-in's source for the line format.
struct StandinEvent {
    std::string kind;  // attach, unload, exit or call
    unsigned references = 0;
    unsigned long owner = 0;
    unsigned request = 0;
    std::string driver;
    std::string attributes;  // the list, closing NUL included
    std::string path;        // the stand-in's own file
};

// systemDirectoryOnDisk is where the program's system directory really lies: under WoW64
// the 32-bit one (syswow64), which the program nonetheless knows as system32.
void SetBuildPaths(const std::string& program, const std::string& standinFolder,
                   const std::string& systemDirectoryOnDisk);
// The system copy as the program names it, in messages and in what the stand-ins record.
std::string SystemCopyPath();
// The system copy and the quarantine file where the test puts and finds them: found through
// the folder on disk, not through the test's own system directory, so that a program that
// looked in another system directory than its own would miss them.
std::string SystemCopyOnDisk();
std::string QuarantineOnDisk();

// A fresh folder holding the program, with no installer copy anywhere yet and the
// stand-ins' log starting empty. Returns the folder.
std::string PrepareCase(const std::string& name);
// vornakDsnStore in the registry as the Access driver leaves one, pointing at C:\Data\old.mdb:
// some values numbers, its engine's settings in its subkey Engines\Jet; where unreadable, that
// subkey lets no one read it. False when it cannot be written. PrepareCase removes it.
bool PlaceOldDataSource(bool unreadable);
// The registry holds that data source as it was placed.
bool OldDataSourceIsThere();

// Writes the copy to path; an absent copy writes nothing.
bool PlaceCopy(const CopySpec& copy, const std::string& path);
std::vector<StandinEvent> ReadStandinLog(const std::string& caseFolder);

bool SamePath(const std::string& a, const std::string& b);

#endif
