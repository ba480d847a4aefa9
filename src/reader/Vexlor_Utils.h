// The report's line output (ReportSink) and its number texts.
// Every reader and check writes its report through one ReportSink: to the report file when
// ReportToFile is on (and a file is attached), to the in-memory report list when ReportToList is
// on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "NumberText.h"

namespace vexlor {

// Where report lines go when ReportToFile is on; it ends each line itself (CR LF for text files).
class LineOutput {
  public:
    virtual ~LineOutput() = default;
    virtual void WriteLine(std::string_view line) = 0;
};

class ReportSink {
  public:
    explicit ReportSink(NumberText numbers = NumberText()) : numbers_(std::move(numbers)) {}

    bool ReportToList = false;
    bool ReportToFile = false;

    // The report file of a Save ASCII run; nullptr when none is open.
    void SetReportFile(LineOutput* file) { file_ = file; }

    // To the file (when on and open), then to the list (when on).
    void ReportLine(std::string_view line) {
        if (ReportToFile && file_ != nullptr) file_->WriteLine(line);
        if (ReportToList) list_.emplace_back(line);
    }
    // To the list only.
    void ReportListLine(std::string_view line) {
        if (ReportToList) list_.emplace_back(line);
    }

    // Whether a ReportLine would land anywhere: readers skip building lines when it would not.
    bool Active() const { return ReportToList || (ReportToFile && file_ != nullptr); }

    const std::vector<std::string>& List() const { return list_; }
    void ClearList() { list_.clear(); }

    const NumberText& Numbers() const { return numbers_; }
    std::string IntText(int64_t n) const { return NumberText::IntText(n); }
    std::string FloatText(float x) const { return numbers_.FloatText(x); }
    std::string TripleText(float x, float y, float z) const { return numbers_.TripleText(x, y, z); }

  private:
    NumberText numbers_;
    LineOutput* file_ = nullptr;
    std::vector<std::string> list_;
};

}  // namespace vexlor
