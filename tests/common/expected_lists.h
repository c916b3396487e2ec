// The attribute lists the installer must receive, written out independently of the program.
#ifndef VORNAKDSN_TESTS_EXPECTED_LISTS_H
#define VORNAKDSN_TESTS_EXPECTED_LISTS_H

#include <string>

inline std::string ExpectedRemoveList()
{
    return std::string("DSN=vornakDsnStore\0\0", 20);
}

// Entries and the closing NUL; the program's buffer holds zeros after them.
inline std::string ExpectedAddList(const std::string& databasePath)
{
    return std::string("DSN=vornakDsnStore\0DBQ=", 23) + databasePath +
           std::string("\0MaxBufferSize=2048\0PageTimeout=5\0FIL=MS Access\0\0", 49);
}

#endif
