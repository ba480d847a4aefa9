// Where one operation's report lines go. Every reader and check writes its report through a
// ReportSink made for that operation: to a report file (Save ASCII), to a list of lines (the block
// display, the check), to both, or nowhere (the open, the preview, Save PRJ).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reader/NumberText.h"

namespace vexlor {

// A report file: it ends each line itself (CR LF for the text report).
class LineOutput {
  public:
    virtual ~LineOutput() = default;
    virtual void WriteLine(std::string_view line) = 0;
};

class ReportSink {
  public:
    // Lines go to `file` and/or are appended to `list`; either may be null.
    ReportSink(const NumberText& numbers, std::vector<std::string>* list, LineOutput* file)
        : numbers_(numbers), list_(list), file_(file) {}
    // A sink that takes no lines.
    static ReportSink Silent(const NumberText& numbers) { return {numbers, nullptr, nullptr}; }

    // To the file, then to the list.
    void ReportLine(std::string_view line) {
        if (file_ != nullptr) {
            file_->WriteLine(line);
            ++fileLines_;
        }
        if (list_ != nullptr) list_->emplace_back(line);
    }
    // To the list only: lines that the list shows and the report file leaves out.
    void ReportListLine(std::string_view line) {
        if (list_ != nullptr) list_->emplace_back(line);
    }

    // Whether a ReportLine would land anywhere: readers skip building lines when it would not.
    bool Active() const { return list_ != nullptr || file_ != nullptr; }
    bool ToList() const { return list_ != nullptr; }
    // Lines in the list so far.
    size_t ListedLines() const { return list_ != nullptr ? list_->size() : 0; }
    // Lines so far where they are read: in the list when there is one, else in the file.
    int64_t LineCount() const {
        return list_ != nullptr ? static_cast<int64_t>(list_->size()) : fileLines_;
    }

    const NumberText& Numbers() const { return numbers_; }
    std::string IntText(int64_t n) const { return NumberText::IntText(n); }
    std::string FloatText(float x) const { return numbers_.FloatText(x); }
    std::string TripleText(float x, float y, float z) const { return numbers_.TripleText(x, y, z); }

  private:
    const NumberText& numbers_;
    std::vector<std::string>* list_;
    LineOutput* file_;
    int64_t fileLines_ = 0;
};

}  // namespace vexlor
