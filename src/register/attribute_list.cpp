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

// keyword=value, without its NUL.
char* PutEntry(char* at, const char* keyword, const char* value)
{
    return Put(Put(Put(at, keyword), "="), value);
}

}  // namespace

void BuildAddList(char (&list)[kAddListSize], const char* databasePath)
{
    // The zero fill ends every entry and, after the last one, the list itself.
    memset(list, 0, sizeof list);
    char* at = Put(list, VORNAKDSN_DATA_SOURCE_ENTRY) + 1;
    at = PutEntry(at, kPathKeyword, databasePath) + 1;
    for (const FixedAttribute& attribute : kFixedAttributes)
        at = PutEntry(at, attribute.keyword, attribute.value) + 1;
}
