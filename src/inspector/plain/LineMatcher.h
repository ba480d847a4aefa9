// Plain-text, case-insensitive search in report lines. Report lines are single-byte (Latin-1)
// text; letters match whatever their case, and a zero byte (which the report list shows as "·")
// matches a "·" in the search text. The search skips ahead like Boyer-Moore-Horspool, so long
// reports are searched at memory speed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reader/ReportLines.h"

namespace vexlor::inspector {

class LineMatcher {
  public:
    static constexpr size_t npos = std::string_view::npos;

    // `needle` is Latin-1 text; an empty needle matches nothing.
    explicit LineMatcher(std::string_view needle = {});

    bool Empty() const { return needle_.empty(); }
    size_t Length() const { return needle_.size(); }
    // Where the first occurrence at or after `from` starts, or npos.
    size_t Find(std::string_view line, size_t from = 0) const;
    bool Matches(std::string_view line) const { return Find(line) != npos; }
    // Appends the rows in [first, last) of `lines` that hold the needle.
    void MatchRows(const ReportLines& lines, size_t first, size_t last,
                   std::vector<int32_t>& rows) const;

  private:
    std::string needle_;  // folded
    std::array<uint8_t, 256> fold_{};
    std::array<size_t, 256> skip_{};
};

}  // namespace vexlor::inspector
