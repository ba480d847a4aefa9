// Zip directory check.
#include "ZipCheck.h"

#include <cstdint>
#include <set>

#include "OptStream.h"

namespace vexlor::detail {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kEnd64Signature = 0x06064b50;
constexpr uint32_t kEnd64LocatorSignature = 0x07064b50;
constexpr uint32_t kDirectorySignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndBytes = 22;
constexpr size_t kLongestComment = 0xffff;

class Bytes {
  public:
    explicit Bytes(std::vector<uint8_t> data) : data_(std::move(data)) {}
    size_t Size() const { return data_.size(); }
    bool Has(uint64_t at, uint64_t n) const { return at <= data_.size() && n <= data_.size() - at; }
    uint64_t Get(uint64_t at, int n) const {
        uint64_t value = 0;
        for (int i = 0; i < n; ++i)
            value |= static_cast<uint64_t>(data_[at + static_cast<uint64_t>(i)]) << (8 * i);
        return value;
    }
    std::string Text(uint64_t at, uint64_t n) const {
        return std::string(reinterpret_cast<const char*>(data_.data() + at),
                           static_cast<size_t>(n));
    }

  private:
    std::vector<uint8_t> data_;
};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

bool ZipHoldsEntries(const std::string& path, const std::vector<std::string>& required,
                     std::string& reason) {
    std::vector<uint8_t> data;
    if (!ReadFileBytes(path, data, reason)) return false;
    const Bytes b(std::move(data));
    reason = "the archive is incomplete";
    if (b.Size() < kEndBytes) return false;

    // The end record: the last signature that leaves room for its comment.
    uint64_t end = b.Size() - kEndBytes;
    const uint64_t lowest =
        b.Size() > kEndBytes + kLongestComment ? b.Size() - kEndBytes - kLongestComment : 0;
    while (b.Get(end, 4) != kEndSignature || end + kEndBytes + b.Get(end + 20, 2) != b.Size()) {
        if (end == lowest) return false;
        --end;
    }
    uint64_t entries = b.Get(end + 10, 2);
    uint64_t directorySize = b.Get(end + 12, 4);
    uint64_t directory = b.Get(end + 16, 4);
    if (entries == 0xffff || directorySize == 0xffffffff || directory == 0xffffffff) {
        // Zip64: the locator just before the end record points at the zip64 end record.
        if (end < 20 || b.Get(end - 20, 4) != kEnd64LocatorSignature) return false;
        const uint64_t end64 = b.Get(end - 12, 8);
        if (!b.Has(end64, 56) || b.Get(end64, 4) != kEnd64Signature) return false;
        entries = b.Get(end64 + 32, 8);
        directorySize = b.Get(end64 + 40, 8);
        directory = b.Get(end64 + 48, 8);
    }
    if (!b.Has(directory, directorySize) || directory + directorySize > end) return false;

    std::set<std::string> names;
    uint64_t at = directory;
    for (uint64_t i = 0; i < entries; ++i) {
        if (!b.Has(at, 46) || b.Get(at, 4) != kDirectorySignature) return false;
        const uint64_t compressed = b.Get(at + 20, 4);
        const uint64_t nameLength = b.Get(at + 28, 2);
        const uint64_t extraLength = b.Get(at + 30, 2);
        const uint64_t commentLength = b.Get(at + 32, 2);
        const uint64_t local = b.Get(at + 42, 4);
        if (!b.Has(at + 46, nameLength + extraLength + commentLength)) return false;
        const std::string name = b.Text(at + 46, nameLength);
        if (compressed != 0xffffffff && local != 0xffffffff) {
            if (!b.Has(local, 30) || b.Get(local, 4) != kLocalSignature) return false;
            const uint64_t data = local + 30 + b.Get(local + 26, 2) + b.Get(local + 28, 2);
            if (!b.Has(data, compressed) || data + compressed > directory) return false;
        }
        names.insert(Lower(name));
        at += 46 + nameLength + extraLength + commentLength;
    }
    for (const std::string& name : required) {
        if (names.count(Lower(name)) == 0) {
            reason = "the archive lacks " + name;
            return false;
        }
    }
    reason.clear();
    return true;
}

}  // namespace vexlor::detail
