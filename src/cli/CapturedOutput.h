// One file's standard output while other files are worked on: kept in memory up to a limit and in
// an unnamed temporary file beyond it, so that the report of a large model, hundreds of megabytes,
// costs disk space rather than memory until its turn to be written comes.
#pragma once

#include <cstdio>
#include <string>

#include "reader/ByteOutput.h"

namespace vexlor::cli {

class CapturedOutput : public ByteOutput {
  public:
    static constexpr size_t kDefaultMemoryLimit = size_t{4} << 20;

    explicit CapturedOutput(size_t memoryLimit = kDefaultMemoryLimit);
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;
    ~CapturedOutput() override;

    void Write(const void* data, size_t size) override;
    // Standard output is written front to back only.
    void WriteAt(int64_t, const void*, size_t) override { Fail("cannot write back into it"); }
    bool Failed() const override { return !reason_.empty(); }
    // Why keeping the output failed (the temporary file could not be made or written).
    const std::string& Reason() const { return reason_; }
    // Whether a temporary file was needed.
    bool Spilled() const { return file_ >= 0; }

    // Writes everything kept to `out`, in order; false when reading it back fails.
    bool CopyTo(std::FILE* out);

  private:
    void Spill();
    void Fail(const std::string& reason);

    size_t memoryLimit_;
    std::string memory_;
    int file_ = -1;
    std::string reason_;
};

}  // namespace vexlor::cli
