#include "data_source.h"

#include <string.h>

#include "attribute_list.h"
#include "registry.h"

namespace {

const char kListingKey[] = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";
const char kDataSourceKey[] = "SOFTWARE\\ODBC\\ODBC.INI\\" VORNAKDSN_DATA_SOURCE_NAME;
const char kEngineKey[] = "SOFTWARE\\ODBC\\ODBC.INI\\" VORNAKDSN_DATA_SOURCE_NAME "\\Engines\\Jet";
const char kDriverKey[] = "SOFTWARE\\ODBC\\ODBCINST.INI\\" VORNAKDSN_DRIVER_DESCRIPTION;
const char kDriverValue[] = "Driver";

// Fixed memory: the handle is the address.
char* Allocate(DWORD size)
{
    return static_cast<char*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, size));
}

void Release(char* text)
{
    if (text)
        LocalFree(text);
}

// *key stays null where there is no such key, which is no failure.
LONG Open(const RegistryFunctions& registry, const char* path, HKEY* key)
{
    LONG result = registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, key);
    if (result != ERROR_SUCCESS)
        *key = NULL;
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

// A number as the text it stands for; anything else but a string is no attribute: null.
char* AsText(char* data, DWORD type, DWORD size)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        data[size] = '\0';
        return data;
    }
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number;
        CopyMemory(&number, data, sizeof number);
        wsprintfA(data, "%lu", number);
        return data;
    }
    LocalFree(data);
    return NULL;
}

// Reads the value name of key as text into *text, which stays null where there is no such
// value or it is neither a string nor a number.
LONG ReadText(const RegistryFunctions& registry, HKEY key, const char* name, char** text)
{
    *text = NULL;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = registry.RegQueryValueExA(key, name, NULL, &type, NULL, &size);
    if (result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        return result;
    // A string gets a NUL of its own, since the registry need not hold one; a number's text
    // takes up to eleven bytes.
    char* data = Allocate(size < 11 ? 12 : size + 1);
    if (!data)
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD read = size;
    result = registry.RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(data),
                                       &read);
    if (result != ERROR_SUCCESS) {
        LocalFree(data);
        return result;
    }
    *text = AsText(data, type, read);
    return ERROR_SUCCESS;
}

LONG ReadValues(const RegistryFunctions& registry, HKEY key, bool inEngine,
                DataSourceReading* reading)
{
    for (DWORD index = 0; reading->count < kMaxDataSourceValues; index++) {
        DataSourceValue& value = reading->values[reading->count];
        DWORD nameLength = sizeof value.name;
        LONG result =
            registry.RegEnumValueA(key, index, value.name, &nameLength, NULL, NULL, NULL, NULL);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        // A name longer than any keyword names no attribute.
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return result;
        result = ReadText(registry, key, value.name, &value.text);
        if (result != ERROR_SUCCESS)
            return result;
        if (value.text && value.name[0]) {
            value.inEngine = inEngine;
            reading->count++;
        } else {
            Release(value.text);
            value.text = NULL;
        }
    }
    return ERROR_SUCCESS;
}

// The text with its environment strings (%SystemRoot%) expanded, as Windows reads a file
// name; null when it cannot be had.
char* Expanded(const char* text)
{
    DWORD size = ExpandEnvironmentStringsA(text, NULL, 0);
    char* expanded = size ? Allocate(size) : NULL;
    if (expanded && ExpandEnvironmentStringsA(text, expanded, size) != size) {
        LocalFree(expanded);
        return NULL;
    }
    return expanded;
}

// *found tells whether the key is there.
LONG ReadKeyValues(const RegistryFunctions& registry, const char* path, bool inEngine,
                   DataSourceReading* reading, bool* found)
{
    HKEY key;
    LONG result = Open(registry, path, &key);
    *found = key != NULL;
    if (result != ERROR_SUCCESS || !key)
        return result;
    result = ReadValues(registry, key, inEngine, reading);
    registry.RegCloseKey(key);
    return result;
}

LONG ReadOne(const RegistryFunctions& registry, const char* path, const char* name, char** text)
{
    HKEY key;
    *text = NULL;
    LONG result = Open(registry, path, &key);
    if (result != ERROR_SUCCESS || !key)
        return result;
    result = ReadText(registry, key, name, text);
    registry.RegCloseKey(key);
    return result;
}

LONG ReadAll(const RegistryFunctions& registry, DataSourceReading* reading)
{
    LONG result = ReadOne(registry, kListingKey, kDataSourceName, &reading->listedDriver);
    if (result == ERROR_SUCCESS)
        result = ReadKeyValues(registry, kDataSourceKey, false, reading, &reading->exists);
    bool engine;
    if (result == ERROR_SUCCESS && reading->exists)
        result = ReadKeyValues(registry, kEngineKey, true, reading, &engine);
    char* driverFile = NULL;
    if (result == ERROR_SUCCESS)
        result = ReadOne(registry, kDriverKey, kDriverValue, &driverFile);
    if (driverFile) {
        reading->registeredDriverFile = Expanded(driverFile);
        LocalFree(driverFile);
    }
    return result;
}

// A setting of the data source's own key or of its engine's.
const char* FindSetting(const DataSourceReading& reading, const char* name)
{
    const char* text = FindValue(reading, name);
    for (int i = 0; !text && i < reading.count; i++) {
        if (reading.values[i].inEngine && lstrcmpiA(reading.values[i].name, name) == 0)
            text = reading.values[i].text;
    }
    return text;
}

// The Access driver keeps FIL as a list of file types, each ended by a semicolon.
bool SameSetting(const char* text, const char* wanted)
{
    size_t length = strlen(wanted);
    return strncmp(text, wanted, length) == 0 &&
           (text[length] == '\0' || (text[length] == ';' && text[length + 1] == '\0'));
}

// Windows compares file names without regard to case.
bool SameFile(const char* driver, const char* registeredFile)
{
    char* expanded = Expanded(driver);
    bool same = expanded && lstrcmpiA(expanded, registeredFile) == 0;
    Release(expanded);
    return same;
}

bool IsRestored(const char* name)
{
    return lstrcmpiA(name, kDriverValue) != 0 && lstrcmpiA(name, "DSN") != 0 &&
           !strchr(name, '=');
}

}  // namespace

bool ReadDataSource(DataSourceReading* reading, LONG* error)
{
    ZeroMemory(reading, sizeof *reading);
    RegistryFunctions registry;
    HMODULE advapi = BindRegistryFunctions(&registry);
    if (!advapi) {
        *error = ERROR_MOD_NOT_FOUND;
        return false;
    }
    *error = ReadAll(registry, reading);
    FreeLibrary(advapi);
    if (*error == ERROR_SUCCESS)
        return true;
    ReleaseDataSource(reading);
    return false;
}

void ReleaseDataSource(DataSourceReading* reading)
{
    Release(reading->listedDriver);
    Release(reading->registeredDriverFile);
    for (int i = 0; i < reading->count; i++)
        Release(reading->values[i].text);
    ZeroMemory(reading, sizeof *reading);
}

const char* FindValue(const DataSourceReading& reading, const char* name)
{
    for (int i = 0; i < reading.count; i++) {
        if (!reading.values[i].inEngine && lstrcmpiA(reading.values[i].name, name) == 0)
            return reading.values[i].text;
    }
    return NULL;
}

int CompareDataSource(const DataSourceReading& reading, const char* databasePath,
                      DataSourceDifference (&differences)[kMaxDifferences])
{
    int count = 0;
    if (!reading.exists && !reading.listedDriver) {
        differences[count++] = {kDataSourceMissing, NULL, NULL, databasePath};
        return count;
    }
    if (!reading.listedDriver)
        differences[count++] = {kNotListed, NULL, NULL, kDriverDescription};
    else if (lstrcmpiA(reading.listedDriver, kDriverDescription) != 0)
        differences[count++] = {kListedWithAnotherDriver, NULL, reading.listedDriver,
                                kDriverDescription};

    // The path as a run stores it, byte for byte.
    const char* path = FindValue(reading, kPathKeyword);
    if (!path)
        differences[count++] = {kValueMissing, kPathKeyword, NULL, databasePath};
    else if (strcmp(path, databasePath) != 0)
        differences[count++] = {kValueDiffers, kPathKeyword, path, databasePath};

    for (const FixedAttribute& attribute : kFixedAttributes) {
        const char* text = FindSetting(reading, attribute.keyword);
        if (!text)
            differences[count++] = {kValueMissing, attribute.keyword, NULL, attribute.value};
        else if (!SameSetting(text, attribute.value))
            differences[count++] = {kValueDiffers, attribute.keyword, text, attribute.value};
    }

    // Programs load the file that the data source names; one that is not the driver's
    // registered file fails them as "driver could not be loaded".
    const char* driver = FindValue(reading, kDriverValue);
    if (!reading.registeredDriverFile)
        differences[count++] = {kDriverNotRegistered, kDriverValue, driver, kDriverDescription};
    else if (!driver)
        differences[count++] = {kValueMissing, kDriverValue, NULL, reading.registeredDriverFile};
    else if (!SameFile(driver, reading.registeredDriverFile))
        differences[count++] = {kDriverFileDiffers, kDriverValue, driver,
                                reading.registeredDriverFile};
    return count;
}

char* BuildRestoreList(const DataSourceReading& reading)
{
    DWORD size = sizeof VORNAKDSN_DATA_SOURCE_ENTRY + 1;
    for (int i = 0; i < reading.count; i++) {
        if (IsRestored(reading.values[i].name))
            size += lstrlenA(reading.values[i].name) + 1 + lstrlenA(reading.values[i].text) + 1;
    }
    // The zero fill ends every entry and the list.
    char* list = Allocate(size);
    if (!list)
        return NULL;
    char* at = list;
    lstrcpyA(at, VORNAKDSN_DATA_SOURCE_ENTRY);
    at += sizeof VORNAKDSN_DATA_SOURCE_ENTRY;
    for (int i = 0; i < reading.count; i++) {
        const DataSourceValue& value = reading.values[i];
        if (!IsRestored(value.name))
            continue;
        at += wsprintfA(at, "%s=", value.name);
        lstrcpyA(at, value.text);
        at += lstrlenA(value.text) + 1;
    }
    return list;
}
