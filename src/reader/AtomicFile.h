// Writing a file so that it appears only when complete: the bytes go to a temporary file beside
// the target, which is flushed, synced and renamed over the target on Commit. A failed or
// abandoned write, or one ended by SIGINT, SIGTERM or SIGHUP, removes the temporary file and
// leaves any existing target untouched. A target that is a symbolic link stays one: the file it
// names is replaced. The new file gets the replaced file's owner, group and permissions (the owner
// and group as far as the system lets this user give them), or a new file's. The temporary file's
// name holds the process id, so that a write ended outright (SIGKILL) leaves a file the next write
// into the folder recognises and removes (RemoveLeftovers).
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

    // Whether Create first removes the leftovers of dead writes from the target's folder: a run
    // that writes many files into one folder does so once, for all of them.
    enum class Leftovers { Remove, Keep };

    // Creates the temporary file. A failure ("Cannot create file TARGET") when the target cannot
    // be written: folder missing or not writable, target refused by MayReplace.
    Result Create(const std::string& target, Leftovers leftovers = Leftovers::Remove);
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
