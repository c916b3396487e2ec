#include "attribute_list.h"

#include <string.h>

namespace {

// Copies text without its NUL and returns the position just after it.
char* Put(char* at, const char* text)
{
    size_t length = strlen(text);
    memcpy(at, text, length);
    return at + length;
}

}  // namespace

void BuildAddList(char (&list)[kAddListSize], const char* databasePath)
{
    // The zero fill ends every entry and, after the last one, the list itself.
    memset(list, 0, sizeof list);
    char* at = Put(list, VORNAKDSN_DATA_SOURCE_ENTRY) + 1;
    at = Put(Put(at, "DBQ="), databasePath) + 1;
    at = Put(at, "MaxBufferSize=2048") + 1;
    at = Put(at, "PageTimeout=5") + 1;
    Put(at, "FIL=MS Access");
}
