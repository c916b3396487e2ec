// Registry keys as they are stored, kept in memory: every value with its name, type and bytes,
// and every subkey with its own, to compare with what is there later and to write back as it
// was. Read and written with the wide functions, in the registry view the program sees (the
// 32-bit one under WoW64), so that no text passes through the program's code page.
#ifndef VORNAKDSN_SNAPSHOT_H
#define VORNAKDSN_SNAPSHOT_H

#include "advanced_services.h"

// A key or a value; a value belongs to the key recorded before it. In the block each record
// starts at a multiple of four bytes, its name right after it: a key's path below the root it
// was read from, a value's name. A value's bytes follow its name, with two zero bytes more, so
// that a string read from it always ends.
struct SnapshotRecord {
    WORD isValue;
    WORD nameLength;  // in characters, the NUL included
    DWORD type;       // a value's type; a key's number of values
    DWORD size;       // a value's size in bytes; a key's number of subkeys
};

struct Snapshot {
    BYTE* records;  // fixed memory from the local heap; null while empty
    DWORD size;
    DWORD room;
};

// A key's name has at most 255 characters.
const DWORD kKeyNameLimit = 256;

// The longest key path a snapshot holds, the NUL included. No data source comes near it.
const int kKeyPathLimit = 512;

// Adds the key at path below root, its values, then each of its subkeys in the same way;
// nothing where there is no such key. ERROR_SUCCESS, or the registry's error code:
// ERROR_NOT_SUPPORTED where the key or a subkey is a registry link.
LONG AddKey(const AdvancedServices& registry, HKEY root, const WCHAR* path, Snapshot* snapshot);

// Adds the key at path below root with only its value name, where it has one: a part of a key,
// which holds other values that are not recorded; nothing where either is not there.
LONG AddValue(const AdvancedServices& registry, HKEY root, const WCHAR* path, const WCHAR* name,
              Snapshot* snapshot);

// The first record when record is null, else the one after it; null after the last.
const SnapshotRecord* NextRecord(const Snapshot& snapshot, const SnapshotRecord* record);

inline const WCHAR* NameOf(const SnapshotRecord* record)
{
    return reinterpret_cast<const WCHAR*>(record + 1);
}

inline const BYTE* DataOf(const SnapshotRecord* record)
{
    return reinterpret_cast<const BYTE*>(NameOf(record) + record->nameLength);
}

// The key at path, or null; paths and names compare without regard to case, as the registry
// compares them.
const SnapshotRecord* FindKey(const Snapshot& snapshot, const WCHAR* path);

// The value name of the key at path, or null.
const SnapshotRecord* FindValue(const Snapshot& snapshot, const WCHAR* path, const WCHAR* name);

// The same keys and values, in the same order, to the byte.
bool SameSnapshot(const Snapshot& a, const Snapshot& b);

// Creates each key below root and sets each value as the snapshot holds it, byte for byte; goes
// on past a key or value that cannot be written. ERROR_SUCCESS, or the first failure's code.
LONG WriteSnapshot(const AdvancedServices& registry, HKEY root, const Snapshot& snapshot);

// Deletes the key at path below root with all of its subkeys; ERROR_SUCCESS where there is
// none. Where one of them cannot be deleted, the others are, and the keys above it stay.
LONG DeleteKey(const AdvancedServices& registry, HKEY root, const WCHAR* path);

void ReleaseSnapshot(Snapshot* snapshot);

#endif
