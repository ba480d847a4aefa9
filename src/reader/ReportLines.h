// A report's lines held as the bytes they are, once: the full report of a large model has millions
// of lines, and a string per line costs twice the report's size again in headers and heap blocks.
// Lines are packed into chunks of a few MiB with four bytes a line for where each one ends, so
// the whole costs about the report's size; a line is read back as a view of its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reader/ReportSink.h"

namespace vexlor {

class ReportLines {
    struct Chunk {
        std::unique_ptr<char[]> Bytes;
        size_t Capacity = 0;
        size_t Used = 0;
        size_t FirstRow = 0;
        std::vector<uint32_t> Ends;  // where each of its lines ends, from the chunk's start
    };

  public:
    // Walks the lines in order without looking a row up each step.
    class Iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        Iterator() = default;
        std::string_view operator*() const;
        Iterator& operator++();
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator& other) const { return row_ == other.row_; }
        size_t Row() const { return row_; }

      private:
        friend class ReportLines;
        Iterator(const ReportLines* lines, size_t chunk, size_t inChunk, size_t row)
            : lines_(lines), chunk_(chunk), inChunk_(inChunk), row_(row) {}
        const ReportLines* lines_ = nullptr;
        size_t chunk_ = 0;
        size_t inChunk_ = 0;
        size_t row_ = 0;
    };

    ReportLines() = default;
    ReportLines(std::initializer_list<std::string_view> lines);
    explicit ReportLines(const std::vector<std::string>& lines);

    void Append(std::string_view line);

    size_t size() const { return rows_; }
    bool empty() const { return rows_ == 0; }
    std::string_view operator[](size_t row) const;
    // The row of the longest line (the first of them); -1 when there are none.
    int64_t LongestRow() const { return longestRow_; }
    // Bytes of the lines, without line ends.
    size_t ByteCount() const { return bytes_; }

    Iterator begin() const { return At(0); }
    Iterator end() const { return Iterator(this, chunks_.size(), 0, rows_); }
    // An iterator at `row` (end() past the last line).
    Iterator At(size_t row) const;

  private:
    size_t ChunkOfRow(size_t row) const;

    std::vector<Chunk> chunks_;
    size_t rows_ = 0;
    size_t bytes_ = 0;
    int64_t longestRow_ = -1;
    size_t longestBytes_ = 0;
};

// A report file whose lines are kept in a ReportLines (Inspect > Full report).
class ReportLinesOutput : public LineOutput {
  public:
    explicit ReportLinesOutput(ReportLines& lines) : lines_(lines) {}
    void WriteLine(std::string_view line) override { lines_.Append(line); }

  private:
    ReportLines& lines_;
};

}  // namespace vexlor
