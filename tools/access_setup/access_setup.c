/* Stands in for the setup routine of the "Microsoft Access Driver (*.mdb)", which Linux does
   not have, so that the ODBC installer has somewhere to send a data source request. It
   stores a data source as Windows' own ODBC administrator does:
     HKLM\Software\ODBC\ODBC.INI\<name>              Driver and every other attribute, as strings
     HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources   <name> = <driver description>
   (HKCU for a user data source) and on removal deletes both, the first with every subkey, as
   the Access driver's own setup does with Engines\Jet. As on Windows, the installer
   asks for a system data source by setting its configuration mode and then passing the
   plain add or remove request. Nothing else is asked or shown. Built with
   ACCESS_SETUP_REFUSES_ADD, it refuses add requests, as a setup routine may that finds
   something amiss, and still removes; the installer's add (SQLWriteDSNToIni) deletes what was
   there before it writes, and a setup may refuse after writing part of the new one, so this
   one first writes the new one and a subkey of the driver's, then refuses. Besides, for a
   path (DBQ) that holds:
     accepted  it adds the data source, as the plain one does
     slow      it first writes the file C:\vornak_refusing_setup.waiting, then waits 10 s
     locked    what it leaves has a subkey that no one may open (an empty DACL) */
#include <windows.h>
#include <odbcinst.h>
#include <string.h>

#define ODBC_INI "Software\\ODBC\\ODBC.INI"

#ifdef ACCESS_SETUP_REFUSES_ADD
static const BOOL kRefusesAdd = TRUE;
#else
static const BOOL kRefusesAdd = FALSE;
#endif
#define ODBCINST_INI "Software\\ODBC\\ODBCINST.INI"

/* The value of keyword in the attribute list, or NULL. */
static const char* FindAttribute(const char* attributes, const char* keyword)
{
    size_t length = strlen(keyword);
    for (const char* entry = attributes; *entry; entry += strlen(entry) + 1) {
        if (_strnicmp(entry, keyword, length) == 0 && entry[length] == '=')
            return entry + length + 1;
    }
    return NULL;
}

static BOOL SetString(HKEY key, const char* name, const char* value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1) ==
           ERROR_SUCCESS;
}

/* The driver's own file, as the driver's registration names it. */
static BOOL DriverFile(const char* driver, char* file, DWORD size)
{
    char keyName[MAX_PATH + sizeof ODBCINST_INI + 1];
    if (strlen(driver) > MAX_PATH)
        return FALSE;
    strcpy(keyName, ODBCINST_INI "\\");
    strcat(keyName, driver);
    return RegGetValueA(HKEY_LOCAL_MACHINE, keyName, "Driver", RRF_RT_REG_SZ, NULL, file, &size) ==
           ERROR_SUCCESS;
}

static HKEY ConfiguredRoot(void)
{
    UWORD mode = ODBC_USER_DSN;
    SQLGetConfigMode(&mode);
    return mode == ODBC_SYSTEM_DSN ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

static BOOL AddDataSource(const char* driver, const char* name, const char* attributes)
{
    char driverFile[MAX_PATH + 1];
    HKEY odbcIni, dataSource, dataSources;
    if (!DriverFile(driver, driverFile, sizeof driverFile))
        return FALSE;
    if (RegCreateKeyExA(ConfiguredRoot(), ODBC_INI, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &odbcIni,
                        NULL) != ERROR_SUCCESS)
        return FALSE;
    BOOL stored = FALSE;
    if (RegCreateKeyExA(odbcIni, name, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &dataSource, NULL) ==
        ERROR_SUCCESS) {
        stored = SetString(dataSource, "Driver", driverFile);
        for (const char* entry = attributes; *entry && stored; entry += strlen(entry) + 1) {
            const char* equals = strchr(entry, '=');
            char keyword[256];
            if (!equals || equals - entry >= (ptrdiff_t)sizeof keyword)
                continue;
            memcpy(keyword, entry, equals - entry);
            keyword[equals - entry] = '\0';
            if (_stricmp(keyword, "DSN") != 0 && _stricmp(keyword, "Driver") != 0)
                stored = SetString(dataSource, keyword, equals + 1);
        }
        RegCloseKey(dataSource);
    }
    if (stored && RegCreateKeyExA(odbcIni, "ODBC Data Sources", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                  &dataSources, NULL) == ERROR_SUCCESS) {
        stored = SetString(dataSources, name, driver);
        RegCloseKey(dataSources);
    }
    RegCloseKey(odbcIni);
    return stored;
}

static BOOL RemoveDataSource(const char* name)
{
    HKEY odbcIni, dataSources;
    if (RegOpenKeyExA(ConfiguredRoot(), ODBC_INI, 0, KEY_ALL_ACCESS, &odbcIni) != ERROR_SUCCESS)
        return FALSE;
    BOOL removed = RegDeleteTreeA(odbcIni, name) == ERROR_SUCCESS;
    if (RegOpenKeyExA(odbcIni, "ODBC Data Sources", 0, KEY_ALL_ACCESS, &dataSources) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(dataSources, name);
        RegCloseKey(dataSources);
    }
    RegCloseKey(odbcIni);
    return removed;
}

/* Only its owner may change the key's DACL: nobody may open it for anything else. */
static void Lock(HKEY root, const char* keyName)
{
    HKEY key;
    ACL empty;
    SECURITY_DESCRIPTOR descriptor;
    if (RegOpenKeyExA(root, keyName, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return;
    if (InitializeAcl(&empty, sizeof empty, ACL_REVISION) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE))
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    RegCloseKey(key);
}

static BOOL RemoveDataSource(const char* name);

static BOOL AddAndRefuse(const char* driver, const char* name, const char* attributes)
{
    const char* path = FindAttribute(attributes, "DBQ");
    if (path && strstr(path, "accepted"))
        return AddDataSource(driver, name, attributes);
    if (path && strstr(path, "slow")) {
        HANDLE waiting = CreateFileA("C:\\vornak_refusing_setup.waiting", GENERIC_WRITE, 0, NULL,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (waiting != INVALID_HANDLE_VALUE)
            CloseHandle(waiting);
        Sleep(10000);
    }
    RemoveDataSource(name);
    if (!AddDataSource(driver, name, attributes))
        return FALSE;
    char keyName[sizeof ODBC_INI + 256 + sizeof "\\Engines\\Jet"];
    if (strlen(name) > 255)
        return FALSE;
    strcpy(keyName, ODBC_INI "\\");
    strcat(keyName, name);
    strcat(keyName, "\\Engines\\Jet");
    HKEY jet;
    if (RegCreateKeyExA(ConfiguredRoot(), keyName, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &jet, NULL) ==
        ERROR_SUCCESS) {
        SetString(jet, "Threads", "3");
        RegCloseKey(jet);
    }
    if (path && strstr(path, "locked"))
        Lock(ConfiguredRoot(), keyName);
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI ConfigDSN(HWND owner, WORD request, LPCSTR driver,
                                            LPCSTR attributes)
{
    (void)owner;
    const char* name = attributes ? FindAttribute(attributes, "DSN") : NULL;
    if (!driver || !name || !*name)
        return FALSE;
    switch (request) {
    case ODBC_ADD_DSN:
        return kRefusesAdd ? AddAndRefuse(driver, name, attributes)
                           : AddDataSource(driver, name, attributes);
    case ODBC_REMOVE_DSN:
        return RemoveDataSource(name);
    default:
        return FALSE;
    }
}
