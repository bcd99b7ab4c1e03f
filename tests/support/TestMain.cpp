#include <gtest/gtest.h>

#include <cstdio>

#include "support/BoxWatcher.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    installBoxGuard();
    int result = RUN_ALL_TESTS();
    if (unexpectedBoxCount() != 0) {
        std::fprintf(stderr, "%d unexpected message box(es) were cancelled\n", unexpectedBoxCount());
        result = 1;
    }
    return result;
}
