// The progress line of a run over several files, on standard error when that is a terminal:
// "vexlor: 37/1000 files, 12.5 files/s", redrawn in place at most ten times a second and erased
// before anything else is written, so that it never gets into a file or a pipe.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace vexlor::cli {

// The line's text, without the carriage return and erasure around it.
std::string ProgressText(size_t done, size_t total, double seconds);

class ProgressLine {
  public:
    // Shows nothing unless `shown` (the caller asks whether standard error is a terminal).
    ProgressLine(bool shown, size_t total, std::FILE* terminal = stderr);
    ~ProgressLine() { Erase(); }

    // `done` files are finished; redraws the line unless it was drawn less than 0.1 s ago (the
    // last file always redraws it). Erased, it stays off until the next redraw.
    void Update(size_t done);
    // Takes the line off the terminal, before other output.
    void Erase();

  private:
    using Clock = std::chrono::steady_clock;

    bool shown_;
    size_t total_;
    std::FILE* terminal_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point drawn_{};
    bool visible_ = false;
};

}  // namespace vexlor::cli
