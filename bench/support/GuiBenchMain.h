// main() for the benchmarks that need a QApplication: widgets, painting, OpenGL.
#pragma once

#include "BenchMain.h"

#include <QApplication>

#include <cstdlib>

namespace vexlor::bench {

enum class Display {
    Required,         // OpenGL through the display's driver: no display, no run
    OffscreenWithout  // painting and lists need no driver: offscreen when DISPLAY is unset
};

inline int RunGuiBenchmarks(int argc, char** argv, Display display) {
    if (display == Display::OffscreenWithout && std::getenv("DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    return RunBenchmarks(argc, argv);
}

}  // namespace vexlor::bench
