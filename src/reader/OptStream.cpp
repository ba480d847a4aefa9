// Loading a file's bytes: an OPT file, read whole into memory so that later changes to the file
// on disk cannot disturb a loaded model, or mapped when it is far larger than any model; and the
// files the export checks after writing them.
#include "reader/OptStream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vexlor {

namespace {

Result OpenFailure(const std::string& path, std::string reason) {
    return Result::Failure("Cannot open file " + path, std::move(reason));
}

// Opens a regular file for reading. Opened without waiting, so that a FIFO without a writer is
// refused instead of blocking the open; a regular file reads the same either way.
Expected<int> OpenRegularFile(const std::string& path, struct stat& info) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return OpenFailure(path, std::strerror(errno));
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return OpenFailure(path, S_ISDIR(info.st_mode) ? "Is a directory" : "Not a regular file");
    }
    return fd;
}

// Reads what the file behind `fd` holds and closes it.
Expected<std::vector<uint8_t>> ReadAll(const std::string& path, int fd, int64_t sizeHint) {
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        return OpenFailure(path, std::strerror(error));
    }
    std::vector<uint8_t> bytes;
    // The size from fstat is only a hint; the loop reads whatever the file really holds.
    bytes.reserve(static_cast<size_t>(sizeHint > 0 ? sizeHint : 0));
    uint8_t chunk[1 << 16];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) return OpenFailure(path, std::strerror(error));
    return bytes;
}

// The data extents of a file of `size` bytes: its data between its holes, as the file system
// tells them; the whole file where it tells none.
std::vector<OptStream::Extent> DataExtentsOf(int fd, int64_t size) {
    std::vector<OptStream::Extent> extents;
    int64_t at = 0;
    while (at < size) {
        const off_t data = lseek(fd, at, SEEK_DATA);
        if (data < 0) {
            // No data past `at` (ENXIO), or no answer: the rest is a hole, or taken as data.
            if (errno != ENXIO) extents.push_back({at, size});
            break;
        }
        off_t hole = lseek(fd, data, SEEK_HOLE);
        if (hole < 0 || hole > size) hole = size;
        if (hole <= data) break;
        extents.push_back({data, hole});
        at = hole;
    }
    return extents;
}

}  // namespace

Expected<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    struct stat info {};
    const Expected<int> fd = OpenRegularFile(path, info);
    if (!fd.Ok()) return fd.Status();
    return ReadAll(path, fd.Value(), info.st_size);
}

OptStream::OptStream(std::vector<uint8_t> bytes) {
    auto owned = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    data_ = owned->data();
    size_ = static_cast<int64_t>(owned->size());
    owner_ = std::move(owned);
    if (size_ > 0) extents_ = std::make_shared<const std::vector<Extent>>(1, Extent{0, size_});
}

Result OptStream::LoadFile(const std::string& path) {
    struct stat info {};
    const Expected<int> fd = OpenRegularFile(path, info);
    if (!fd.Ok()) return fd.Status();
    if (info.st_size <= kLargestCopiedFile) {
        Expected<std::vector<uint8_t>> bytes = ReadAll(path, fd.Value(), info.st_size);
        if (bytes.Ok()) *this = OptStream(std::move(bytes).Value());
        return bytes.Status();
    }
    const auto size = static_cast<size_t>(info.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_NORESERVE, fd.Value(), 0);
    const int error = errno;
    if (mapped == MAP_FAILED) {
        close(fd.Value());
        return OpenFailure(path, std::strerror(error));
    }
    extents_ = std::make_shared<const std::vector<Extent>>(
        DataExtentsOf(fd.Value(), static_cast<int64_t>(size)));
    close(fd.Value());
    owner_ = std::shared_ptr<const void>(
        mapped, [size](const void* at) { munmap(const_cast<void*>(at), size); });
    data_ = static_cast<const uint8_t*>(mapped);
    size_ = static_cast<int64_t>(size);
    mapped_ = true;
    return {};
}

}  // namespace vexlor
