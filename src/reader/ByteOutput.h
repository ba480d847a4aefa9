// Byte destinations of the saves and the export: the interface they write through, a destination
// in memory, and report lines written as bytes, each ended by CR LF.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "reader/ReportSink.h"

namespace vexlor {

// Byte destination of the saves: appends and, for the PRJ count, one write at an earlier position.
class ByteOutput {
  public:
    virtual ~ByteOutput() = default;
    virtual void Write(const void* data, size_t size) = 0;
    virtual void WriteAt(int64_t position, const void* data, size_t size) = 0;
    virtual bool Failed() const = 0;
};

class MemoryOutput : public ByteOutput {
  public:
    void Write(const void* data, size_t size) override;
    void WriteAt(int64_t position, const void* data, size_t size) override;
    bool Failed() const override { return false; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

// Report lines to a byte output, each ended by CR LF.
class CrLfLineOutput : public LineOutput {
  public:
    explicit CrLfLineOutput(ByteOutput& out) : out_(out) {}
    void WriteLine(std::string_view line) override;

  private:
    ByteOutput& out_;
};

}  // namespace vexlor
