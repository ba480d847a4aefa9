// Where the regions of one block lie in one file, as its schema says to find them: the header,
// the slot table, the payload's arrays. Counts and offsets come from the file and are not trusted:
// a region keeps the count its header gives and the position its stored offset gives, and says
// how many of its records lie wholly in the file, so a count of 2^31 costs nothing.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "reader/FormatSchema.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"

namespace vexlor {

struct RegionPlace {
    const RegionSchema* Schema = nullptr;
    // Whether its count and the field or region it is found through lie in the file.
    bool Located = false;
    int64_t Origin = 0;  // file position of record 0; may lie outside the file
    int64_t Count = 0;   // records the header gives (1 for a single one); may be negative

    int64_t RecordOffset(int64_t record) const { return Origin + record * Schema->RecordSize; }
    // The records that lie wholly in the file, at most Count; 0 when not located.
    int64_t RecordsIn(const OptStream& stream) const;
};

class BlockRegions {
  public:
    static constexpr size_t kMostRegions = 5;

    BlockRegions(const BlockSchema& schema, int64_t position)
        : schema_(&schema), position_(position) {}

    const BlockSchema& Schema() const { return *schema_; }
    // The block's position: its BlockTable offset (6 for the file header).
    int64_t Position() const { return position_; }
    std::span<const RegionPlace> Regions() const { return {regions_.data(), count_}; }
    const RegionPlace& Region(size_t index) const { return regions_[index]; }

    void Add(const RegionPlace& region) { regions_[count_++] = region; }

  private:
    const BlockSchema* schema_;
    int64_t position_;
    std::array<RegionPlace, kMostRegions> regions_{};
    size_t count_ = 0;
};

// The regions of the block of `type` at file position `position`. Stored offsets are turned into
// file positions with `globalOffset`, as AdjustOffset does.
BlockRegions LocateBlock(const OptStream& stream, int64_t globalOffset, int64_t position,
                         int32_t type);
// The file header and the mesh jump table it points at.
BlockRegions LocateFileHeader(const OptStream& stream, int64_t globalOffset);
// The block of tree node `node` (node 0, the root, is the file header); nothing for a node the
// table does not hold.
std::optional<BlockRegions> LocateNode(const OptStream& stream, int64_t globalOffset,
                                       std::span<const BlockEntry> table, int32_t node);

}  // namespace vexlor
