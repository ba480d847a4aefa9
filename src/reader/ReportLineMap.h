// Which record each line of a report shows, for the lines that show one: what leads from a report
// line to its record's bytes (RangeOf) and from a record back to its lines. A report writer keeps
// it only when asked, as runs of lines: a block's thousand vertices are one run.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "reader/RecordPlaces.h"

namespace vexlor {

// What one of a record's lines shows: a region of the record's block and a field of it (-1 for
// the whole record).
struct LineShows {
    int32_t Region = 0;
    int32_t Field = -1;
};

class ReportLineMap {
  public:
    struct Run {
        int64_t FirstLine = 0;
        int64_t LinesPerRecord = 1;
        int64_t Records = 1;
        RecordRef First;  // the run's first record; the others follow it in its region
        // What each of a record's lines shows; empty when every line shows First's region and
        // field.
        std::span<const LineShows> Lines;
    };

    // Runs are added in the order of their lines.
    void Add(const Run& run) { runs_.push_back(run); }

    // The record (or field) line `line` shows; nothing for a line that shows none.
    std::optional<RecordRef> RecordOfLine(int64_t line) const;
    // The first line that shows the record or any of its fields; nothing when no line does.
    std::optional<int64_t> LineOfRecord(const RecordRef& record) const;

  private:
    std::vector<Run> runs_;
};

}  // namespace vexlor
