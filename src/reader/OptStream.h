// The open OPT file: its bytes, read once into memory, and a read position.
// Every read of file data in the program goes through this class. Reads are little-endian and
// bounds-checked: a read that reaches past the end (or starts before the start) delivers the bytes
// that are there and leaves the rest of the destination unchanged, never reading out of range.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vexlor {

// The whole of the regular file at `path`, read into `out`. A FIFO, a folder or a device is
// refused rather than waited on. On failure returns false, leaves `out` as it was and puts the
// system's reason into `reason`.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& reason);

class OptStream {
  public:
    OptStream() = default;
    explicit OptStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Loads the whole file. On failure returns false, leaves this stream as it was and puts the
    // system's reason into `reason`.
    bool LoadFile(const std::string& path, std::string& reason);

    int64_t Size() const { return static_cast<int64_t>(bytes_.size()); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

    void SeekOpt(int64_t position) { position_ = position; }
    int64_t Position() const { return position_; }

    // Bytes that lie in the file from `position` on (0 when the position is outside the file).
    int64_t BytesFrom(int64_t position) const {
        return (position < 0 || position >= Size()) ? 0 : Size() - position;
    }

    void Read(int32_t& value) {
        value = static_cast<int32_t>(ReadLittleEndian(static_cast<uint32_t>(value)));
    }
    void Read(float& value) {
        value = std::bit_cast<float>(ReadLittleEndian(std::bit_cast<uint32_t>(value)));
    }
    void Read(uint8_t& value) {
        if (position_ >= 0 && position_ < Size()) value = bytes_[static_cast<size_t>(position_)];
        ++position_;
    }

    int32_t ReadInt32() {
        int32_t v = 0;
        Read(v);
        return v;
    }
    float ReadFloat() {
        float v = 0.0f;
        Read(v);
        return v;
    }

  private:
    uint32_t ReadLittleEndian(uint32_t previous) {
        uint32_t result = previous;
        if (position_ >= 0 && position_ <= Size() - 4) {
            const uint8_t* b = bytes_.data() + position_;
            result =
                uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
        } else {
            for (int i = 0; i < 4; ++i) {
                const int64_t at = position_ + i;
                if (at < 0 || at >= Size()) continue;
                const uint32_t shift = 8u * static_cast<uint32_t>(i);
                result = (result & ~(0xFFu << shift)) | uint32_t{bytes_[static_cast<size_t>(at)]}
                                                            << shift;
            }
        }
        position_ += 4;
        return result;
    }

    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

}  // namespace vexlor
