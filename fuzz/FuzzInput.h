// What the fuzz targets share: the document an input is opened in and which tree nodes get their
// block shown.
//
// An input is a few KiB at most, and most of what the fuzzer learns from it comes from the first
// blocks the walk meets, so the targets give the walk a small work budget instead of the
// program's and show a sample of the tree's nodes rather than every one. Every input is opened
// in the same document, set back to a new document's state before and after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "reader/OptDocument.h"

namespace vexlor::fuzz {

// One unit per byte walks a well-formed file whole (every seed is); the floor leaves a tiny file
// room for a few blocks, and any file room to visit some shared blocks again.
inline constexpr WalkBudget kBudget{1, 1024};
// Nodes shown besides the first node of each block type, spread over the tree.
inline constexpr int32_t kSpreadNodes = 8;
// Block types whose first node is shown, at most.
inline constexpr size_t kTypedNodes = 16;

// The check and the repair walk every mesh and write a few lines for each, even one they cannot
// read, so an input whose mesh count a mutation has made large would spend its time on those:
// their targets bound the header's mesh count before the input is opened.
inline constexpr int32_t kMostMeshes = 64;

inline void BoundMeshCount(std::vector<uint8_t>& bytes) {
    constexpr auto kMeshCountField = static_cast<size_t>(vexlor::kMeshCountField);
    if (bytes.size() < kMeshCountField + 4) return;
    uint32_t count = 0;
    for (size_t i = 4; i-- > 0;)
        count = count << 8 | bytes[kMeshCountField + i];
    if (static_cast<int32_t>(count) <= kMostMeshes) return;
    for (size_t i = 0; i < 4; ++i)
        bytes[kMeshCountField + i] = static_cast<uint8_t>(uint32_t{kMostMeshes} >> (8 * i));
}

// One input, opened in the process's document for as long as this object lives. Afterwards the
// document holds nothing of it, so that the fuzzer's leak check sees every allocation of the
// input freed (and does not re-run the input to look for a leak).
class OpenedInput {
  public:
    OpenedInput(const uint8_t* data, size_t size) {
        Reset();
        Shared().SetWalkBudget(kBudget);
        Shared().OpenBytes(std::vector<uint8_t>(data, data + size), "fuzz.opt");
    }
    ~OpenedInput() { Reset(); }
    OpenedInput(const OpenedInput&) = delete;
    OpenedInput& operator=(const OpenedInput&) = delete;

    OptDocument& Document() { return Shared(); }

  private:
    // A new document and no file.
    static void Reset() {
        static const OptDocument kNewDocument;
        Shared() = kNewDocument;
    }
    // One document for every input (a function's static: gcc, which builds the replay, does not
    // take a static data member of this type).
    static OptDocument& Shared() {
        static OptDocument document;
        return document;
    }
};

// The root, the first node of each block type and kSpreadNodes nodes spread evenly over the
// rest, in tree order.
inline std::vector<int32_t> SampleNodes(const OptModel& store) {
    const int32_t count = store.Tree.Count();
    std::set<int32_t> nodes;
    std::set<int32_t> types;
    for (int32_t node = 0; node < count && types.size() < kTypedNodes; ++node) {
        if (static_cast<size_t>(node) >= store.BlockTable.size()) break;
        if (types.insert(store.BlockTable[static_cast<size_t>(node)].Type).second)
            nodes.insert(node);
    }
    for (int32_t k = 0; k < kSpreadNodes && count > 0; ++k)
        nodes.insert(static_cast<int32_t>(int64_t{count} * k / kSpreadNodes));
    return {nodes.begin(), nodes.end()};
}

}  // namespace vexlor::fuzz
