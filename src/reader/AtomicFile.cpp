// Complete-or-nothing file writing for the saves.
#include "reader/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "reader/WriteTarget.h"

namespace vexlor {

namespace {
constexpr size_t kBufferSize = size_t{1} << 20;

// Gives the new file the replaced file's owner and group. A user who may not give them (not
// root, another user's file) keeps the file as theirs: that is no failure.
bool KeepOwner(int fd, const struct stat& replaced) {
    struct stat created {};
    if (fstat(fd, &created) != 0) return false;
    if (created.st_uid == replaced.st_uid && created.st_gid == replaced.st_gid) return true;
    if (fchown(fd, replaced.st_uid, replaced.st_gid) == 0) return true;
    if (errno != EPERM) return false;
    // The group alone may still be the user's to give.
    return created.st_gid == replaced.st_gid ||
           fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) == 0 || errno == EPERM;
}
}  // namespace

AtomicFile::~AtomicFile() {
    Abandon();
}

void AtomicFile::Fail(int error) {
    if (!failed_) reason_ = std::strerror(error);
    failed_ = true;
}

Result AtomicFile::Create(const std::string& target, Leftovers leftovers) {
    Abandon();
    failed_ = false;
    reason_.clear();
    named_ = target;
    const auto failure = [&] {
        failed_ = true;
        return Result::Failure("Cannot create file " + target, reason_);
    };
    const Expected<std::string> resolved = ResolveWriteTarget(target);
    if (!resolved.Ok()) {
        reason_ = resolved.Reason();
        return failure();
    }
    target_ = resolved.Value();
    if (const Result replace = MayReplace(target_); !replace.Ok()) {
        reason_ = replace.Reason();
        return failure();
    }
    if (leftovers == Leftovers::Remove) RemoveLeftovers(FolderOf(target_));
    int fd = -1;
    {
        const TemporaryFiles::Creation creation;
        if (creation.Interrupted()) {
            Fail(EINTR);
            return failure();
        }
        fd = CreateUniqueFile(FolderOf(target_), TemporaryPrefix("save"), temporary_);
        if (fd < 0) {
            Fail(errno);
            temporary_.clear();
            return failure();
        }
        registered_ = TemporaryName(temporary_, false);
    }
    // A replaced file keeps its owner, group and permissions; a new one has those the umask
    // leaves. The owner first: a change of owner takes the set-user-id bits off.
    struct stat existing {};
    if (stat(target_.c_str(), &existing) == 0 &&
        (!KeepOwner(fd, existing) || fchmod(fd, existing.st_mode & 07777) != 0)) {
        Fail(errno);
        close(fd);
        Abandon();
        return failure();
    }
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        Fail(errno);
        close(fd);
        Abandon();
        return failure();
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
    buffer_.reserve(kBufferSize);
    return {};
}

void AtomicFile::FlushBuffer() {
    if (file_ == nullptr || buffer_.empty()) return;
    if (!failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        Fail(errno != 0 ? errno : EIO);
    buffer_.clear();
}

void AtomicFile::Write(const void* data, size_t size) {
    if (file_ == nullptr || failed_) return;
    if (buffer_.size() + size > kBufferSize) FlushBuffer();
    if (size >= kBufferSize) {
        if (std::fwrite(data, 1, size, file_) != size) Fail(errno != 0 ? errno : EIO);
        return;
    }
    const auto* bytes = static_cast<const char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
}

void AtomicFile::WriteAt(int64_t position, const void* data, size_t size) {
    if (file_ == nullptr || failed_) return;
    FlushBuffer();
    if (fseeko(file_, position, SEEK_SET) != 0 || std::fwrite(data, 1, size, file_) != size ||
        fseeko(file_, 0, SEEK_END) != 0)
        Fail(errno != 0 ? errno : EIO);
}

Result AtomicFile::Commit() {
    const auto failure = [&] { return Result::Failure("Cannot write file " + named_, reason_); };
    if (file_ == nullptr) return failure();
    FlushBuffer();
    if (!failed_ && std::fflush(file_) != 0) Fail(errno);
    if (!failed_ && fsync(fileno(file_)) != 0) Fail(errno);
    if (std::fclose(file_) != 0) Fail(errno);
    file_ = nullptr;
    if (!failed_ && std::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
    if (failed_) {
        Abandon();
        return failure();
    }
    temporary_.clear();
    registered_.Release();
    return {};
}

void AtomicFile::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
    registered_.Release();
    buffer_.clear();
}

}  // namespace vexlor
