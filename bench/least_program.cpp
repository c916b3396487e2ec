// The least program that does the tool's job: linked to the ODBC installer, it makes the same
// two requests with the same lists, and nothing else. The benchmark measures the tool's
// run-time binding and choosing of the installer against it.
//
// Built a second time with LEAST_PROGRAM_WITH_USER32, it also links the user library, as any
// program that can show a message box does; that start-up cost is then the same on both sides.
#include <windows.h>
#include <odbcinst.h>

#include "attribute_list.h"

int main(int argc, char* argv[])
{
    if (argc < 2) {
#ifdef LEAST_PROGRAM_WITH_USER32
        MessageBoxA(NULL, "usage: least_program DATABASE-PATH", "least_program", MB_OK);
#endif
        return 2;
    }
    SQLConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, kDriverDescription, kRemoveList);
    char addList[kAddListSize];
    BuildAddList(addList, argv[1]);
    SQLConfigDataSource(NULL, ODBC_ADD_SYS_DSN, kDriverDescription, addList);
    return 0;
}
