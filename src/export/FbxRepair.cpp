// Null records back into assimp 5.2's binary FBX files.
#include "export/FbxRepair.h"

#include <cstring>

#include "export/WriterRepairs.h"
#include "reader/OptStream.h"

namespace vexlor::detail {

namespace {

constexpr size_t kFileHeader = 27;  // magic (23 bytes) and the version
constexpr size_t kNodeHeader =
    25;  // end offset, property count, property bytes (u64 each), name length
constexpr size_t kNullRecord = 25;
constexpr size_t kFooterId = 16;
constexpr size_t kFooterMagic = 16;
constexpr uint32_t kFirst64BitVersion = 7500;
constexpr int kDeepest = 64;
constexpr char kMagic[] = "Kaydara FBX Binary  ";  // then 0x00 0x1a 0x00

struct Node {
    size_t Begin = 0;
    size_t End = 0;
    size_t PropertiesEnd = 0;  // after the name and the properties
    bool Record = false;       // the nested list was closed by a null record
    std::vector<Node> Children;
};

uint64_t U64(const std::vector<uint8_t>& b, size_t at) {
    uint64_t value = 0;
    for (size_t i = 0; i < 8; ++i)
        value |= static_cast<uint64_t>(b[at + i]) << (8 * i);
    return value;
}

void PutU64(std::vector<uint8_t>& b, size_t at, uint64_t value) {
    for (size_t i = 0; i < 8; ++i)
        b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

bool IsNull(const std::vector<uint8_t>& b, size_t at, size_t limit) {
    if (at > limit || limit - at < kNullRecord) return false;
    for (size_t i = 0; i < kNullRecord; ++i)
        if (b[at + i] != 0) return false;
    return true;
}

class Parser {
  public:
    explicit Parser(const std::vector<uint8_t>& bytes) : b_(bytes) {}

    // The node at `at`, which must end by `limit`.
    bool Parse(size_t at, size_t limit, Node& node, int depth) {
        if (depth > kDeepest || at > limit || limit - at < kNodeHeader) return false;
        const uint64_t end = U64(b_, at);
        const uint64_t propertyBytes = U64(b_, at + 16);
        const size_t nameLength = b_[at + 24];
        if (end <= at || end > limit || end - at < kNodeHeader + nameLength) return false;
        if (propertyBytes > end - at - kNodeHeader - nameLength) return false;
        node.Begin = at;
        node.End = static_cast<size_t>(end);
        node.PropertiesEnd = at + kNodeHeader + nameLength + static_cast<size_t>(propertyBytes);
        if (node.PropertiesEnd > node.End) return false;
        size_t cursor = node.PropertiesEnd;
        while (cursor < node.End) {
            if (node.End - cursor == kNullRecord && IsNull(b_, cursor, node.End)) {
                node.Record = true;
                break;
            }
            Node child;
            if (!Parse(cursor, node.End, child, depth + 1)) return false;
            cursor = child.End;
            node.Children.push_back(std::move(child));
        }
        if (!node.Children.empty() && !node.Record) missing_ = true;
        return true;
    }

    bool Missing() const { return missing_; }

  private:
    const std::vector<uint8_t>& b_;
    bool missing_ = false;
};

void Emit(const std::vector<uint8_t>& in, const Node& node, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(node.Begin),
               in.begin() + static_cast<std::ptrdiff_t>(node.PropertiesEnd));
    for (const Node& child : node.Children)
        Emit(in, child, out);
    if (!node.Children.empty() || node.Record) out.insert(out.end(), kNullRecord, 0);
    PutU64(out, start, out.size());
}

}  // namespace

FbxRepairResult RepairFbxNullRecords(std::vector<uint8_t>& bytes) {
    if (bytes.size() < kFileHeader + kNullRecord + kFooterId + kFooterMagic)
        return FbxRepairResult::NotNeeded;
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic - 1) != 0 || bytes[20] != 0 ||
        bytes[21] != 0x1a || bytes[22] != 0)
        return FbxRepairResult::NotNeeded;
    const uint32_t version =
        static_cast<uint32_t>(bytes[23]) | static_cast<uint32_t>(bytes[24]) << 8 |
        static_cast<uint32_t>(bytes[25]) << 16 | static_cast<uint32_t>(bytes[26]) << 24;
    if (version < kFirst64BitVersion) return FbxRepairResult::NotNeeded;

    Parser parser(bytes);
    std::vector<Node> top;
    size_t cursor = kFileHeader;
    while (!IsNull(bytes, cursor, bytes.size())) {
        Node node;
        if (!parser.Parse(cursor, bytes.size(), node, 0)) return FbxRepairResult::Malformed;
        cursor = node.End;
        top.push_back(std::move(node));
    }
    if (!parser.Missing()) return FbxRepairResult::NotNeeded;
    const size_t footerId = cursor + kNullRecord;
    if (bytes.size() - footerId < kFooterId + kFooterMagic) return FbxRepairResult::Malformed;

    std::vector<uint8_t> out;
    out.reserve(bytes.size() + bytes.size() / 16);
    out.insert(out.end(), bytes.begin(), bytes.begin() + kFileHeader);
    for (const Node& node : top)
        Emit(bytes, node, out);
    out.insert(out.end(), kNullRecord, 0);
    // The footer as assimp writes it: its id, padding to 16 bytes (a whole 16 when aligned), four
    // zero bytes, the version, 120 zero bytes and the closing magic.
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(footerId),
               bytes.begin() + static_cast<std::ptrdiff_t>(footerId + kFooterId));
    out.insert(out.end(), 16 - out.size() % 16, 0);
    out.insert(out.end(), 4, 0);
    out.insert(out.end(), bytes.begin() + 23, bytes.begin() + 27);
    out.insert(out.end(), 120, 0);
    out.insert(out.end(), bytes.end() - kFooterMagic, bytes.end());
    bytes.swap(out);
    return FbxRepairResult::Repaired;
}

Expected<FbxRepairResult> RepairFbxFile(const std::string& path) {
    Expected<std::vector<uint8_t>> bytes = ReadFileBytes(path);
    if (!bytes.Ok()) return bytes.Status();
    const FbxRepairResult repair = RepairFbxNullRecords(bytes.Value());
    if (repair != FbxRepairResult::Repaired) return repair;
    const Result written = WriteFileBytes(path, bytes.Value());
    if (!written.Ok()) return written;
    return repair;
}

}  // namespace vexlor::detail
