// Writing a file so that it appears only when complete: the bytes go to a temporary file beside
// the target, which is flushed, synced and renamed over the target on Commit. A failed or
// abandoned write, or one ended by SIGINT, SIGTERM or SIGHUP, removes the temporary file and
// leaves any existing target untouched. A target that is a symbolic link stays one: the file it
// names is replaced. The new file gets the replaced file's permissions, or a new file's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "reader/ByteOutput.h"
#include "reader/Result.h"
#include "reader/TemporaryFiles.h"

namespace vexlor {

class AtomicFile : public ByteOutput {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() override;  // abandons an uncommitted file

    // Creates the temporary file. A failure ("Cannot create file TARGET") when the target cannot
    // be written: folder missing or not writable, target refused by MayReplace.
    Result Create(const std::string& target);
    void Write(const void* data, size_t size) override;
    void WriteAt(int64_t position, const void* data, size_t size) override;
    bool Failed() const override { return failed_; }
    // Flushes, syncs and renames over the target. On any failure of a write or of the commit,
    // "Cannot write file TARGET" and nothing left behind.
    Result Commit();
    void Abandon();

  private:
    void Fail(int error);
    void FlushBuffer();

    std::FILE* file_ = nullptr;
    std::string named_;   // the target as the caller named it
    std::string target_;  // the file replaced: links resolved
    std::string temporary_;
    TemporaryName registered_;
    std::vector<char> buffer_;
    bool failed_ = false;
    std::string reason_;
};

}  // namespace vexlor
