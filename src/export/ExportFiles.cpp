// Staging folder, checked file streams and the all-or-nothing rename of an export's files.
#include "export/ExportFiles.h"

#include <assimp/IOStream.hpp>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "reader/WriteTarget.h"

namespace vexlor::detail {

namespace {

constexpr const char* kBackupPrefix = ".replaced-";

// A file stream that keeps its own position and size. After the first failed write it only
// counts: the export is lost anyway, and the writers go on as over a good file (assimp's FBX
// writer asserts on the positions it reads back, which would end the process).
class CheckedStream : public Assimp::IOStream {
  public:
    CheckedStream(std::FILE* file, std::string path, CheckedIOSystem& owner, bool writing)
        : file_(file), path_(std::move(path)), owner_(owner), writing_(writing) {
        struct stat info {};
        if (fstat(fileno(file_), &info) == 0 && info.st_size > 0)
            size_ = static_cast<size_t>(info.st_size);
    }
    CheckedStream(const CheckedStream&) = delete;
    CheckedStream& operator=(const CheckedStream&) = delete;

    ~CheckedStream() override {
        errno = 0;
        if (writing_ && healthy_ && std::fflush(file_) != 0) Fail();
        errno = 0;
        if (std::fclose(file_) != 0 && writing_) Fail();
    }

    size_t Read(void* buffer, size_t size, size_t count) override {
        if (!healthy_ || size == 0) return 0;
        const size_t got = std::fread(buffer, size, count, file_);
        position_ += got * size;
        return got;
    }

    size_t Write(const void* buffer, size_t size, size_t count) override {
        if (size == 0 || count == 0) return 0;
        if (healthy_) {
            errno = 0;
            if (std::fwrite(buffer, size, count, file_) != count) Fail();
        }
        position_ += size * count;
        size_ = std::max(size_, position_);
        return count;
    }

    aiReturn Seek(size_t offset, aiOrigin origin) override {
        const size_t base = origin == aiOrigin_SET ? 0 : origin == aiOrigin_CUR ? position_ : size_;
        const size_t target = base + offset;
        if (healthy_ && fseeko(file_, static_cast<off_t>(target), SEEK_SET) != 0) {
            if (!writing_) return aiReturn_FAILURE;
            Fail();
        }
        position_ = target;
        return aiReturn_SUCCESS;
    }

    size_t Tell() const override { return position_; }
    size_t FileSize() const override { return size_; }

    void Flush() override {
        errno = 0;
        if (writing_ && healthy_ && std::fflush(file_) != 0) Fail();
    }

  private:
    void Fail() {
        owner_.Fail(path_, errno != 0 ? errno : EIO);
        healthy_ = false;
    }

    std::FILE* file_;
    std::string path_;
    CheckedIOSystem& owner_;
    bool writing_;
    bool healthy_ = true;
    size_t position_ = 0;
    size_t size_ = 0;
};

bool IsFile(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

struct Moved {
    std::string Destination;
    std::string Backup;  // empty when nothing was replaced (or it could not be kept)
};

// Takes back what was moved: restores the replaced files, removes the new ones.
void TakeBack(const std::vector<Moved>& moved) {
    for (auto back = moved.rbegin(); back != moved.rend(); ++back) {
        if (back->Backup.empty())
            unlink(back->Destination.c_str());
        else
            std::rename(back->Backup.c_str(), back->Destination.c_str());
    }
}

bool SyncFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

std::string CheckedIOSystem::Resolve(const char* file) const {
    const std::string path = file == nullptr ? std::string() : std::string(file);
    if (path.empty() || path.front() == '/') return path;
    // A relative path that already starts with the folder is the staged main file itself.
    if (path.compare(0, folder_.size() + 1, folder_ + "/") == 0) return path;
    return folder_ + "/" + path;
}

bool CheckedIOSystem::Exists(const char* file) const {
    struct stat info {};
    return stat(Resolve(file).c_str(), &info) == 0;
}

Assimp::IOStream* CheckedIOSystem::Open(const char* file, const char* mode) {
    const std::string path = Resolve(file);
    const std::string how = mode == nullptr ? "rb" : mode;
    const bool writing = how.find_first_of("wa+") != std::string::npos;
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), how.c_str());
    if (stream == nullptr) {
        if (writing) Fail(path, errno != 0 ? errno : EIO);
        return nullptr;
    }
    return new CheckedStream(stream, path, *this, writing);
}

void CheckedIOSystem::Close(Assimp::IOStream* stream) {
    delete stream;
}

void CheckedIOSystem::Fail(const std::string& file, int error) {
    if (!failedFile_.empty()) return;
    failedFile_ = file;
    reason_ = std::strerror(error);
}

// ---------------------------------------------------------------------------------------------

StagingFolder::~StagingFolder() {
    Remove();
}

void StagingFolder::Remove() {
    if (folder_.empty()) return;
    if (DIR* dir = opendir(folder_.c_str())) {
        std::vector<std::string> names;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
        for (const std::string& name : names)
            unlink((folder_ + "/" + name).c_str());
    }
    rmdir(folder_.c_str());
    folder_.clear();
    registered_.Release();
}

Result StagingFolder::Create(const std::string& target) {
    Remove();
    target_ = target;
    const auto failure = [&](int error) {
        return Result::Failure("Cannot create file " + target, std::strerror(error));
    };
    if (NameOf(target).empty()) return failure(EISDIR);
    const Expected<std::string> resolved = ResolveWriteTarget(target);
    if (!resolved.Ok()) return resolved.Status();
    written_ = resolved.Value();
    targetFolder_ = FolderOf(written_);
    targetName_ = NameOf(target);
    if (const Result replace = MayReplace(written_); !replace.Ok())
        return Result::Failure("Cannot create file " + target, replace.Reason());
    RemoveLeftovers(targetFolder_);
    std::string pattern = targetFolder_ + "/" + TemporaryPrefix("export") + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const TemporaryFiles::Creation creation;
    if (creation.Interrupted() || mkdtemp(name.data()) == nullptr)
        return failure(creation.Interrupted() ? EINTR : errno);
    folder_ = name.data();
    registered_ = TemporaryName(folder_, true);
    return {};
}

std::string StagingFolder::Beside(const std::string& name) const {
    if (name == targetName_) return written_;
    return target_.find('/') == std::string::npos ? name : FolderOf(target_) + "/" + name;
}

std::string StagingFolder::StagedMain() const {
    return folder_ + "/" + targetName_;
}

Expected<std::vector<std::string>> StagingFolder::Commit() {
    const auto cannotWrite = [](const std::string& file, std::string reason) {
        return Result::Failure("Cannot write file " + file, std::move(reason));
    };
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || name == targetName_) continue;
            if (name.rfind(kBackupPrefix, 0) == 0) continue;
            if (IsFile(folder_ + "/" + name)) names.push_back(name);
        }
        closedir(dir);
    }
    if (!IsFile(StagedMain())) return cannotWrite(target_, "the exporter wrote no file");
    std::sort(names.begin(), names.end());
    names.push_back(targetName_);  // the main file last: it appears only when its side files have

    // Everything is checked before anything is moved.
    for (const std::string& name : names) {
        const std::string destination = Beside(name);
        if (Result replace = MayReplace(destination); !replace.Ok()) return replace;
        if (!SyncFile(folder_ + "/" + name))
            return cannotWrite(destination, std::strerror(errno != 0 ? errno : EIO));
    }

    std::vector<Moved> moved;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string staged = folder_ + "/" + names[i];
        const std::string destination = Beside(names[i]);
        Moved move{destination, {}};
        struct stat info {};
        if (stat(destination.c_str(), &info) == 0) {
            // A replaced file keeps its owner, group and permissions; a new one has those the
            // umask leaves. The owner first (it takes set-user-id bits off); one the user may
            // not give is kept as the user's.
            if ((chown(staged.c_str(), info.st_uid, info.st_gid) != 0 && errno != EPERM) ||
                chmod(staged.c_str(), info.st_mode & 07777) != 0) {
                const int error = errno;
                TakeBack(moved);
                return cannotWrite(destination, std::strerror(error));
            }
            const std::string backup = folder_ + "/" + kBackupPrefix + std::to_string(i);
            if (link(destination.c_str(), backup.c_str()) == 0) move.Backup = backup;
        }
        if (std::rename(staged.c_str(), destination.c_str()) != 0) {
            const int error = errno;
            if (!move.Backup.empty()) unlink(move.Backup.c_str());
            TakeBack(moved);
            return cannotWrite(destination, std::strerror(error));
        }
        moved.push_back(std::move(move));
    }
    std::vector<std::string> files{target_};
    for (size_t i = 0; i + 1 < names.size(); ++i)
        files.push_back(Beside(names[i]));
    Remove();
    return files;
}

}  // namespace vexlor::detail
