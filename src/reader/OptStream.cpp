// Reading a whole file into memory: an OPT file, so later changes to the file on disk cannot
// disturb a loaded model, and the files the export checks after writing them.
#include "reader/OptStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vexlor {

Expected<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    const auto failure = [&](std::string reason) {
        return Result::Failure("Cannot open file " + path, std::move(reason));
    };
    // Opened without waiting, so that a FIFO without a writer is refused below instead of
    // blocking the open; a regular file reads the same either way.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failure(std::strerror(errno));
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return failure(S_ISDIR(info.st_mode) ? "Is a directory" : "Not a regular file");
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        return failure(std::strerror(error));
    }
    std::vector<uint8_t> bytes;
    // The size from fstat is only a hint; the loop reads whatever the file really holds.
    bytes.reserve(static_cast<size_t>(info.st_size > 0 ? info.st_size : 0));
    uint8_t chunk[1 << 16];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) return failure(std::strerror(error));
    return bytes;
}

Result OptStream::LoadFile(const std::string& path) {
    Expected<std::vector<uint8_t>> bytes = ReadFileBytes(path);
    if (bytes.Ok()) bytes_ = std::move(bytes).Value();
    return bytes.Status();
}

}  // namespace vexlor
