// main() for test programs without Qt.
#include "support/TestHome.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    kelvarin::test::useOwnHomeFolder(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
