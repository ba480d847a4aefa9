// The typed records a walk reads, as its observers get them (the faces, vertices and texture
// vertices are entries of the mesh tables): the file header, a block's header, a slot, a level's
// distance, a hardpoint, a mesh descriptor; and what choosing a tree node shows besides the list.
// Positions are file positions, stored offsets already turned into them.
#pragma once

#include <cstdint>
#include <optional>

#include "reader/Vec3.h"

namespace vexlor {

struct FileHeaderRecord {
    int64_t FileSize = 0;      // as the header gives it (its field + 8)
    int64_t GlobalOffset = 0;  // stored offset − GlobalOffset = file position
    int32_t MeshCount = 0;     // as the header declares it
    int64_t MeshTable = 0;     // position of the mesh jump table
};

// A block's header as the walk read it; bytes past the end of the file read as 0.
struct BlockHeader {
    int64_t Position = 0;
    int32_t Id = 0;  // not read, but for a texture header: the stored offset of its name
    int32_t Type = 0;
    int32_t SlotCount = 0;
    int64_t SlotTable = 0;
    int32_t Count = 0;
    int64_t Payload = 0;  // a texture header pointer's texture name, a type-21 block's distances
};

// A slot of a jump block's child pointer table.
struct SlotRecord {
    int64_t Slot = 0;      // from 0; the report numbers slots from 1
    int64_t Position = 0;  // where the slot lies
    int32_t Stored = 0;    // 0 for an empty slot
    int64_t Target = 0;    // the child's position
};

// A level of a type-21 block: its lo-res distance.
struct LevelRecord {
    int64_t Level = 0;  // from 0; the report numbers levels from 1
    int64_t Position = 0;
    float Distance = 0.0f;
};

struct HardpointRecord {
    int32_t Type = 0;  // index into the hardpoint type names
    Vec3 Position;
};

struct MeshDescriptorRecord {
    int32_t MeshType = 0;  // index into the mesh type names
    int32_t Unknown = 0;
    Vec3 Span;
    Vec3 Centre;
    Vec3 Minima;
    Vec3 Maxima;
    int32_t TargetGroup = 0;
    Vec3 TargetCentre;
};

// The block of a chosen tree node: its mesh (drawn red), and the hardpoint or mesh descriptor it
// is, if it is one (the view marks them).
struct ShownBlock {
    int32_t Mesh = 0;
    std::optional<HardpointRecord> Hardpoint;
    std::optional<MeshDescriptorRecord> Descriptor;
};

}  // namespace vexlor
