// The progress line of a run over several files.
#include "cli/ProgressLine.h"

namespace vexlor::cli {

std::string ProgressText(size_t done, size_t total, double seconds) {
    char rate[32] = "";
    if (seconds > 0) std::snprintf(rate, sizeof rate, ", %.1f files/s", done / seconds);
    return "vexlor: " + std::to_string(done) + "/" + std::to_string(total) + " files" + rate;
}

ProgressLine::ProgressLine(bool shown, size_t total, std::FILE* terminal)
    : shown_(shown), total_(total), terminal_(terminal) {}

void ProgressLine::Update(size_t done) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (done < total_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // Back to the line's start, the text, then erase what a longer earlier text left.
    std::fprintf(terminal_, "\r%s\033[K", ProgressText(done, total_, seconds).c_str());
    std::fflush(terminal_);
    drawn_ = now;
    visible_ = true;
}

void ProgressLine::Erase() {
    if (!visible_) return;
    std::fputs("\r\033[K", terminal_);
    std::fflush(terminal_);
    visible_ = false;
}

}  // namespace vexlor::cli
