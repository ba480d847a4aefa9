// The values of the blocks that the view and the export use beyond their report lines: a
// hardpoint, a mesh descriptor, and what choosing a tree node shows besides the list.
#pragma once

#include <cstdint>
#include <optional>

#include "Vec3.h"

namespace vexlor {

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
