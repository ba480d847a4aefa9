// Reads values at given file positions and puts the stream's read position back when it goes, so
// that describing bytes (the hex view, tool tips) never disturbs a reader that shares the stream.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "BlockTypes.h"
#include "OptStream.h"

namespace vexlor {

class PeekReader {
  public:
    explicit PeekReader(OptStream& stream) : stream_(stream), saved_(stream.Position()) {}
    ~PeekReader() { stream_.SeekOpt(saved_); }
    PeekReader(const PeekReader&) = delete;
    PeekReader& operator=(const PeekReader&) = delete;

    // The int32 at `position` when all four bytes lie in the file.
    std::optional<int32_t> Int32At(int64_t position) {
        if (stream_.BytesFrom(position) < 4) return std::nullopt;
        stream_.SeekOpt(position);
        return stream_.ReadInt32();
    }
    // The values at `position` as the stream reads them: bytes past the end of the file are zero.
    int32_t RawInt32At(int64_t position) {
        stream_.SeekOpt(position);
        return stream_.ReadInt32();
    }
    float RawSingleAt(int64_t position) {
        stream_.SeekOpt(position);
        return stream_.ReadFloat();
    }
    uint8_t ByteAt(int64_t position) {
        uint8_t value = 0;
        stream_.SeekOpt(position);
        stream_.Read(value);
        return value;
    }
    // The texture name at `position`: its bytes in the file up to the first zero byte.
    std::string TextureNameAt(int64_t position) {
        std::string name;
        const int64_t held = std::min(kTextureNameBytes, stream_.BytesFrom(position));
        stream_.SeekOpt(position);
        for (int64_t i = 0; i < held; ++i) {
            uint8_t c = 0;
            stream_.Read(c);
            if (c == 0) break;
            name.push_back(static_cast<char>(c));
        }
        return name;
    }
    int64_t BytesFrom(int64_t position) const { return stream_.BytesFrom(position); }
    int64_t FileSize() const { return stream_.Size(); }

  private:
    OptStream& stream_;
    int64_t saved_;
};

}  // namespace vexlor
