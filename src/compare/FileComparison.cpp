// Comparing two files: matching their blocks by place, then each matched pair region by region
// and record by record, as the format table lays them out.
#include "compare/FileComparison.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <utility>

#include "compare/BlockMatch.h"
#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"

namespace vexlor {

namespace {

class BlockComparer {
  public:
    BlockComparer(const OptDocument& a, const OptDocument& b, const CompareOptions& options,
                  FileComparison& out)
        : a_(a.Stream()),
          b_(b.Stream()),
          modelA_(a.Model()),
          modelB_(b.Model()),
          options_(options),
          out_(out) {}

    void Compare(int32_t nodeA, int32_t nodeB) {
        const std::optional<BlockRegions> regionsA =
            LocateNode(a_, modelA_.GlobalOffset, modelA_.BlockTable, nodeA);
        const std::optional<BlockRegions> regionsB =
            LocateNode(b_, modelB_.GlobalOffset, modelB_.BlockTable, nodeB);
        if (!regionsA || !regionsB || &regionsA->Schema() != &regionsB->Schema()) return;
        nodeA_ = nodeA;
        nodeB_ = nodeB;
        block_ = &regionsA->Schema();
        for (size_t r = 0; r < regionsA->Regions().size(); ++r)
            CompareRegion(regionsA->Region(r), regionsB->Region(r));
    }

  private:
    void CompareRegion(const RegionPlace& placeA, const RegionPlace& placeB) {
        const RegionSchema& region = *placeA.Schema;
        const int64_t inA = placeA.RecordsIn(a_);
        const int64_t inB = placeB.RecordsIn(b_);
        const int64_t common = std::min(inA, inB);
        if (common > 0 && !SameBytes(placeA.Origin, placeB.Origin, common * region.RecordSize)) {
            for (int64_t k = 0; k < common; ++k)
                CompareRecord(region, k, placeA.RecordOffset(k), placeB.RecordOffset(k));
        }
        if (inA != inB) {
            const bool moreInA = inA > inB;
            const RegionPlace& longer = moreInA ? placeA : placeB;
            out_.Records.push_back({moreInA ? CompareSide::kA : CompareSide::kB, nodeA_, nodeB_,
                                    block_, &region, common, (moreInA ? inA : inB) - common,
                                    longer.RecordOffset(common)});
        }
    }

    // Equal bytes are equal values, unless they are stored offsets of files with different
    // global offsets.
    bool SameBytes(int64_t atA, int64_t atB, int64_t size) const {
        if (modelA_.GlobalOffset != modelB_.GlobalOffset) return false;
        return std::memcmp(a_.Bytes().data() + atA, b_.Bytes().data() + atB,
                           static_cast<size_t>(size)) == 0;
    }

    void CompareRecord(const RegionSchema& region, int64_t record, int64_t atA, int64_t atB) {
        if (SameBytes(atA, atB, region.RecordSize)) return;
        for (const FieldSchema& field : region.Fields) {
            const int64_t fieldA = atA + field.Offset;
            const int64_t fieldB = atB + field.Offset;
            bool equal = true;
            if (field.Parts.empty()) {
                equal = FieldEqual(field, fieldA, fieldB);
            } else {
                for (size_t part = 0; part < field.Parts.size() && equal; ++part) {
                    const int64_t step = format::kValueSize * static_cast<int64_t>(part);
                    equal = ValueEqual(field, fieldA + step, fieldB + step);
                }
            }
            if (!equal) Add(region, field, -1, record, fieldA, fieldB);
        }
    }

    bool FieldEqual(const FieldSchema& field, int64_t atA, int64_t atB) const {
        switch (field.Value) {
            case ValueKind::kText:
                return a_.TextAt(atA, field.Size) == b_.TextAt(atB, field.Size);
            case ValueKind::kBytes:
                return std::memcmp(a_.Bytes().data() + atA, b_.Bytes().data() + atB,
                                   static_cast<size_t>(field.Size)) == 0;
            default:
                return ValueEqual(field, atA, atB);
        }
    }

    bool ValueEqual(const FieldSchema& field, int64_t atA, int64_t atB) const {
        const int32_t wordA = a_.Int32At(atA);
        const int32_t wordB = b_.Int32At(atB);
        switch (field.Value) {
            case ValueKind::kStoredOffset:
                // Stored offsets are compared as the file positions they give; an empty slot
                // (0) is no position.
                if (wordA == 0 || wordB == 0) return wordA == wordB;
                return wordA - modelA_.GlobalOffset == wordB - modelB_.GlobalOffset;
            case ValueKind::kSingle: {
                // Exact is bit for bit: -0 is not 0, and a NaN equals only the same NaN.
                if (wordA == wordB || options_.Tolerance == 0) return wordA == wordB;
                const double difference =
                    std::fabs(double{a_.SingleAt(atA)} - double{b_.SingleAt(atB)});
                return difference <= options_.Tolerance;  // NaN: not equal
            }
            default:
                return wordA == wordB ||
                       std::fabs(static_cast<double>(wordA) - static_cast<double>(wordB)) <=
                           options_.Tolerance;
        }
    }

    void Add(const RegionSchema& region, const FieldSchema& field, int32_t part, int64_t record,
             int64_t atA, int64_t atB) {
        out_.Fields.push_back({nodeA_, nodeB_, block_, &region, &field, part, record, atA, atB});
    }

    const OptStream& a_;
    const OptStream& b_;
    const OptModel& modelA_;
    const OptModel& modelB_;
    const CompareOptions& options_;
    FileComparison& out_;
    int32_t nodeA_ = 0;
    int32_t nodeB_ = 0;
    const BlockSchema* block_ = nullptr;
};

// For each node, the nodes below it.
std::vector<int64_t> BlocksBelow(const StructureTree& tree, size_t count) {
    std::vector<int64_t> below(count, 0);
    for (size_t node = count; node-- > 1;) {
        const int32_t parent = tree.Node(static_cast<int32_t>(node)).Parent;
        if (parent >= 0) below[static_cast<size_t>(parent)] += below[node] + 1;
    }
    return below;
}

// The nodes without a match whose parent has one: each stands for itself and all below it.
void AddUnmatched(const OptModel& model, const std::vector<bool>& matched, CompareSide side,
                  std::vector<UnmatchedBlock>& out) {
    const std::vector<int64_t> below = BlocksBelow(model.Tree, matched.size());
    for (size_t node = 1; node < matched.size(); ++node) {
        const int32_t parent = model.Tree.Node(static_cast<int32_t>(node)).Parent;
        if (!matched[node] && parent >= 0 && matched[static_cast<size_t>(parent)])
            out.push_back({side, static_cast<int32_t>(node), below[node]});
    }
}

size_t NodeCount(const OptModel& model) {
    return static_cast<size_t>(
        std::min<int64_t>(model.Tree.Count(), static_cast<int64_t>(model.BlockTable.size())));
}

}  // namespace

FileComparison CompareFiles(const OptDocument& a, const OptDocument& b,
                            const CompareOptions& options) {
    FileComparison out;
    out.ProblemsA = a.Model().Problems.Count();
    out.ProblemsB = b.Model().Problems.Count();
    const std::vector<int32_t> match = MatchNodes(a, b);
    std::vector<bool> matchedA(NodeCount(a.Model()), false);
    std::vector<bool> matchedB(match.size(), false);
    std::vector<std::pair<int32_t, int32_t>> pairs;
    for (size_t nodeB = 0; nodeB < match.size(); ++nodeB) {
        if (match[nodeB] < 0) continue;
        matchedB[nodeB] = true;
        matchedA[static_cast<size_t>(match[nodeB])] = true;
        pairs.emplace_back(match[nodeB], static_cast<int32_t>(nodeB));
    }
    std::sort(pairs.begin(), pairs.end());

    BlockComparer comparer(a, b, options, out);
    // A block both files reach by several paths is compared once.
    std::set<std::pair<int64_t, int64_t>> compared;
    for (const auto& [nodeA, nodeB] : pairs) {
        const int64_t atA = a.Model().BlockTable[static_cast<size_t>(nodeA)].Offset;
        const int64_t atB = b.Model().BlockTable[static_cast<size_t>(nodeB)].Offset;
        if (compared.emplace(atA, atB).second) comparer.Compare(nodeA, nodeB);
    }
    AddUnmatched(a.Model(), matchedA, CompareSide::kA, out.Blocks);
    AddUnmatched(b.Model(), matchedB, CompareSide::kB, out.Blocks);
    return out;
}

}  // namespace vexlor
