// Complete-or-nothing file writing for the saves.
#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace vexlor {

namespace {
constexpr size_t kBufferSize = size_t{1} << 20;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t NewFileMode(const std::string& target) {
    struct stat info {};
    if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}
}  // namespace

AtomicFile::~AtomicFile() {
    Abandon();
}

void AtomicFile::Fail(int error) {
    if (!failed_) reason_ = std::strerror(error);
    failed_ = true;
}

bool AtomicFile::Create(const std::string& target) {
    Abandon();
    failed_ = false;
    reason_.clear();
    target_ = target;
    struct stat info {};
    if (stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            Fail(EISDIR);
            return false;
        }
        // Devices, pipes and the like are never replaced by a renamed file.
        if (!S_ISREG(info.st_mode)) {
            reason_ = "Not a regular file";
            failed_ = true;
            return false;
        }
        // Renaming over a read-only file would succeed; refuse it as writing into it would. A
        // file without any write permission is read-only even to a user whom the system lets
        // write anything (root).
        if (access(target.c_str(), W_OK) != 0) {
            Fail(errno);
            return false;
        }
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            Fail(EACCES);
            return false;
        }
    }
    const std::string folder = FolderOf(target);
    temporary_ = folder + "/.vexlor-save-XXXXXX";
    std::vector<char> name(temporary_.begin(), temporary_.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        Fail(errno);
        temporary_.clear();
        return false;
    }
    temporary_ = name.data();
    fchmod(fd, NewFileMode(target));
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        Fail(errno);
        close(fd);
        unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
    buffer_.reserve(kBufferSize);
    return true;
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

bool AtomicFile::Commit() {
    if (file_ == nullptr) return false;
    FlushBuffer();
    if (!failed_ && std::fflush(file_) != 0) Fail(errno);
    if (!failed_ && fsync(fileno(file_)) != 0) Fail(errno);
    if (std::fclose(file_) != 0) Fail(errno);
    file_ = nullptr;
    if (!failed_ && std::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
    if (failed_) {
        unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
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
    buffer_.clear();
}

}  // namespace vexlor
