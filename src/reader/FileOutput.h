// Writing a file so that it appears only when complete: the bytes go to a temporary file beside
// the target, which is flushed, synced and renamed over the target on Commit. A failed or
// abandoned write removes the temporary file and leaves any existing target untouched.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Vexlor_Utils.h"

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

class AtomicFile : public ByteOutput {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() override;  // abandons an uncommitted file

    // Creates the temporary file. False when the target cannot be written (folder missing or
    // not writable, target read-only or a directory); Reason() says why.
    bool Create(const std::string& target);
    void Write(const void* data, size_t size) override;
    void WriteAt(int64_t position, const void* data, size_t size) override;
    bool Failed() const override { return failed_; }
    // Flushes, syncs and renames over the target. False (and nothing left behind) on any failure.
    bool Commit();
    void Abandon();
    const std::string& Reason() const { return reason_; }

  private:
    void Fail(int error);
    void FlushBuffer();

    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    std::vector<char> buffer_;
    bool failed_ = false;
    std::string reason_;
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
