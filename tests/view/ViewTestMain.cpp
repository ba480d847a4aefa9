// GoogleTest entry for the view tests: one QApplication for the run. Listing the tests (which the
// build does to register them) needs no display, so it makes no application.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define VEXLOR_LEAK_CHECK() __lsan_do_leak_check()
#else
#define VEXLOR_LEAK_CHECK() (void)0
#endif

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
#if defined(__SANITIZE_ADDRESS__)
    // The leak check stops every thread of the process to read their stacks, and it crashed now
    // and then while Mesa's software renderer kept threads of its own (one per processor, besides
    // its shader cache's). Without them the check meets only the threads of Qt and the tests.
    // Set before anything is loaded, so the programs the tests start inherit it too.
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
#endif
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
