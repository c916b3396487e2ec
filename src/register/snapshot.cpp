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
        values += snapshot->size != before;
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
        result = registry.RegOpenKeyExW(key, name, 0, KEY_READ, &subkey);
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

// *key stays null where there is no such key, which is no failure.
LONG Open(const AdvancedServices& registry, HKEY root, const WCHAR* path, HKEY* key)
{
    LONG result = registry.RegOpenKeyExW(root, path, 0, KEY_READ, key);
    if (result != ERROR_SUCCESS)
        *key = NULL;
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

}  // namespace

LONG AddKey(const AdvancedServices& registry, HKEY root, const WCHAR* path, Snapshot* snapshot)
{
    WCHAR keyPath[kKeyPathLimit];
    if (lstrlenW(path) >= kKeyPathLimit)
        return ERROR_FILENAME_EXCED_RANGE;
    lstrcpyW(keyPath, path);
    HKEY key;
    LONG result = Open(registry, root, path, &key);
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
    result = Append(snapshot, false, path, 0) ? AppendValue(registry, key, name, snapshot)
                                              : ERROR_NOT_ENOUGH_MEMORY;
    registry.RegCloseKey(key);
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
    HKEY key = NULL;
    LONG result = ERROR_SUCCESS;
    for (const SnapshotRecord* record = NextRecord(snapshot, NULL);
         record && result == ERROR_SUCCESS; record = NextRecord(snapshot, record)) {
        if (record->isValue) {
            result = registry.RegSetValueExW(key, NameOf(record), 0, record->type,
                                             DataOf(record), record->size);
            continue;
        }
        if (key)
            registry.RegCloseKey(key);
        result = registry.RegCreateKeyExW(root, NameOf(record), 0, NULL, 0, KEY_SET_VALUE, NULL,
                                          &key, NULL);
        if (result != ERROR_SUCCESS)
            key = NULL;
    }
    if (key)
        registry.RegCloseKey(key);
    return result;
}

LONG DeleteKey(const AdvancedServices& registry, HKEY root, const WCHAR* path)
{
    HKEY key;
    LONG result = Open(registry, root, path, &key);
    if (!key)
        return result;
    // The registry deletes no key that has subkeys: they go first, each the first one left.
    WCHAR name[kKeyNameLimit];
    DWORD length = kKeyNameLimit;
    while ((result = registry.RegEnumKeyExW(key, 0, name, &length, NULL, NULL, NULL, NULL)) ==
               ERROR_SUCCESS &&
           (result = DeleteKey(registry, key, name)) == ERROR_SUCCESS)
        length = kKeyNameLimit;
    registry.RegCloseKey(key);
    if (result != ERROR_NO_MORE_ITEMS)
        return result;
    return registry.RegDeleteKeyW(root, path);
}

void ReleaseSnapshot(Snapshot* snapshot)
{
    if (snapshot->records)
        LocalFree(snapshot->records);
    ZeroMemory(snapshot, sizeof *snapshot);
}
