// The attribute lists handed to the ODBC installer for the data source vornakDsnStore.
#ifndef VORNAKDSN_ATTRIBUTE_LIST_H
#define VORNAKDSN_ATTRIBUTE_LIST_H

#include <windows.h>

#include <stddef.h>

// Macros as well, so that the registry keys named after them are spelled from the same text.
#define VORNAKDSN_DATA_SOURCE_NAME "vornakDsnStore"
#define VORNAKDSN_DRIVER_DESCRIPTION "Microsoft Access Driver (*.mdb)"
#define VORNAKDSN_DATA_SOURCE_ENTRY "DSN=" VORNAKDSN_DATA_SOURCE_NAME

const char kDriverDescription[] = VORNAKDSN_DRIVER_DESCRIPTION;
#define VORNAKDSN_PATH_KEYWORD "DBQ"
const char kPathKeyword[] = VORNAKDSN_PATH_KEYWORD;

// The one entry and the NUL that closes the list.
const char kRemoveList[] = VORNAKDSN_DATA_SOURCE_ENTRY "\0";

// The entries after the path, in the add list's order: what a run gives every data source;
// as characters too, as the registry keeps them.
struct FixedAttribute {
    const char* keyword;
    const char* value;
    const WCHAR* wideKeyword;
    const WCHAR* wideValue;
};
#define VORNAKDSN_FIXED_ATTRIBUTE(keyword, value) {keyword, value, L"" keyword, L"" value}
constexpr FixedAttribute kFixedAttributes[] = {
    VORNAKDSN_FIXED_ATTRIBUTE("MaxBufferSize", "2048"),
    VORNAKDSN_FIXED_ATTRIBUTE("PageTimeout", "5"),
    VORNAKDSN_FIXED_ATTRIBUTE("FIL", "MS Access"),
};

const size_t kAddListSize = 4096;

constexpr size_t TextLength(const char* text)
{
    return *text ? 1 + TextLength(text + 1) : 0;
}

// The fixed entries after the path, each with its "=" and its NUL.
constexpr size_t FixedEntriesLength()
{
    size_t length = 0;
    for (const FixedAttribute& attribute : kFixedAttributes)
        length += TextLength(attribute.keyword) + 1 + TextLength(attribute.value) + 1;
    return length;
}

// Everything in the add list but the path: the data source's entry and its NUL, "DBQ=" and the
// path's NUL, the fixed entries, and the NUL that closes the list.
const size_t kAddListOverhead = sizeof VORNAKDSN_DATA_SOURCE_ENTRY +
                                sizeof VORNAKDSN_PATH_KEYWORD "=" + FixedEntriesLength() + 1;
const size_t kMaxDatabasePathLength = kAddListSize - kAddListOverhead;
// The limit as the help and the refusal spell it, held to the one it follows from.
#define VORNAKDSN_MAX_DATABASE_PATH_TEXT "4024"
constexpr size_t DecimalValue(const char* digits, size_t value = 0)
{
    return *digits ? DecimalValue(digits + 1, 10 * value + (*digits - '0')) : value;
}
static_assert(DecimalValue(VORNAKDSN_MAX_DATABASE_PATH_TEXT) == kMaxDatabasePathLength,
              "the limit's text is the limit");

// Fills list with the five entries of the add list for a path of at most
// kMaxDatabasePathLength bytes, copied byte for byte.
void BuildAddList(char (&list)[kAddListSize], const char* databasePath);

#endif
