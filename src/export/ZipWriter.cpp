// Zip archive writer: local header, deflated data, data descriptor per entry; central directory.
#include "export/ZipWriter.h"

#include <assimp/IOStream.hpp>

#include <algorithm>
#include <limits>

namespace vexlor::detail {

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr uint32_t kDirectorySignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint16_t kVersion = 20;             // 2.0: deflate
constexpr uint16_t kFlagDescriptor = 1 << 3;  // sizes and checksum follow the data
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kDosDate = (1 << 5) | 1;  // 1980-01-01: the same bytes for the same model
constexpr uint64_t kLimit = std::numeric_limits<uint32_t>::max();
constexpr size_t kChunk = 1 << 16;

void Put16(std::vector<uint8_t>& bytes, uint64_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& bytes, uint64_t value) {
    Put16(bytes, value & 0xffff);
    Put16(bytes, (value >> 16) & 0xffff);
}

}  // namespace

ZipWriter::~ZipWriter() {
    if (open_) deflateEnd(&stream_);
}

bool ZipWriter::Fail(std::string error) {
    if (error_.empty()) error_ = std::move(error);
    return false;
}

bool ZipWriter::Put(const std::vector<uint8_t>& bytes) {
    if (out_.Write(bytes.data(), 1, bytes.size()) != bytes.size())
        return Fail("the archive could not be written");
    written_ += bytes.size();
    return true;
}

bool ZipWriter::Begin(const std::string& name) {
    if (!error_.empty() || open_) return Fail("zip entries out of order");
    Entry entry;
    entry.Name = name;
    entry.Offset = written_;
    entry.Crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
    entries_.push_back(entry);
    std::vector<uint8_t> header;
    Put32(header, kLocalSignature);
    Put16(header, kVersion);
    Put16(header, kFlagDescriptor);
    Put16(header, kDeflated);
    Put16(header, 0);  // time
    Put16(header, kDosDate);
    for (int i = 0; i < 3; ++i)
        Put32(header, 0);  // checksum and sizes: in the descriptor
    Put16(header, name.size());
    Put16(header, 0);  // no extra field
    header.insert(header.end(), name.begin(), name.end());
    if (deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return Fail("the compressor could not start");
    open_ = true;
    return Put(header);
}

bool ZipWriter::Deflate(const char* data, size_t size, int flush) {
    Entry& entry = entries_.back();
    std::vector<uint8_t> out(kChunk);
    while (true) {
        const size_t step = std::min<size_t>(size, std::numeric_limits<uInt>::max());
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = static_cast<uInt>(step);
        const int mode = step == size ? flush : Z_NO_FLUSH;
        do {
            stream_.next_out = out.data();
            stream_.avail_out = static_cast<uInt>(out.size());
            const int result = deflate(&stream_, mode);
            if (result == Z_STREAM_ERROR) return Fail("the compressor failed");
            const size_t produced = out.size() - stream_.avail_out;
            if (out_.Write(out.data(), 1, produced) != produced)
                return Fail("the archive could not be written");
            written_ += produced;
            entry.Packed += produced;
        } while (stream_.avail_out == 0);
        data += step;
        size -= step;
        if (size == 0) return true;
    }
}

bool ZipWriter::Add(const char* data, size_t size) {
    if (!error_.empty() || !open_) return Fail("zip data outside an entry");
    Entry& entry = entries_.back();
    entry.Size += size;
    if (entry.Size > kLimit) return Fail("a zip entry is larger than 4 GiB");
    for (size_t done = 0; done < size;) {
        const auto step = static_cast<uInt>(std::min<size_t>(size - done, 1u << 30));
        entry.Crc = static_cast<uint32_t>(
            crc32(entry.Crc, reinterpret_cast<const Bytef*>(data + done), step));
        done += step;
    }
    return Deflate(data, size, Z_NO_FLUSH);
}

bool ZipWriter::End() {
    if (!error_.empty() || !open_) return Fail("zip entries out of order");
    const bool deflated = Deflate(nullptr, 0, Z_FINISH);
    deflateEnd(&stream_);
    open_ = false;
    if (!deflated) return false;
    const Entry& entry = entries_.back();
    if (entry.Packed > kLimit || written_ > kLimit) return Fail("the archive is larger than 4 GiB");
    std::vector<uint8_t> descriptor;
    Put32(descriptor, kDescriptorSignature);
    Put32(descriptor, entry.Crc);
    Put32(descriptor, entry.Packed);
    Put32(descriptor, entry.Size);
    return Put(descriptor);
}

bool ZipWriter::Finish() {
    if (!error_.empty() || open_) return Fail("zip entries out of order");
    const uint64_t start = written_;
    std::vector<uint8_t> directory;
    for (const Entry& entry : entries_) {
        Put32(directory, kDirectorySignature);
        Put16(directory, kVersion);  // made by
        Put16(directory, kVersion);  // needed
        Put16(directory, kFlagDescriptor);
        Put16(directory, kDeflated);
        Put16(directory, 0);
        Put16(directory, kDosDate);
        Put32(directory, entry.Crc);
        Put32(directory, entry.Packed);
        Put32(directory, entry.Size);
        Put16(directory, entry.Name.size());
        Put16(directory, 0);  // extra
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, entry.Offset);
        directory.insert(directory.end(), entry.Name.begin(), entry.Name.end());
    }
    if (start + directory.size() > kLimit) return Fail("the archive is larger than 4 GiB");
    std::vector<uint8_t> end;
    Put32(end, kEndSignature);
    Put16(end, 0);  // this disk
    Put16(end, 0);  // the directory's disk
    Put16(end, entries_.size());
    Put16(end, entries_.size());
    Put32(end, directory.size());
    Put32(end, start);
    Put16(end, 0);  // no comment
    directory.insert(directory.end(), end.begin(), end.end());
    return Put(directory);
}

}  // namespace vexlor::detail
