// The repair of assimp 5.2's binary FBX files: null records go back after every nested list, the
// end offsets follow, the footer is aligned again; files that need nothing, or that do not hold
// together, are left as they are.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ExportTestModels.h"
#include "ExportTestSupport.h"
#include "export/ExportWriter.h"
#include "export/FbxRepair.h"

namespace vexlor::testing {
namespace {

using detail::FbxRepairResult;
using detail::RepairFbxNullRecords;
using Bytes = std::vector<uint8_t>;

const uint8_t kFooterId[16] = {0xfa, 0xbc, 0xab, 0x09, 0xd0, 0xc8, 0xd4, 0x66,
                               0xb1, 0x76, 0xfb, 0x83, 0x1c, 0xf7, 0x26, 0x7e};
const uint8_t kMagic[16] = {0xf8, 0x5a, 0x8c, 0x6a, 0xde, 0xf5, 0xd9, 0x7e,
                            0xec, 0xe9, 0x0c, 0xe3, 0x75, 0x8f, 0x29, 0x0b};

void PutU64(Bytes& b, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct Tree {
    std::string name;
    Bytes properties;
    uint64_t count = 0;
    std::vector<Tree> children;
    bool emptyList = false;  // "{}": a null record without children
    bool operator==(const Tree& o) const {
        return name == o.name && properties == o.properties && count == o.count &&
               children == o.children && emptyList == o.emptyList;
    }
};

// Writes a node as FBX 7.5 does; `records` false leaves the null records out, as assimp 5.2 does.
void WriteNode(Bytes& out, const Tree& node, bool records) {
    const size_t start = out.size();
    PutU64(out, 0);
    PutU64(out, node.count);
    PutU64(out, node.properties.size());
    out.push_back(static_cast<uint8_t>(node.name.size()));
    out.insert(out.end(), node.name.begin(), node.name.end());
    out.insert(out.end(), node.properties.begin(), node.properties.end());
    for (const Tree& child : node.children)
        WriteNode(out, child, records);
    if ((!node.children.empty() && records) || node.emptyList) out.insert(out.end(), 25, 0);
    const uint64_t end = out.size();
    for (int i = 0; i < 8; ++i)
        out[start + static_cast<size_t>(i)] = static_cast<uint8_t>(end >> (8 * i));
}

Bytes WriteFile(const std::vector<Tree>& top, bool records) {
    Bytes out;
    const std::string magic("Kaydara FBX Binary  \0\x1a\0", 23);
    out.insert(out.end(), magic.begin(), magic.end());
    const uint32_t version = 7500;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(version >> (8 * i)));
    for (const Tree& node : top)
        WriteNode(out, node, records);
    out.insert(out.end(), 25, 0);
    out.insert(out.end(), std::begin(kFooterId), std::end(kFooterId));
    out.insert(out.end(), 16 - out.size() % 16, 0);
    out.insert(out.end(), 4, 0);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(version >> (8 * i)));
    out.insert(out.end(), 120, 0);
    out.insert(out.end(), std::begin(kMagic), std::end(kMagic));
    return out;
}

// Reads a node the strict way, as assimp's tokenizer does: a nested list must end with a null
// record inside the node's end offset.
bool ReadNode(const Bytes& b, size_t& at, Tree& node, std::string& error) {
    if (b.size() - at < 25) return error = "short node header", false;
    uint64_t end = 0, count = 0, length = 0;
    for (int i = 0; i < 8; ++i)
        end |= uint64_t{b[at + i]} << (8 * i);
    for (int i = 0; i < 8; ++i)
        count |= uint64_t{b[at + 8 + i]} << (8 * i);
    for (int i = 0; i < 8; ++i)
        length |= uint64_t{b[at + 16 + i]} << (8 * i);
    const size_t nameLength = b[at + 24];
    if (end > b.size() || end < at + 25 + nameLength + length)
        return error = "end offset out of range", false;
    node.name.assign(reinterpret_cast<const char*>(&b[at + 25]), nameLength);
    node.count = count;
    node.properties.assign(b.begin() + static_cast<std::ptrdiff_t>(at + 25 + nameLength),
                           b.begin() + static_cast<std::ptrdiff_t>(at + 25 + nameLength + length));
    size_t cursor = at + 25 + nameLength + length;
    if (cursor < end) {
        if (end - cursor < 25) return error = "no room for the null record of " + node.name, false;
        while (cursor < end - 25) {
            Tree child;
            if (!ReadNode(b, cursor, child, error)) return false;
            node.children.push_back(std::move(child));
        }
        if (cursor != end - 25)
            return error = "children overrun the null record of " + node.name, false;
        for (size_t i = 0; i < 25; ++i)
            if (b[cursor + i] != 0) return error = "no null record closes " + node.name, false;
        node.emptyList = node.children.empty();
    }
    at = static_cast<size_t>(end);
    return true;
}

bool ReadFile(const Bytes& b, std::vector<Tree>& top, std::string& error) {
    size_t at = 27;
    while (true) {
        if (b.size() - at < 25) return error = "no closing null record", false;
        bool null = true;
        for (size_t i = 0; i < 25; ++i)
            null = null && b[at + i] == 0;
        if (null) break;
        Tree node;
        if (!ReadNode(b, at, node, error)) return false;
        top.push_back(std::move(node));
    }
    const size_t footer = at + 25;
    if (b.size() < footer + 16 ||
        !std::equal(std::begin(kFooterId), std::end(kFooterId), b.begin() + footer))
        return error = "no footer id", false;
    const size_t padded = footer + 16 + (16 - (footer + 16) % 16) + 4;
    if (b.size() != padded + 4 + 120 + 16) return error = "footer of the wrong length", false;
    if (!std::equal(std::begin(kMagic), std::end(kMagic), b.end() - 16))
        return error = "no closing magic", false;
    return true;
}

Tree Leaf(const std::string& name, const std::string& property) {
    Tree t;
    t.name = name;
    t.count = 1;
    t.properties.push_back('S');
    const auto n = static_cast<uint32_t>(property.size());
    for (int i = 0; i < 4; ++i)
        t.properties.push_back(static_cast<uint8_t>(n >> (8 * i)));
    t.properties.insert(t.properties.end(), property.begin(), property.end());
    return t;
}

std::vector<Tree> Sample() {
    Tree header;
    header.name = "FBXHeaderExtension";
    header.children = {Leaf("FBXHeaderVersion", "1003"), Leaf("Creator", "test")};
    Tree references;  // no properties, no children
    references.name = "References";
    Tree empty;  // an explicit empty list
    empty.name = "Takes";
    empty.emptyList = true;
    Tree objects;
    objects.name = "Objects";
    Tree geometry = Leaf("Geometry", "Mesh");
    geometry.children = {Leaf("Vertices", std::string(40, '\0')),
                         Leaf("PolygonVertexIndex", "abc")};
    objects.children = {geometry, Leaf("Model", "x")};
    return {header, references, empty, objects};
}

TEST(FbxRepair, PutsTheNullRecordsBackAndMovesTheOffsets) {
    Bytes broken = WriteFile(Sample(), false);
    std::vector<Tree> read;
    std::string error;
    EXPECT_FALSE(ReadFile(broken, read, error)) << "the strict reader refuses assimp 5.2's files";
    ASSERT_EQ(RepairFbxNullRecords(broken), FbxRepairResult::Repaired);
    read.clear();
    ASSERT_TRUE(ReadFile(broken, read, error)) << error;
    EXPECT_EQ(read, Sample());
    EXPECT_EQ(broken, WriteFile(Sample(), true));
}

TEST(FbxRepair, LeavesAGoodFileAsItIs) {
    Bytes good = WriteFile(Sample(), true);
    const Bytes before = good;
    EXPECT_EQ(RepairFbxNullRecords(good), FbxRepairResult::NotNeeded);
    EXPECT_EQ(good, before);
    const std::string text = "; FBX 7.5.0 project file\n";
    Bytes ascii(text.begin(), text.end());
    EXPECT_EQ(RepairFbxNullRecords(ascii), FbxRepairResult::NotNeeded);
    Bytes old = WriteFile(Sample(), false);
    old[23] = 0x1c;  // 7452: 32-bit offsets, which assimp does not write
    old[24] = 0x1d;
    const Bytes oldBefore = old;
    EXPECT_EQ(RepairFbxNullRecords(old), FbxRepairResult::NotNeeded);
    EXPECT_EQ(old, oldBefore);
}

TEST(FbxRepair, NeverReadsOutsideABrokenFileAndLeavesItAsItIs) {
    const Bytes broken = WriteFile(Sample(), false);
    for (size_t length = 0; length < broken.size(); ++length) {
        Bytes cut(broken.begin(), broken.begin() + static_cast<std::ptrdiff_t>(length));
        const Bytes before = cut;
        if (RepairFbxNullRecords(cut) != FbxRepairResult::Repaired) {
            EXPECT_EQ(cut, before) << length;
        }
    }
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        Bytes changed = broken;
        for (int k = 0; k < 3; ++k)
            changed[27 + random() % (changed.size() - 27)] = static_cast<uint8_t>(random());
        const Bytes before = changed;
        if (RepairFbxNullRecords(changed) != FbxRepairResult::Repaired) {
            EXPECT_EQ(changed, before);
        }
    }
}

using FbxFiles = ExportFolderTest;

TEST_F(FbxFiles, TheExportWritesFilesThatAStrictReaderAccepts) {
    ExportOptions options;
    options.Lod = kAllLevels;
    ASSERT_TRUE(ExportToFile(SmallModel(), Path("ship.fbx"), options).Ok());
    const std::string text = Read(Path("ship.fbx"));
    const Bytes bytes(text.begin(), text.end());
    std::vector<Tree> top;
    std::string error;
    ASSERT_TRUE(ReadFile(bytes, top, error)) << error;
    std::vector<std::string> names;
    for (const Tree& node : top)
        names.push_back(node.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"FBXHeaderExtension", "FileId", "CreationTime", "Creator",
                                        "GlobalSettings", "Documents", "References", "Definitions",
                                        "Objects", "Connections"}));
}

}  // namespace
}  // namespace vexlor::testing
