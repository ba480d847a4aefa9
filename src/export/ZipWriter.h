// A zip archive written front to back into one stream, entries deflated as they come (zlib), for
// the 3MF files: each entry's sizes and checksum follow its data in a data descriptor, so no entry
// is held whole in memory. No zip64: an archive or entry past 4 GiB is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

namespace Assimp {
class IOStream;
}

namespace vexlor::detail {

class ZipWriter {
  public:
    explicit ZipWriter(Assimp::IOStream& out) : out_(out) {}
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;
    ~ZipWriter();

    // Each returns false once anything failed; Error() says what.
    bool Begin(const std::string& name);
    bool Add(const std::string& text) { return Add(text.data(), text.size()); }
    bool Add(const char* data, size_t size);
    bool End();
    // Writes the central directory; the archive is complete after it.
    bool Finish();
    const std::string& Error() const { return error_; }

  private:
    struct Entry {
        std::string Name;
        uint32_t Crc = 0;
        uint64_t Packed = 0;
        uint64_t Size = 0;
        uint64_t Offset = 0;
    };

    bool Deflate(const char* data, size_t size, int flush);
    bool Put(const std::vector<uint8_t>& bytes);
    bool Fail(std::string error);

    Assimp::IOStream& out_;
    std::vector<Entry> entries_;
    z_stream stream_{};
    bool open_ = false;
    uint64_t written_ = 0;
    std::string error_;
};

}  // namespace vexlor::detail
