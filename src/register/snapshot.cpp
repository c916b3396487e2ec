#include "snapshot.h"

namespace {

// A value's name has at most 16383 characters.
const DWORD kValueNameLimit = 16384;

DWORD RecordSize(const SnapshotRecord* record)
{
    DWORD size = sizeof *record + record->nameLength * sizeof(WCHAR);
    if (record->isValue)
        size += record->size + sizeof(WCHAR);
    return (size + 3) & ~3u;
}

// A new record at the end, zero-filled, with room for dataRoom bytes; null when there is no
// memory for it.
SnapshotRecord* Append(Snapshot* snapshot, bool isValue, const WCHAR* name, DWORD dataRoom)
{
    SnapshotRecord head = {isValue, static_cast<WORD>(lstrlenW(name) + 1), 0, dataRoom};
    DWORD size = RecordSize(&head);
    if (size > snapshot->room - snapshot->size) {
        DWORD room = 2 * (snapshot->size + size);
        // Fixed memory stays fixed when it moves: the handle is the address.
        BYTE* grown = static_cast<BYTE*>(
            snapshot->records ? LocalReAlloc(snapshot->records, room, LMEM_MOVEABLE)
                              : LocalAlloc(LMEM_FIXED, room));
        if (!grown)
            return NULL;
        snapshot->records = grown;
        snapshot->room = room;
    }
    SnapshotRecord* record = reinterpret_cast<SnapshotRecord*>(snapshot->records + snapshot->size);
    ZeroMemory(record, size);
    *record = head;
    record->size = 0;
    CopyMemory(record + 1, name, head.nameLength * sizeof(WCHAR));
    snapshot->size += size;
    return record;
}

// Adds the value name of key; nothing where it is gone.
LONG AppendValue(const AdvancedServices& registry, HKEY key, const WCHAR* name,
                 Snapshot* snapshot)
{
    const DWORD start = snapshot->size;
    DWORD size = 0;
    LONG result = registry.RegQueryValueExW(key, name, NULL, NULL, NULL, &size);
    // A value may grow between the calls, and then needs more room than it said: read again.
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        snapshot->size = start;
        SnapshotRecord* record = Append(snapshot, true, name, size);
        if (!record)
            return ERROR_NOT_ENOUGH_MEMORY;
        DWORD read = size;
        result = registry.RegQueryValueExW(key, name, NULL, &record->type,
                                           const_cast<BYTE*>(DataOf(record)), &read);
        if (result == ERROR_SUCCESS) {
            record->size = read;
            snapshot->size = start + RecordSize(record);
            return result;
        }
        size = read > size ? read : 2 * size + 2;
    }
    snapshot->size = start;
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

// Adds key, open, whose path below the snapshot's root is path, then its subkeys.
LONG AppendKey(const AdvancedServices& registry, HKEY key, WCHAR (&path)[kKeyPathLimit],
               Snapshot* snapshot)
{
    const DWORD start = snapshot->size;
    if (!Append(snapshot, false, path, 0))
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD values = 0;
    LONG result;
    for (DWORD index = 0;; index++) {
        // The values are all read before any subkey, so one name buffer serves every level.
        static WCHAR name[kValueNameLimit];
        DWORD length = kValueNameLimit;
        result = registry.RegEnumValueW(key, index, name, &length, NULL, NULL, NULL, NULL);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        DWORD before = snapshot->size;
        if (result == ERROR_SUCCESS)
            result = AppendValue(registry, key, name, snapshot);
        if (result != ERROR_SUCCESS)
            return result;
        if (snapshot->size == before)
            continue;
        values++;
        // A link opened as itself holds its target's name, and what deletes or writes a key
        // goes through to the target: a data source with one is not taken for read.
        if (reinterpret_cast<SnapshotRecord*>(snapshot->records + before)->type == REG_LINK)
            return ERROR_NOT_SUPPORTED;
    }
    const int length = lstrlenW(path);
    DWORD subkeys = 0;
    for (;; subkeys++) {
        WCHAR name[kKeyNameLimit];
        DWORD nameLength = kKeyNameLimit;
        result = registry.RegEnumKeyExW(key, subkeys, name, &nameLength, NULL, NULL, NULL, NULL);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return result;
        if (length + 1 + nameLength >= kKeyPathLimit)
            return ERROR_FILENAME_EXCED_RANGE;
        path[length] = L'\\';
        lstrcpyW(path + length + 1, name);
        HKEY subkey;
        result = registry.RegOpenKeyExW(key, name, REG_OPTION_OPEN_LINK, KEY_READ, &subkey);
        if (result == ERROR_SUCCESS) {
            result = AppendKey(registry, subkey, path, snapshot);
            registry.RegCloseKey(subkey);
        }
        path[length] = L'\0';
        if (result != ERROR_SUCCESS)
            return result;
    }
    SnapshotRecord* record = reinterpret_cast<SnapshotRecord*>(snapshot->records + start);
    record->type = values;
    record->size = subkeys;
    return ERROR_SUCCESS;
}

// *key stays null where there is no such key, which is no failure. options: REG_OPTION_OPEN_LINK
// opens a link as itself.
LONG Open(const AdvancedServices& registry, HKEY root, const WCHAR* path, HKEY* key,
          DWORD options = 0)
{
    LONG result = registry.RegOpenKeyExW(root, path, options, KEY_READ, key);
    if (result != ERROR_SUCCESS)
        *key = NULL;
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

bool IsString(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// RegSetValueEx counts the terminator of a string whose caller forgot it, where the character
// after the counted bytes is zero, as it is after a record's: a string stored without one is
// written from a copy followed by one that is not, so that its bytes go back as they were.
LONG SetValue(const AdvancedServices& registry, HKEY key, const SnapshotRecord* value)
{
    if (!IsString(value->type))
        return registry.RegSetValueExW(key, NameOf(value), 0, value->type, DataOf(value),
                                       value->size);
    BYTE* data = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, value->size + sizeof(WCHAR)));
    if (!data)
        return ERROR_NOT_ENOUGH_MEMORY;
    CopyMemory(data, DataOf(value), value->size);
    data[value->size] = data[value->size + 1] = 0xFF;
    LONG result =
        registry.RegSetValueExW(key, NameOf(value), 0, value->type, data, value->size);
    LocalFree(data);
    return result;
}

// Deletes the key name below parent with all of its subkeys. Unlike DeleteKey, a key that is
// not there is a failure: it was just listed, so it cannot be opened by its name.
LONG DeleteSubkey(const AdvancedServices& registry, HKEY parent, const WCHAR* name)
{
    HKEY key;
    LONG result = registry.RegOpenKeyExW(parent, name, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result;
    // The registry deletes no key that has subkeys: they go first. One that cannot be deleted
    // is passed over, so that every turn deletes one or moves on, and the key stays.
    LONG failure = ERROR_SUCCESS;
    WCHAR subkey[kKeyNameLimit];
    DWORD index = 0;
    for (;;) {
        DWORD length = kKeyNameLimit;
        result = registry.RegEnumKeyExW(key, index, subkey, &length, NULL, NULL, NULL, NULL);
        if (result != ERROR_SUCCESS)
            break;
        result = DeleteSubkey(registry, key, subkey);
        if (result != ERROR_SUCCESS) {
            failure = result;
            index++;
        }
    }
    registry.RegCloseKey(key);
    if (result != ERROR_NO_MORE_ITEMS)
        return result;
    if (failure != ERROR_SUCCESS)
        return failure;
    return registry.RegDeleteKeyW(parent, name);
}

}  // namespace

LONG AddKey(const AdvancedServices& registry, HKEY root, const WCHAR* path, Snapshot* snapshot)
{
    WCHAR keyPath[kKeyPathLimit];
    if (lstrlenW(path) >= kKeyPathLimit)
        return ERROR_FILENAME_EXCED_RANGE;
    lstrcpyW(keyPath, path);
    HKEY key;
    LONG result = Open(registry, root, path, &key, REG_OPTION_OPEN_LINK);
    if (!key)
        return result;
    result = AppendKey(registry, key, keyPath, snapshot);
    registry.RegCloseKey(key);
    return result;
}

LONG AddValue(const AdvancedServices& registry, HKEY root, const WCHAR* path, const WCHAR* name,
              Snapshot* snapshot)
{
    HKEY key;
    LONG result = Open(registry, root, path, &key);
    if (!key)
        return result;
    const DWORD start = snapshot->size;
    result = Append(snapshot, false, path, 0) ? AppendValue(registry, key, name, snapshot)
                                              : ERROR_NOT_ENOUGH_MEMORY;
    registry.RegCloseKey(key);
    // A key without the value is no part of it: whether such a key is there is not recorded.
    if (result != ERROR_SUCCESS ||
        !NextRecord(*snapshot, reinterpret_cast<const SnapshotRecord*>(snapshot->records + start)))
        snapshot->size = start;
    return result;
}

const SnapshotRecord* NextRecord(const Snapshot& snapshot, const SnapshotRecord* record)
{
    const BYTE* next = record ? reinterpret_cast<const BYTE*>(record) + RecordSize(record)
                              : snapshot.records;
    return next && next < snapshot.records + snapshot.size
               ? reinterpret_cast<const SnapshotRecord*>(next)
               : NULL;
}

const SnapshotRecord* FindKey(const Snapshot& snapshot, const WCHAR* path)
{
    for (const SnapshotRecord* record = NextRecord(snapshot, NULL); record;
         record = NextRecord(snapshot, record)) {
        if (!record->isValue && lstrcmpiW(NameOf(record), path) == 0)
            return record;
    }
    return NULL;
}

const SnapshotRecord* FindValue(const Snapshot& snapshot, const WCHAR* path, const WCHAR* name)
{
    // A key's values are the records after it, up to the next key.
    const SnapshotRecord* record = FindKey(snapshot, path);
    while (record && (record = NextRecord(snapshot, record)) && record->isValue) {
        if (lstrcmpiW(NameOf(record), name) == 0)
            return record;
    }
    return NULL;
}

bool SameSnapshot(const Snapshot& a, const Snapshot& b)
{
    if (a.size != b.size)
        return false;
    for (DWORD i = 0; i < a.size; i++) {
        if (a.records[i] != b.records[i])
            return false;
    }
    return true;
}

LONG WriteSnapshot(const AdvancedServices& registry, HKEY root, const Snapshot& snapshot)
{
    // Past a failure too, so that as much as can be is written; the first failure is told.
    HKEY key = NULL;
    LONG failure = ERROR_SUCCESS;
    for (const SnapshotRecord* record = NextRecord(snapshot, NULL); record;
         record = NextRecord(snapshot, record)) {
        LONG result = ERROR_SUCCESS;
        if (record->isValue) {
            if (key)
                result = SetValue(registry, key, record);
        } else {
            if (key)
                registry.RegCloseKey(key);
            result = registry.RegCreateKeyExW(root, NameOf(record), 0, NULL, 0, KEY_SET_VALUE,
                                              NULL, &key, NULL);
            if (result != ERROR_SUCCESS)
                key = NULL;
        }
        if (failure == ERROR_SUCCESS)
            failure = result;
    }
    if (key)
        registry.RegCloseKey(key);
    return failure;
}

LONG DeleteKey(const AdvancedServices& registry, HKEY root, const WCHAR* path)
{
    HKEY key;
    LONG result = Open(registry, root, path, &key);
    if (!key)
        return result;
    registry.RegCloseKey(key);
    return DeleteSubkey(registry, root, path);
}

void ReleaseSnapshot(Snapshot* snapshot)
{
    if (snapshot->records)
        LocalFree(snapshot->records);
    ZeroMemory(snapshot, sizeof *snapshot);
}
