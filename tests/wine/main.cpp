// Entry point of the in-process tests: every test starts with the settings
// key deleted (see the fixtures) and runs on this one thread.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
