// Entry point of every test executable: resources load from the test module
// itself, which carries the installer's resource script.
#include <windows.h>
#include <gtest/gtest.h>
#include "app/globals.h"

int main(int argc, char **argv)
{
    ghInst = GetModuleHandleA(NULL);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
