// The open OPT file: its bytes, read once into memory, or, for a file larger than any model
// (kLargestCopiedFile), mapped from it so that only the pages a walk reads cost memory and time.
// Every read of file data in the program goes through this class. Reads take a file position and
// return the value there, little-endian and bounds-checked: bytes of the value that lie outside
// the file read as 0, and nothing is ever read out of range. There is no read position: a loaded
// file is only ever read, so it is const. Copies share the bytes.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reader/Result.h"
#include "reader/Vec3.h"

namespace vexlor {

// The whole of the regular file at `path`, read into `out`. A FIFO, a folder or a device is
// refused rather than waited on. A failure says "Cannot open file PATH" and the system's reason.
Expected<std::vector<uint8_t>> ReadFileBytes(const std::string& path);

class OptStream {
  public:
    // Files up to this size are copied into memory, so that a later change to the file on disk
    // cannot disturb a loaded model; larger ones (far larger than any model) are mapped.
    static constexpr int64_t kLargestCopiedFile = int64_t{64} << 20;

    OptStream() = default;
    explicit OptStream(std::vector<uint8_t> bytes);

    // Loads the whole file. On failure leaves this stream as it was (see ReadFileBytes).
    Result LoadFile(const std::string& path);

    int64_t Size() const { return size_; }
    std::span<const uint8_t> Bytes() const { return {data_, static_cast<size_t>(size_)}; }
    // Whether the bytes are mapped from the file rather than copied.
    bool Mapped() const { return mapped_; }
    // The parts of the file that hold data, in order: all of it, but for the holes of a mapped
    // sparse file, which read as zeros and need not be read or written.
    struct Extent {
        int64_t Start = 0;
        int64_t End = 0;
    };
    const std::vector<Extent>& DataExtents() const { return *extents_; }

    // Bytes that lie in the file from `position` on (0 when the position is outside the file).
    int64_t BytesFrom(int64_t position) const {
        return (position < 0 || position >= Size()) ? 0 : Size() - position;
    }

    int32_t Int32At(int64_t position) const { return static_cast<int32_t>(Word(position)); }
    float SingleAt(int64_t position) const { return std::bit_cast<float>(Word(position)); }
    Vec3 Vec3At(int64_t position) const {
        constexpr int64_t kSingle = sizeof(float);
        return {SingleAt(position), SingleAt(position + kSingle), SingleAt(position + 2 * kSingle)};
    }
    uint8_t ByteAt(int64_t position) const {
        return BytesFrom(position) > 0 ? data_[position] : uint8_t{0};
    }
    // A text of at most `size` bytes at `position`: the bytes that lie in the file, up to the
    // first zero byte.
    std::string TextAt(int64_t position, int64_t size) const {
        std::string text;
        for (int64_t i = 0; i < size && i < BytesFrom(position); ++i) {
            const uint8_t c = ByteAt(position + i);
            if (c == 0) break;
            text.push_back(static_cast<char>(c));
        }
        return text;
    }
    // The int32 at `position` when all four of its bytes lie in the file.
    std::optional<int32_t> WholeInt32At(int64_t position) const {
        if (BytesFrom(position) < 4) return std::nullopt;
        return Int32At(position);
    }

  private:
    uint32_t Word(int64_t position) const {
        if (position >= 0 && position <= Size() - 4) {
            const uint8_t* b = data_ + position;
            return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                   uint32_t{b[3]} << 24;
        }
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i)
            word |= uint32_t{ByteAt(position + i)} << (8 * i);
        return word;
    }

    // What keeps the bytes alive: a vector or a mapping.
    std::shared_ptr<const void> owner_;
    std::shared_ptr<const std::vector<Extent>> extents_ =
        std::make_shared<const std::vector<Extent>>();
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
    bool mapped_ = false;
};

}  // namespace vexlor
