// The comparison of two open OPT files: the blocks only one of them holds at a place of the tree,
// and for the blocks at the same place each header field and record field whose values differ,
// with where each side keeps it. Field names, offsets and sizes are the format table's; both
// files are read through their own documents and nothing is changed.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/FormatSchema.h"
#include "reader/OptDocument.h"

namespace vexlor {

// Which of the two files something is in.
enum class CompareSide : uint8_t { kA, kB };

// A field that differs between two matched blocks: one of its values (of several, one of its
// 4-byte parts) differs.
struct FieldDifference {
    int32_t NodeA = 0;  // tree nodes of the block in each file
    int32_t NodeB = 0;
    const BlockSchema* Block = nullptr;
    const RegionSchema* Region = nullptr;
    const FieldSchema* Field = nullptr;
    int32_t Part = -1;    // -1: the whole field (a comparison lists whole fields)
    int64_t Record = 0;   // index in its region, from 0
    int64_t OffsetA = 0;  // file positions of the value in each file
    int64_t OffsetB = 0;
};

// A block, with every block below it, at a place of the tree the other file has no block of its
// type at.
struct UnmatchedBlock {
    CompareSide Side = CompareSide::kA;
    int32_t Node = 0;
    int64_t BlocksBelow = 0;
};

// Records of a region one matched block holds and the other does not (a longer array).
struct UnmatchedRecords {
    CompareSide Side = CompareSide::kA;
    int32_t NodeA = 0;
    int32_t NodeB = 0;
    const BlockSchema* Block = nullptr;
    const RegionSchema* Region = nullptr;
    int64_t First = 0;  // index of the first record only one side holds
    int64_t Count = 0;
    int64_t Offset = 0;  // where the first of them lies in its file
};

struct CompareOptions {
    // Numbers that differ by no more than this count as equal; 0 compares exactly.
    double Tolerance = 0;
};

struct FileComparison {
    std::vector<FieldDifference> Fields;
    std::vector<UnmatchedBlock> Blocks;
    std::vector<UnmatchedRecords> Records;
    // The "!!" problems each file's open found: what could not be read is not compared.
    int64_t ProblemsA = 0;
    int64_t ProblemsB = 0;

    bool Same() const { return Fields.empty() && Blocks.empty() && Records.empty(); }
    int64_t DifferenceCount() const {
        return static_cast<int64_t>(Fields.size() + Blocks.size() + Records.size());
    }
};

// Both documents must hold an open OPT file.
FileComparison CompareFiles(const OptDocument& a, const OptDocument& b,
                            const CompareOptions& options = {});

}  // namespace vexlor
