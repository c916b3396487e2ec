/* Stands in for the setup routine of the "Microsoft Access Driver (*.mdb)", which Linux does
   not have, so that the ODBC installer has somewhere to send a data source request. It
   stores a data source as Windows' own ODBC administrator does:
     HKLM\Software\ODBC\ODBC.INI\<name>              Driver and every other attribute, as strings
     HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources   <name> = <driver description>
   (HKCU for a user data source) and on removal deletes both, the first with every subkey, as
   the Access driver's own setup does with Engines\Jet. As on Windows, the installer
   asks for a system data source by setting its configuration mode and then passing the
   plain add or remove request. Nothing else is asked or shown. Built with
   ACCESS_SETUP_REFUSES_ADD, it refuses every add request, as a setup routine may that finds
   something amiss, and still removes. */
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

__declspec(dllexport) BOOL WINAPI ConfigDSN(HWND owner, WORD request, LPCSTR driver,
                                            LPCSTR attributes)
{
    (void)owner;
    const char* name = attributes ? FindAttribute(attributes, "DSN") : NULL;
    if (!driver || !name || !*name)
        return FALSE;
    switch (request) {
    case ODBC_ADD_DSN:
        return !kRefusesAdd && AddDataSource(driver, name, attributes);
    case ODBC_REMOVE_DSN:
        return RemoveDataSource(name);
    default:
        return FALSE;
    }
}
