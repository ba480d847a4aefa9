// Finding lines and records in the runs.
#include "reader/ReportLineMap.h"

#include <algorithm>

namespace vexlor {

std::optional<RecordRef> ReportLineMap::RecordOfLine(int64_t line) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), line,
                         [](int64_t l, const Run& run) { return l < run.FirstLine; });
    if (after == runs_.begin()) return std::nullopt;
    const Run& run = *std::prev(after);
    const int64_t within = line - run.FirstLine;
    if (within >= run.LinesPerRecord * run.Records) return std::nullopt;
    RecordRef record = run.First;
    record.Record += within / run.LinesPerRecord;
    if (!run.Lines.empty()) {
        const LineShows& shows = run.Lines[static_cast<size_t>(within % run.LinesPerRecord)];
        record.Region = shows.Region;
        record.Field = shows.Field;
    }
    return record;
}

std::optional<int64_t> ReportLineMap::LineOfRecord(const RecordRef& record) const {
    std::optional<int64_t> ofRecord;
    for (const Run& run : runs_) {
        const RecordRef& first = run.First;
        if (first.Block != record.Block || first.Type != record.Type) continue;
        const int64_t index = record.Record - first.Record;
        if (index < 0 || index >= run.Records) continue;
        for (int64_t k = 0; k < run.LinesPerRecord; ++k) {
            const LineShows shows = run.Lines.empty() ? LineShows{first.Region, first.Field}
                                                      : run.Lines[static_cast<size_t>(k)];
            if (shows.Region != record.Region) continue;
            const int64_t line = run.FirstLine + index * run.LinesPerRecord + k;
            if (record.Field < 0 || shows.Field == record.Field) return line;
            if (!ofRecord) ofRecord = line;
        }
    }
    return ofRecord;
}

}  // namespace vexlor
