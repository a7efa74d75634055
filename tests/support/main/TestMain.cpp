// The main of the test programs that link the whole program: classes and
// hooks are in place before the first test, as the program has them before
// its first frame.
#include "program/RegisterAllClasses.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    RegisterAllClasses();
    return RUN_ALL_TESTS();
}
