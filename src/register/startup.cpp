// Where Windows starts the program. Debian's mingw-w64 start-up objects are built for the
// Pentium Pro and use its conditional moves, which a Pentium, K6 or early Geode cannot run,
// while Windows NT 4.0 to XP run on them. This start-up does the part of theirs that the
// program needs, and is compiled with the program, for the Pentium.
#include <stdlib.h>

#include "command_line.h"

extern "C" {

// msvcrt's own start-up call, which every program that uses it makes; not in its headers.
void __cdecl __set_app_type(int type);

}  // extern "C"

int main(int argc, char* argv[]);

namespace {

const int kConsoleApp = 1;

typedef void (*StaticFunction)();

}  // namespace

// The lists of static constructors and destructors that the linker gathers: a count or -1
// first, then the functions, ended by a null.
extern "C" StaticFunction __CTOR_LIST__[];
extern "C" StaticFunction __DTOR_LIST__[];

namespace {

int __cdecl RunStaticDestructors()
{
    for (StaticFunction* destructor = __DTOR_LIST__ + 1; *destructor; destructor++)
        (*destructor)();
    return 0;
}

}  // namespace

// The compiler calls it at the start of main: it runs the static constructors, the last
// first, as the runtime's own does.
extern "C" void __main()
{
    size_t count = 0;
    while (__CTOR_LIST__[count + 1])
        count++;
    for (; count > 0; count--)
        __CTOR_LIST__[count]();
    _onexit(RunStaticDestructors);
}

extern "C" void mainCRTStartup()
{
    // First of all, before any library is loaded: where one cannot be (a dependency missing, a
    // damaged file), the load fails with its error instead of Windows' own box, which would
    // wait for someone to press OK on a machine that no one may be watching.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    __set_app_type(kConsoleApp);
    // Split by the runtime's standard rules; wildcards stay as given, since a path is never a
    // pattern.
    int argc = 0;
    char** argv = SplitCommandLine(&argc);
    static char* none[] = {NULL};
    int status = main(argv ? argc : 0, argv ? argv : none);
    if (argv)
        LocalFree(argv);
    exit(status);
}
