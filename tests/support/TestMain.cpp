#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

// Shared entry point of the test programs that need no event loop.
int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
