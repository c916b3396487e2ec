#include <gtest/gtest.h>

#include <cstdio>

#include "files.h"
#include "test_machine.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: end_to_end_tests PROGRAM STANDIN-FOLDER "
                             "SYSTEM-DIRECTORY-ON-DISK (Unix paths)\n");
        return 2;
    }
    SetBuildPaths(WindowsPath(argv[1]), WindowsPath(argv[2]), WindowsPath(argv[3]));
    return RUN_ALL_TESTS();
}
