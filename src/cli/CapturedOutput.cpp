// Output kept in memory, then in an unnamed temporary file.
#include "cli/CapturedOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "reader/TemporaryFiles.h"

namespace vexlor::cli {

namespace {

// A file in $TMPDIR (else /tmp) that no name refers to: it goes away with its descriptor, also when
// the program is killed.
int UnnamedTemporaryFile(std::string& reason) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern =
        (folder && *folder ? std::string(folder) : std::string("/tmp")) + "/vexlor-output-XXXXXX";
    const TemporaryFiles::Creation creation;
    const int file = mkostemp(pattern.data(), O_CLOEXEC);
    if (file < 0) {
        reason = "cannot create a temporary file in " + pattern.substr(0, pattern.rfind('/')) +
                 ": " + std::strerror(errno);
        return -1;
    }
    // For the moment it has a name, a signal's clean-up removes it too.
    const TemporaryName named(pattern, false);
    unlink(pattern.c_str());
    return file;
}

bool WriteAll(int file, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(file, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

CapturedOutput::CapturedOutput(size_t memoryLimit) : memoryLimit_(memoryLimit) {}

CapturedOutput::~CapturedOutput() {
    if (file_ >= 0) close(file_);
}

void CapturedOutput::Fail(const std::string& reason) {
    if (reason_.empty()) reason_ = reason;
}

void CapturedOutput::Write(const void* data, size_t size) {
    if (Failed()) return;
    memory_.append(static_cast<const char*>(data), size);
    if (memory_.size() > memoryLimit_) Spill();
}

void CapturedOutput::Spill() {
    if (file_ < 0) {
        std::string reason;
        file_ = UnnamedTemporaryFile(reason);
        if (file_ < 0) return Fail(reason);
    }
    if (!WriteAll(file_, memory_.data(), memory_.size()))
        return Fail(std::string("cannot write a temporary file: ") + std::strerror(errno));
    memory_.clear();
}

bool CapturedOutput::CopyTo(std::FILE* out) {
    if (file_ >= 0) {
        if (lseek(file_, 0, SEEK_SET) != 0) return false;
        std::vector<char> buffer(size_t{1} << 20);
        for (;;) {
            const ssize_t got = read(file_, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return false;
            if (got == 0) break;
            std::fwrite(buffer.data(), 1, static_cast<size_t>(got), out);
        }
    }
    std::fwrite(memory_.data(), 1, memory_.size(), out);
    return true;
}

}  // namespace vexlor::cli
