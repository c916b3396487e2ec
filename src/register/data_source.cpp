#include "data_source.h"

#include <wchar.h>

#include "attribute_list.h"

namespace {

#define VORNAKDSN_ODBC_INI L"SOFTWARE\\ODBC\\ODBC.INI\\"
#define VORNAKDSN_DATA_SOURCE_KEY VORNAKDSN_ODBC_INI L"" VORNAKDSN_DATA_SOURCE_NAME

const WCHAR kListingKey[] = VORNAKDSN_ODBC_INI L"ODBC Data Sources";
const WCHAR kDataSourceKey[] = VORNAKDSN_DATA_SOURCE_KEY;
// The Access driver keeps some of its settings (MaxBufferSize, PageTimeout) as numbers in the
// data source's subkey Engines\Jet.
const WCHAR kEngineKey[] = VORNAKDSN_DATA_SOURCE_KEY L"\\Engines\\Jet";
const WCHAR kDriverKey[] = L"SOFTWARE\\ODBC\\ODBCINST.INI\\" VORNAKDSN_DRIVER_DESCRIPTION;
const WCHAR kDataSourceName[] = L"" VORNAKDSN_DATA_SOURCE_NAME;
const WCHAR kDriverName[] = L"" VORNAKDSN_DRIVER_DESCRIPTION;
const WCHAR kDriverValue[] = L"Driver";
// Below a profile's key in HKEY_USERS.
const WCHAR kUserDataSourceKey[] = L"\\Software\\ODBC\\ODBC.INI\\" VORNAKDSN_DATA_SOURCE_NAME;
// A profile's classes lie beside it in HKEY_USERS, as <SID>_Classes.
const WCHAR kClassesSuffix[] = L"_Classes";
const int kClassesSuffixLength = sizeof kClassesSuffix / sizeof(WCHAR) - 1;

// A string value's text, or null for any other value.
const WCHAR* StringOf(const SnapshotRecord* value)
{
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ))
        return NULL;
    return reinterpret_cast<const WCHAR*>(DataOf(value));
}

// A setting's text: a string, or a number's in decimal, which goes into number.
const WCHAR* SettingText(const SnapshotRecord* value, WCHAR (&number)[12])
{
    if (value && value->type == REG_DWORD && value->size == sizeof(DWORD)) {
        DWORD n;
        CopyMemory(&n, DataOf(value), sizeof n);
        wsprintfW(number, L"%lu", n);
        return number;
    }
    return StringOf(value);
}

// The text with its environment strings (%SystemRoot%) expanded, as Windows reads a file
// name: fixed memory from the local heap; null when it cannot be had.
WCHAR* Expanded(const WCHAR* text)
{
    DWORD size = ExpandEnvironmentStringsW(text, NULL, 0);
    while (size) {
        WCHAR* expanded = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, size * sizeof(WCHAR)));
        if (!expanded)
            return NULL;
        // What it wrote, its NUL included, or the room it needs, should it need more.
        DWORD needed = ExpandEnvironmentStringsW(text, expanded, size);
        if (needed && needed <= size)
            return expanded;
        LocalFree(expanded);
        size = needed;
    }
    return NULL;
}

// The Access driver keeps FIL as a list of file types, each ended by a semicolon.
bool SameSetting(const WCHAR* text, const WCHAR* wanted)
{
    for (; *wanted; text++, wanted++) {
        if (*text != *wanted)
            return false;
    }
    return !text[0] || (text[0] == L';' && !text[1]);
}

// Windows compares file names without regard to case.
bool SameFile(const WCHAR* driver, const WCHAR* registeredFile)
{
    WCHAR* expanded = Expanded(driver);
    bool same = expanded && lstrcmpiW(expanded, registeredFile) == 0;
    if (expanded)
        LocalFree(expanded);
    return same;
}

// What the installer's removal deletes: the listing, and the key with its subkeys.
LONG ReadStored(const AdvancedServices& registry, Snapshot* stored)
{
    LONG result = AddValue(registry, HKEY_LOCAL_MACHINE, kListingKey, kDataSourceName, stored);
    if (result != ERROR_SUCCESS)
        return result;
    return AddKey(registry, HKEY_LOCAL_MACHINE, kDataSourceKey, stored);
}

LONG ReadRegisteredDriverFile(const AdvancedServices& registry, WCHAR** file)
{
    Snapshot driver = {};
    LONG result = AddValue(registry, HKEY_LOCAL_MACHINE, kDriverKey, kDriverValue, &driver);
    const WCHAR* text = StringOf(FindValue(driver, kDriverKey, kDriverValue));
    if (result == ERROR_SUCCESS && text && !(*file = Expanded(text)))
        result = ERROR_NOT_ENOUGH_MEMORY;
    ReleaseSnapshot(&driver);
    return result;
}

bool HoldsDataSource(const Snapshot& stored)
{
    return FindKey(stored, kDataSourceKey) || FindValue(stored, kListingKey, kDataSourceName);
}

enum Likeness { kSame, kOtherNone, kOther, kUnread };

// How the data source that is there now stands to before's.
Likeness LikenessToBefore(const AdvancedServices& registry, const Snapshot& before)
{
    Snapshot now = {};
    Likeness likeness = kUnread;
    if (ReadStored(registry, &now) == ERROR_SUCCESS) {
        if (SameSnapshot(now, before))
            likeness = kSame;
        else
            likeness = HoldsDataSource(now) ? kOther : kOtherNone;
    }
    ReleaseSnapshot(&now);
    return likeness;
}

}  // namespace

bool ReadDataSource(const AdvancedServices* registry, DataSourceReading* reading, LONG* error)
{
    ZeroMemory(reading, sizeof *reading);
    if (!registry) {
        *error = ERROR_MOD_NOT_FOUND;
        return false;
    }
    *error = ReadStored(*registry, &reading->stored);
    if (*error == ERROR_SUCCESS)
        *error = ReadRegisteredDriverFile(*registry, &reading->registeredDriverFile);
    if (*error == ERROR_SUCCESS)
        return true;
    ReleaseDataSource(reading);
    return false;
}

void ReleaseDataSource(DataSourceReading* reading)
{
    ReleaseSnapshot(&reading->stored);
    if (reading->registeredDriverFile)
        LocalFree(reading->registeredDriverFile);
    reading->registeredDriverFile = NULL;
}

bool DataSourceExists(const DataSourceReading& reading)
{
    return HoldsDataSource(reading.stored);
}

const WCHAR* FindText(const DataSourceReading& reading, const WCHAR* name)
{
    return StringOf(FindValue(reading.stored, kDataSourceKey, name));
}

int CompareDataSource(const DataSourceReading& reading, const WCHAR* databasePath,
                      DataSourceDifference (&differences)[kMaxDifferences])
{
    int count = 0;
    auto add = [&](DifferenceKind kind, const WCHAR* name, const WCHAR* there,
                   const WCHAR* wanted) {
        DataSourceDifference& difference = differences[count++];
        difference.kind = kind;
        difference.name = name;
        difference.there = there;
        difference.wanted = wanted;
    };
    if (!DataSourceExists(reading)) {
        add(kDataSourceMissing, NULL, NULL, databasePath);
        return count;
    }
    const WCHAR* listed = StringOf(FindValue(reading.stored, kListingKey, kDataSourceName));
    if (!listed)
        add(kNotListed, NULL, NULL, kDriverName);
    else if (lstrcmpiW(listed, kDriverName) != 0)
        add(kListedWithAnotherDriver, NULL, listed, kDriverName);

    // The path as a run stores it, character for character.
    const WCHAR* path = FindText(reading, kPathValueName);
    if (!path)
        add(kValueMissing, kPathValueName, NULL, databasePath);
    else if (wcscmp(path, databasePath) != 0)
        add(kValueDiffers, kPathValueName, path, databasePath);

    for (const FixedAttribute& attribute : kFixedAttributes) {
        const SnapshotRecord* value =
            FindValue(reading.stored, kDataSourceKey, attribute.wideKeyword);
        if (!value)
            value = FindValue(reading.stored, kEngineKey, attribute.wideKeyword);
        const WCHAR* text = SettingText(value, differences[count].number);
        if (!text)
            add(kValueMissing, attribute.wideKeyword, NULL, attribute.wideValue);
        else if (!SameSetting(text, attribute.wideValue))
            add(kValueDiffers, attribute.wideKeyword, text, attribute.wideValue);
    }

    // Programs load the file that the data source names; one that is not the driver's
    // registered file fails them as "driver could not be loaded".
    const WCHAR* driver = FindText(reading, kDriverValue);
    const WCHAR* registered = reading.registeredDriverFile;
    if (!registered)
        add(kDriverNotRegistered, kDriverValue, driver, kDriverName);
    else if (!driver)
        add(kValueMissing, kDriverValue, NULL, registered);
    else if (!SameFile(driver, registered))
        add(kDriverFileDiffers, kDriverValue, driver, registered);
    return count;
}

PutBack PutBackDataSource(const AdvancedServices& registry, const DataSourceReading& before)
{
    const bool existed = HoldsDataSource(before.stored);
    Likeness likeness = LikenessToBefore(registry, before.stored);
    if (likeness == kSame)
        return kNothingToPutBack;
    // What the refused add left goes first, so that what is written is all there is. Each
    // step goes as far as it can; what is read back afterwards tells what it came to.
    DeleteKey(registry, HKEY_LOCAL_MACHINE, kDataSourceKey);
    HKEY listing;
    if (registry.RegOpenKeyExW(HKEY_LOCAL_MACHINE, kListingKey, 0, KEY_SET_VALUE, &listing) ==
        ERROR_SUCCESS) {
        registry.RegDeleteValueW(listing, kDataSourceName);
        registry.RegCloseKey(listing);
    }
    if (existed)
        WriteSnapshot(registry, HKEY_LOCAL_MACHINE, before.stored);
    likeness = LikenessToBefore(registry, before.stored);
    if (likeness == kSame)
        return existed ? kPutBack : kNothingToPutBack;
    // Where there was none, none now is the same: only one that existed can be gone.
    if (likeness == kOtherNone)
        return kNotPutBack;
    return existed ? kPartlyPutBack : kLeftBehind;
}

bool FindUserDataSources(const AdvancedServices& registry, WCHAR* list, int size)
{
    const WCHAR kSeparator[] = L", ";
    const WCHAR kUsers[] = L"HKEY_USERS\\";
    // What each name takes besides its own characters: the separator and the prefix.
    const int kAround = (sizeof kSeparator + sizeof kUsers) / sizeof(WCHAR) - 2;
    int used = 0;
    list[0] = L'\0';
    WCHAR key[kKeyNameLimit + sizeof kUserDataSourceKey / sizeof(WCHAR)];
    DWORD length = kKeyNameLimit;
    for (DWORD index = 0; registry.RegEnumKeyExW(HKEY_USERS, index, key, &length, NULL, NULL,
                                                  NULL, NULL) == ERROR_SUCCESS;
         index++, length = kKeyNameLimit) {
        if (length >= kClassesSuffixLength &&
            lstrcmpiW(key + length - kClassesSuffixLength, kClassesSuffix) == 0)
            continue;
        lstrcpyW(key + length, kUserDataSourceKey);
        HKEY dataSource;
        if (registry.RegOpenKeyExW(HKEY_USERS, key, 0, KEY_READ, &dataSource) != ERROR_SUCCESS)
            continue;
        registry.RegCloseKey(dataSource);
        key[length] = L'\0';
        if (used + kAround + static_cast<int>(length) >= size)
            break;
        if (used)
            lstrcpyW(list + used, kSeparator);
        lstrcatW(list, kUsers);
        lstrcatW(list, key);
        used = lstrlenW(list);
    }
    return used != 0;
}
