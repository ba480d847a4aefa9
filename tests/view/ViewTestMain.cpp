// GoogleTest entry for the view tests: one QApplication for the run. Listing the tests (which the
// build does to register them) needs no display, so it makes no application.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>
#include <memory>

#include "reader/SanitizerOptions.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define VEXLOR_LEAK_CHECK() __lsan_do_leak_check()
// See SanitizerOptions.h.
extern "C" const char* __asan_default_options() {
    return VEXLOR_ASAN_DEFAULT_OPTIONS;
}
#else
#define VEXLOR_LEAK_CHECK() (void)0
#endif

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
    std::unique_ptr<QApplication> application;
    if (!listing) {
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // Leaks are looked for while the application still holds the graphics driver: what the tests
    // leaked is unreachable by then, while the blocks Mesa keeps for the process are still in
    // use. After Qt has unloaded its plugins the driver's blocks can no longer be told apart.
    VEXLOR_LEAK_CHECK();
    return status;
}
