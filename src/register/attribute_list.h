// The attribute lists handed to the ODBC installer for the data source vornakDsnStore.
#ifndef VORNAKDSN_ATTRIBUTE_LIST_H
#define VORNAKDSN_ATTRIBUTE_LIST_H

#include <stddef.h>

#define VORNAKDSN_DATA_SOURCE_ENTRY "DSN=vornakDsnStore"

const char kDriverDescription[] = "Microsoft Access Driver (*.mdb)";

// The one entry and the NUL that closes the list.
const char kRemoveList[] = VORNAKDSN_DATA_SOURCE_ENTRY "\0";

const size_t kAddListSize = 4096;
// Everything in the add list but the path: four entries, the "DBQ=" and six NULs.
const size_t kAddListOverhead = 72;
const size_t kMaxDatabasePathLength = kAddListSize - kAddListOverhead;

// Fills list with the five entries of the add list for a path of at most
// kMaxDatabasePathLength bytes, copied byte for byte.
void BuildAddList(char (&list)[kAddListSize], const char* databasePath);

#endif
