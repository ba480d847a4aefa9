// The targets of writes: links followed, the rule for replacing, new files with unique names.
#include "reader/WriteTarget.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

namespace vexlor {

namespace {
// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;
constexpr std::string_view kSavePrefix = ".vexlor-save-";
constexpr std::string_view kExportPrefix = ".vexlor-export-";
}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Expected<std::string> ResolveWriteTarget(const std::string& path) {
    const auto failure = [&](int error) {
        return Result::Failure("Cannot create file " + path, std::strerror(error));
    };
    std::string target = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
        std::vector<char> named(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 2);
        const ssize_t length = readlink(target.c_str(), named.data(), named.size());
        if (length < 0 || static_cast<size_t>(length) >= named.size())
            return failure(length < 0 ? errno : ENAMETOOLONG);
        std::string next(named.data(), static_cast<size_t>(length));
        if (next.empty()) return failure(ENOENT);
        target = next.front() == '/' ? next : FolderOf(target) + "/" + next;
    }
    return failure(ELOOP);
}

Result MayReplace(const std::string& path) {
    const auto refused = [&](std::string reason) {
        return Result::Failure("Cannot create file " + path, std::move(reason));
    };
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    if (S_ISDIR(info.st_mode)) return refused(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode)) return refused("Not a regular file");
    // Renaming over a read-only file would succeed; refuse it as writing into it would.
    if (access(path.c_str(), W_OK) != 0) return refused(std::strerror(errno));
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return refused(std::strerror(EACCES));
    if (info.st_nlink > 1)
        return refused("it has other hard links, which would keep the old contents");
    return {};
}

std::string TemporaryPrefix(const std::string& kind) {
    return ".vexlor-" + kind + "-" + std::to_string(getpid()) + "-";
}

void RemoveLeftovers(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::pair<std::string, bool>> gone;  // name, whether a folder
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(".vexlor-")) continue;
        const bool save = name.starts_with(kSavePrefix);
        if (!save && !name.starts_with(kExportPrefix)) continue;
        const std::string_view rest = name.substr(save ? kSavePrefix.size() : kExportPrefix.size());
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (error != std::errc{} || pid <= 0 || rest.front() == '0') continue;
        const std::string_view tail = rest.substr(static_cast<size_t>(end - rest.data()));
        if (tail.size() != 7 || tail.front() != '-' ||
            !std::all_of(tail.begin() + 1, tail.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
            continue;
        if (kill(pid, 0) == 0 || errno != ESRCH) continue;
        gone.emplace_back(std::string(name), !save);
    }
    closedir(dir);
    for (const auto& [name, isFolder] : gone) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) continue;
        if (!isFolder) {
            if (S_ISREG(info.st_mode)) unlink(path.c_str());
            continue;
        }
        if (!S_ISDIR(info.st_mode)) continue;
        // An export's folder holds its files and the links to the files it replaced.
        if (DIR* inside = opendir(path.c_str())) {
            std::vector<std::string> files;
            while (const dirent* entry = readdir(inside)) {
                const std::string file = path + "/" + entry->d_name;
                struct stat kept {};
                if (lstat(file.c_str(), &kept) == 0 && !S_ISDIR(kept.st_mode))
                    files.push_back(file);
            }
            closedir(inside);
            for (const std::string& file : files)
                unlink(file.c_str());
        }
        rmdir(path.c_str());
    }
}

int CreateUniqueFile(const std::string& folder, const std::string& prefix, std::string& path) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random{std::random_device{}()};
    std::uniform_int_distribution<size_t> letter(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "/" + prefix;
        for (int i = 0; i < 6; ++i)
            name += kLetters[letter(random)];
        // 0666: the kernel takes the umask off, as for any new file; it is never read or set.
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            path = std::move(name);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace vexlor
