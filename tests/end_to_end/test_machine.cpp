#include "test_machine.h"

#include <cstring>
#include <sstream>

#include "files.h"

namespace {

std::string g_program;
std::string g_standinFolder;
std::string g_systemDirectoryOnDisk;

const char kCasesFolder[] = "C:\\vornakdsn-tests";
const char kDataSourceKey[] = "Software\\ODBC\\ODBC.INI\\vornakDsnStore";
const char kListingKey[] = "Software\\ODBC\\ODBC.INI\\ODBC Data Sources";

// A value of the old data source, below its key (or its subkey): a string, or a number where
// text is null.
struct OldValue {
    const char* subkey;
    const char* name;
    const char* text;
    DWORD number;
};

const OldValue kOldValues[] = {
    {"", "Driver", "C:\\Windows\\system32\\odbcjt32.dll", 0},
    {"", "DBQ", "C:\\Data\\old.mdb", 0},
    {"", "DriverId", NULL, 25},
    {"", "FIL", "MS Access;", 0},
    {"", "UID", "", 0},
    {"\\Engines\\Jet", "MaxBufferSize", NULL, 2048},
    {"\\Engines\\Jet", "PageTimeout", NULL, 5},
    {"\\Engines\\Jet", "Threads", NULL, 3},
};

bool SetValue(const std::string& keyName, const char* name, DWORD type, const void* data,
              DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    bool set = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) ==
               ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// Lets everyone do everything with the key (a null DACL), or no one anything (an empty one);
// its owner may still change that.
bool SetAccess(const std::string& keyName, bool open)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    ACL empty;
    SECURITY_DESCRIPTOR descriptor;
    bool set = InitializeAcl(&empty, sizeof empty, ACL_REVISION) &&
               InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&descriptor, TRUE, open ? NULL : &empty, FALSE) &&
               RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

void RemoveDataSource()
{
    SetAccess(std::string(kDataSourceKey) + "\\Engines", true);
    for (const char* subkey : {"\\Engines\\Jet", "\\Engines", ""})
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kDataSourceKey) + subkey).c_str());
    HKEY listing;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kListingKey, 0, KEY_SET_VALUE, &listing) !=
        ERROR_SUCCESS)
        return;
    RegDeleteValueA(listing, "vornakDsnStore");
    RegCloseKey(listing);
}

std::string SystemDirectory()
{
    char directory[MAX_PATH + 1] = {};
    GetSystemDirectoryA(directory, sizeof directory);
    return directory;
}

const char* BuiltFileName(Standin standin)
{
    switch (standin) {
    case Standin::Versioned:
        return "standin_versioned.dll";
    case Standin::Unversioned:
        return "standin_unversioned.dll";
    case Standin::Refusing:
        return "standin_refusing.dll";
    case Standin::RefusingUnexplained:
        return "standin_refusing_unexplained.dll";
    case Standin::RefusingRemoval:
        return "standin_refusing_removal.dll";
    case Standin::NoEntryPoint:
        return "standin_no_entry_point.dll";
    default:
        return NULL;
    }
}

void PutDword(std::string& bytes, size_t at, DWORD value)
{
    std::memcpy(&bytes[at], &value, sizeof value);
}

// The fixed file information follows the resource's 40-byte header, whose second word is
// the root block's declared length.
bool WriteVersion(std::string& bytes, const CopySpec& copy)
{
    const size_t signature = bytes.find(std::string("\xBD\x04\xEF\xFE", 4));
    if (signature == std::string::npos || signature < 40)
        return false;
    PutDword(bytes, signature + 8, copy.versionMS);
    PutDword(bytes, signature + 12, copy.versionLS);
    if (copy.emptyRootBlock) {
        bytes[signature - 38] = 0;
        bytes[signature - 37] = 0;
    }
    return true;
}

std::string Decode(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

}  // namespace

CopySpec Absent()
{
    return CopySpec();
}

CopySpec Versioned(DWORD versionMS, DWORD versionLS, DWORD size)
{
    CopySpec copy;
    copy.standin = Standin::Versioned;
    copy.versionMS = versionMS;
    copy.versionLS = versionLS;
    copy.size = size;
    return copy;
}

CopySpec Unversioned(DWORD size)
{
    CopySpec copy;
    copy.standin = Standin::Unversioned;
    copy.size = size;
    return copy;
}

CopySpec Other(Standin standin)
{
    CopySpec copy = Versioned(0x00010000);
    copy.standin = standin;
    return copy;
}

void SetBuildPaths(const std::string& program, const std::string& standinFolder,
                   const std::string& systemDirectoryOnDisk)
{
    g_program = program;
    g_standinFolder = standinFolder;
    g_systemDirectoryOnDisk = systemDirectoryOnDisk;
}

std::string SystemCopyPath()
{
    return SystemDirectory() + "\\odbccp32.dll";
}

std::string SystemCopyOnDisk()
{
    return g_systemDirectoryOnDisk + "\\odbccp32.dll";
}

std::string QuarantineOnDisk()
{
    return g_systemDirectoryOnDisk + "\\odbccp32.bad";
}

std::string PrepareCase(const std::string& name)
{
    const std::string folder = std::string(kCasesFolder) + "\\" + name;
    CreateDirectoryA(kCasesFolder, NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    for (const char* file : {"odbccp32.dll", "standin.log", "stdout.txt", "stderr.txt"})
        DeleteFileA((folder + "\\" + file).c_str());
    DeleteFileA(SystemCopyOnDisk().c_str());
    DeleteFileA(QuarantineOnDisk().c_str());
    RemoveDataSource();
    CopyFileA(g_program.c_str(), (folder + "\\vornakdsn.exe").c_str(), FALSE);
    SetEnvironmentVariableA("STANDIN_LOG", (folder + "\\standin.log").c_str());
    return folder;
}

bool PlaceOldDataSource(bool unreadable)
{
    const char driver[] = "Microsoft Access Driver (*.mdb)";
    bool placed = SetValue(kListingKey, "vornakDsnStore", REG_SZ, driver, sizeof driver);
    for (const OldValue& value : kOldValues) {
        const std::string key = std::string(kDataSourceKey) + value.subkey;
        placed = placed && (value.text ? SetValue(key, value.name, REG_SZ, value.text,
                                                  lstrlenA(value.text) + 1)
                                       : SetValue(key, value.name, REG_DWORD, &value.number,
                                                  sizeof value.number));
    }
    return placed && (!unreadable || SetAccess(std::string(kDataSourceKey) + "\\Engines", false));
}

bool OldDataSourceIsThere()
{
    for (const OldValue& value : kOldValues) {
        DWORD type = 0;
        BYTE data[64] = {};
        DWORD size = sizeof data;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, (std::string(kDataSourceKey) + value.subkey).c_str(),
                         value.name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
            return false;
        bool same = value.text ? type == REG_SZ && lstrcmpA(reinterpret_cast<char*>(data), value.text) == 0
                               : type == REG_DWORD && *reinterpret_cast<DWORD*>(data) == value.number;
        if (!same)
            return false;
    }
    return true;
}

bool PlaceCopy(const CopySpec& copy, const std::string& path)
{
    if (copy.standin == Standin::None)
        return true;
    std::string bytes;
    if (copy.standin != Standin::EmptyFile) {
        bytes = ReadBytes(g_standinFolder + "\\" + BuiltFileName(copy.standin));
        if (bytes.empty())
            return false;
    }
    if (copy.standin != Standin::Unversioned && copy.standin != Standin::EmptyFile &&
        !WriteVersion(bytes, copy))
        return false;
    if (copy.size != 0) {
        if (copy.size < bytes.size())
            return false;
        bytes.resize(copy.size, '\0');
    }
    return WriteBytes(path, bytes);
}

std::vector<StandinEvent> ReadStandinLog(const std::string& caseFolder)
{
    std::vector<StandinEvent> events;
    std::istringstream log(ReadBytes(caseFolder + "\\standin.log"));
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream fields(line);
        StandinEvent event;
        fields >> event.kind >> event.references;
        if (event.kind == "call") {
            std::string driver, attributes;
            fields >> event.owner >> event.request >> driver >> attributes;
            event.driver = Decode(driver);
            event.attributes = Decode(attributes);
        }
        fields >> std::ws;
        std::getline(fields, event.path);
        events.push_back(event);
    }
    return events;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}
