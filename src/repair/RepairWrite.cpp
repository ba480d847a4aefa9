// The repaired copy of a file and its atomic write (see RepairWrite.h).
#include "repair/RepairWrite.h"

#include <algorithm>
#include <array>
#include <bit>

#include "reader/AtomicFile.h"
#include "reader/FormatTables.h"
#include "reader/SameFileRule.h"

namespace vexlor {

namespace {

constexpr int64_t kChunkBytes = int64_t{1} << 20;

// Writes the bytes of every change that lie in `bytes`, which hold the file from `start` on.
void Patch(std::span<uint8_t> bytes, int64_t start, std::span<const FieldChange* const> changes) {
    const auto end = start + static_cast<int64_t>(bytes.size());
    for (const FieldChange* change : changes) {
        const std::array<float, 3> values{change->New.X, change->New.Y, change->New.Z};
        for (int64_t i = 0; i < format::kVectorSize; ++i) {
            const int64_t at = change->Offset + i;
            if (at < start || at >= end) continue;
            const auto word =
                std::bit_cast<uint32_t>(values[static_cast<size_t>(i / format::kValueSize)]);
            bytes[static_cast<size_t>(at - start)] =
                static_cast<uint8_t>(word >> (8 * (i % format::kValueSize)));
        }
    }
}

// The plan's changes that lie wholly within a file of `size` bytes, by offset.
std::vector<const FieldChange*> SortedChanges(const RepairPlan& plan, int64_t size) {
    std::vector<const FieldChange*> changes;
    for (const FieldChange& change : plan.Changes)
        if (change.Offset >= 0 && change.Offset <= size - format::kVectorSize)
            changes.push_back(&change);
    std::sort(changes.begin(), changes.end(),
              [](const FieldChange* a, const FieldChange* b) { return a->Offset < b->Offset; });
    return changes;
}

// The sorted changes that touch the bytes from `start` to `end`.
std::span<const FieldChange* const> ChangesIn(std::span<const FieldChange* const> sorted,
                                              int64_t start, int64_t end) {
    const auto first = std::partition_point(
        sorted.begin(), sorted.end(),
        [&](const FieldChange* c) { return c->Offset + format::kVectorSize <= start; });
    const auto last = std::partition_point(first, sorted.end(),
                                           [&](const FieldChange* c) { return c->Offset < end; });
    return {first, last};
}

}  // namespace

std::vector<uint8_t> RepairedBytes(std::span<const uint8_t> bytes, const RepairPlan& plan) {
    std::vector<uint8_t> repaired(bytes.begin(), bytes.end());
    const std::vector<const FieldChange*> changes =
        SortedChanges(plan, static_cast<int64_t>(bytes.size()));
    Patch(repaired, 0, changes);
    return repaired;
}

Result WriteRepairedFile(const std::string& input, const std::string& output,
                         const OptStream& stream, const RepairPlan& plan) {
    if (Result distinct = RefuseSameFile(input, output); !distinct.Ok()) return distinct;
    AtomicFile file;
    if (Result created = file.Create(output); !created.Ok()) return created;
    // Chunk by chunk, the holes of a sparse file left holes: nothing is read or written there.
    const std::vector<const FieldChange*> changes = SortedChanges(plan, stream.Size());
    std::vector<uint8_t> chunk;
    for (const OptStream::Extent& extent : stream.DataExtents()) {
        for (int64_t at = extent.Start; at < extent.End && !file.Failed(); at += kChunkBytes) {
            const int64_t end = std::min(extent.End, at + kChunkBytes);
            const std::span<const uint8_t> bytes =
                stream.Bytes().subspan(static_cast<size_t>(at), static_cast<size_t>(end - at));
            chunk.assign(bytes.begin(), bytes.end());
            Patch(chunk, at, ChangesIn(changes, at, end));
            file.WriteAt(at, chunk.data(), chunk.size());
        }
    }
    // Changes that fall in a hole, and the end of a file that ends in one.
    const std::vector<OptStream::Extent>& extents = stream.DataExtents();
    for (const FieldChange* change : changes) {
        const auto extent = std::partition_point(
            extents.begin(), extents.end(),
            [&](const OptStream::Extent& e) { return e.End <= change->Offset; });
        if (extent != extents.end() && extent->Start <= change->Offset &&
            change->Offset + format::kVectorSize <= extent->End)
            continue;
        std::array<uint8_t, format::kVectorSize> field{};
        Patch(field, change->Offset, std::span(&change, 1));
        file.WriteAt(change->Offset, field.data(), field.size());
    }
    if (stream.Size() > 0 && (extents.empty() || extents.back().End < stream.Size())) {
        const uint8_t zero = 0;
        file.WriteAt(stream.Size() - 1, &zero, 1);
    }
    return file.Commit();
}

}  // namespace vexlor
