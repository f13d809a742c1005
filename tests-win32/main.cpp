// The Win32 backend test program. Run without arguments it runs the tests; run with one of the
// helper options it is the other process of a test (see win32_test_support.h).
#include <gtest/gtest.h>

#include <cstring>

#include "win32_test_support.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], quvex::win32test::kLoadOption) == 0) {
        return quvex::win32test::load_and_release(argv[2]);
    }
    if (argc == 2 && std::strcmp(argv[1], quvex::win32test::kVirtualCardsOption) == 0) {
        return quvex::win32test::run_virtual_cards();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
