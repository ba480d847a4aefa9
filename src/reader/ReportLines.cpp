// Packing report lines into chunks and reading them back.
#include "reader/ReportLines.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vexlor {

namespace {

// Chunks start small, so that a list of a few lines costs little, and grow to a size whose
// unused tail (a line that does not fit starts the next chunk) is a small part of the whole.
constexpr size_t kFirstChunkBytes = size_t{64} << 10;
constexpr size_t kLargestChunkBytes = size_t{4} << 20;

}  // namespace

ReportLines::ReportLines(std::initializer_list<std::string_view> lines) {
    for (const std::string_view line : lines)
        Append(line);
}

ReportLines::ReportLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        Append(line);
}

void ReportLines::Append(std::string_view line) {
    // A line's end is kept in four bytes; the report writer's lines are far shorter.
    if (line.size() > std::numeric_limits<uint32_t>::max())
        throw std::length_error("a report line longer than 4 GiB");
    if (chunks_.empty() || chunks_.back().Capacity - chunks_.back().Used < line.size()) {
        const size_t grown = chunks_.empty()
                                 ? kFirstChunkBytes
                                 : std::min(kLargestChunkBytes, chunks_.back().Capacity * 2);
        if (!chunks_.empty()) chunks_.back().Ends.shrink_to_fit();
        Chunk chunk;
        chunk.Capacity = std::max(grown, line.size());
        chunk.Bytes = std::make_unique_for_overwrite<char[]>(chunk.Capacity);
        chunk.FirstRow = rows_;
        chunks_.push_back(std::move(chunk));
    }
    Chunk& chunk = chunks_.back();
    if (!line.empty()) std::memcpy(chunk.Bytes.get() + chunk.Used, line.data(), line.size());
    chunk.Used += line.size();
    chunk.Ends.push_back(static_cast<uint32_t>(chunk.Used));
    if (longestRow_ < 0 || line.size() > longestBytes_) {
        longestRow_ = static_cast<int64_t>(rows_);
        longestBytes_ = line.size();
    }
    ++rows_;
    bytes_ += line.size();
}

size_t ReportLines::ChunkOfRow(size_t row) const {
    const auto after = std::upper_bound(chunks_.begin(), chunks_.end(), row,
                                        [](size_t r, const Chunk& c) { return r < c.FirstRow; });
    return static_cast<size_t>(after - chunks_.begin()) - 1;
}

std::string_view ReportLines::operator[](size_t row) const {
    if (row >= rows_) return {};
    const Chunk& chunk = chunks_[ChunkOfRow(row)];
    const size_t inChunk = row - chunk.FirstRow;
    const size_t start = inChunk == 0 ? 0 : chunk.Ends[inChunk - 1];
    return {chunk.Bytes.get() + start, chunk.Ends[inChunk] - start};
}

ReportLines::Iterator ReportLines::At(size_t row) const {
    if (row >= rows_) return end();
    const size_t chunk = ChunkOfRow(row);
    return Iterator(this, chunk, row - chunks_[chunk].FirstRow, row);
}

std::string_view ReportLines::Iterator::operator*() const {
    const Chunk& chunk = lines_->chunks_[chunk_];
    const size_t start = inChunk_ == 0 ? 0 : chunk.Ends[inChunk_ - 1];
    return {chunk.Bytes.get() + start, chunk.Ends[inChunk_] - start};
}

ReportLines::Iterator& ReportLines::Iterator::operator++() {
    ++row_;
    if (++inChunk_ == lines_->chunks_[chunk_].Ends.size()) {
        ++chunk_;
        inChunk_ = 0;
    }
    return *this;
}

}  // namespace vexlor
